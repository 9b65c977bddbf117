#pragma once

#include <QString>
#include <functional>
#include <utility>

class Database;
class SqlError;

// The register of the largest plausible site that every benchmark opens: written once into the build tree
// by the demo generator and reused by later runs (written afresh after a schema change, or when deleted).
QString benchSitePath();

// A copy of the site in dir, for a benchmark that writes, opened as the program's register and upgraded as
// the program does when it opens one.
Database& openSiteCopy(const QString& dir);

// The engine's own time for a statement: translated as the program's statements are, then run through the
// sqlite3 C API, reading every column of every row as the engine hands it out. Returns the rows read.
int engineRead(Database& db, const QString& sql);

// The program's time for the same: through the program's Recordset, reading the first columns of every row.
// Returns the rows read.
int programRead(Database& db, const QString& sql, int columns);

// The best of a few runs in milliseconds on the clock, so one slow start does not count.
double bestMs(const std::function<void()>& action, int runs = 5);

// The best processor times (this process, in milliseconds) of the program's action and the engine's query,
// run by turns. Processor time is what a busy shared machine disturbs least; on an idle one it is the time
// on the clock.
std::pair<double, double> bestPairMs(const std::function<void()>& program, const std::function<void()>& engine,
                                     int runs = 11);

// One line of figures: the program's time, the engine's time for the same rows, the ratio and the goal.
void printRatio(const QString& label, int rows, double programMs, double engineMs, double goal);

// One line of figures against a goal in milliseconds rather than a ratio; the engine's time beside it all the same.
void printGoal(const QString& label, int rows, double programMs, double engineMs, double goalMs);

// What a benchmark prints when the store refuses: the engine's number and text, then the statement.
QString errorText(const SqlError& e);

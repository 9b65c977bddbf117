#pragma once

#include <QString>

// The locking plan from the command line, on the register at app().databasePath, opened as every start
// opens it. Each prints to stdout, reasons to stderr, needs no display and returns the exit code.
namespace PlanCommands {

// `--import-locking-plan CSV`: the file is read whole before the register is touched; a file that
// cannot be read, or a refused change, leaves the register as it was (exit code 1). Prints the report.
int importPlan(const QString& csvPath);

// `--who-can-open CYLINDER`: one line per copy out of a key that opens it: family name, given name,
// personnel number, key number, additional number, date out, separated by ';'.
int whoCanOpen(const QString& cylinder);

// `--doors-of KEY`: one line per cylinder the key opens: cylinder number, door, area.
int doorsOf(const QString& keyNumber);

} // namespace PlanCommands

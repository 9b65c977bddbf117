#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

struct sqlite3;

// The daily copy of the register, taken at each start before anything is written: into a folder beside
// the file ("TBDB.MDB.backup/TBDB-2026-12-06.MDB"), one copy a day, the first of the day.
class Backup
{
public:
    // The folder and the name of the copy of one day.
    static QString folderFor(const QString& registerPath);
    static QString copyName(const QString& registerPath, const QDate& day);

    // The days of the copies in the folder, from their names; other files are no copies.
    static QList<QDate> copiesIn(const QString& registerPath);

    // Which copies go: kept are those of the last 14 days (today included), for each of the 12 calendar
    // months before this one its newest copy, and any copy dated after today (the clock was off once;
    // nothing is removed that the rule cannot place).
    static QList<QDate> expired(const QList<QDate>& copies, const QDate& today);

    // Copies the open register through the engine's online backup, checks the copy's integrity, and only
    // then removes the expired copies. Nothing to do when today's copy exists. Returns the reason of a
    // failure, nullopt on success.
    static std::optional<QString> daily(sqlite3* source, const QString& registerPath, const QDate& today);

    // The one message for a failure of daily(), told once something can be shown.
    static void report(const QString& failure);
};

#pragma once

#include <QList>
#include <QStringList>

class Database;

// The register's four tables as the engine keeps them, and what later versions of the program added.
// A register's version is kept in the file's user_version: the number of upgrades applied to it.
// Registers written before versions were counted read as 0.
class Schema
{
public:
    // Builds an empty register of the given version in a new file.
    static void create(Database& db, int version);

    // The version this program writes and upgrades to.
    static int version();

    // The version of an opened register.
    static int storedVersion(Database& db);

    // Brings an opened register of an older version up to version(): each upgrade lands whole, together
    // with its new version number, or not at all. Then the journal's view is made the one this program
    // writes, if it is not. Only for registers no newer than version() (Database::open refuses those).
    static void upgrade(Database& db);

    // The tables an opened file must hold.
    static QStringList tables();

    // The most characters a text column of the four tables holds (its CHECK); 0 when it has no limit.
    static int textLimit(const QString& table, const QString& column);

    // Sets the indexes of the given tables aside for a long load (an index is built faster at once from
    // the finished table than row by row), and their triggers too when asked (then they do not fire for
    // the loaded rows). finish() creates them again exactly as the file defined them.
    class BulkLoad
    {
    public:
        BulkLoad(Database& db, const QStringList& tables, bool triggersToo);
        void finish();

    private:
        Database& m_db;
        QStringList m_definitions;
    };
};

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
};

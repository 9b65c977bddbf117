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
    // The statements that build an empty register of the given version.
    static QStringList createStatements(int version);

    // The version this program writes and upgrades to.
    static int version();

    // Brings an opened register of an older version up to version(): each upgrade lands whole, together
    // with its new version number, or not at all. A register of this or a newer version is not written to.
    static void upgrade(Database& db);

    // The tables an opened file must hold.
    static QStringList tables();
};

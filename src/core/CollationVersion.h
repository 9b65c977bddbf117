#pragma once

#include <QString>

class Database;

// The version of the text order (TextCollation::version) that a register's indexes were written in,
// kept in the program's own table TBSystem. The order comes from Unicode tables that change with Qt,
// and an index in another order than the running program's misses rows a full scan finds.
class CollationVersion
{
public:
    // The recorded version; empty when none is recorded (a register from before versions were kept).
    static QString stored(Database& db);

    // The native statement that records the running program's version (also for a new register).
    static QString recordStatement();

    // At open: when the recorded version is not the running program's, rebuilds every index in the
    // text order and records the new version, together or not at all. True when it rebuilt.
    static bool refresh(Database& db);
};

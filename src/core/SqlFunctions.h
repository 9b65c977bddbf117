#pragma once

struct sqlite3;

// What a connection needs to read and write a register with the program's text rules: like() with the
// register's wildcards (LikePattern) and the FOLDTRIM collation of every text column (TextCollation).
// The program installs them on its own connection; the loadable extension clavaro_sqlite is built from
// this same source and installs them on the connection of any SQLite tool.
class SqlFunctions
{
public:
    // Returns the engine's result code.
    static int install(sqlite3* db);
};

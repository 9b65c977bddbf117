// The loadable SQLite extension clavaro_sqlite: the register's LIKE and its FOLDTRIM text collation for
// any SQLite tool (sqlite3's .load, Python's load_extension, graphical browsers), so that a user can count,
// sort, search, repair and export their own register with the program's exact text rules.
#include "core/SqlFunctions.h"

#include <QtGlobal>
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

// The engine finds the entry point by the file's name: "sqlite3_" + the letters of "clavaro_sqlite" + "_init".
extern "C" Q_DECL_EXPORT int sqlite3_clavarosqlite_init(sqlite3* db, char**, const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    return SqlFunctions::install(db);
}

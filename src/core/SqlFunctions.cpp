#include "SqlFunctions.h"

#include "LikePattern.h"
#include "TextCollation.h"
#include "Utf8.h"

#include <memory>

// Inside the extension every engine call goes through the table of routines the loading tool hands
// over, never to a libsqlite3 of our own, which may differ from the one the tool runs.
#ifdef CLAVARO_SQLITE_EXTENSION
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#else
#include <sqlite3.h>
#endif

namespace {

QByteArrayView bytes(sqlite3_value* value)
{
    // The text first, then its length: the order the engine documents.
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QByteArrayView(text, sqlite3_value_bytes(value));
}

void likeFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    // like(pattern, text): "text LIKE pattern". Null on either side gives Null, as everywhere in SQL.
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    try {
        const QByteArrayView text = bytes(argv[1]);
        // The pattern is the same for every row of a query: compile it once and keep it with the statement.
        if (const auto* cached = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0))) {
            sqlite3_result_int(context, cached->matchesUtf8(text) ? 1 : 0);
            return;
        }
        auto pattern = std::make_unique<LikePattern>(Utf8::decode(bytes(argv[0])));
        sqlite3_result_int(context, pattern->matchesUtf8(text) ? 1 : 0);
        // The engine may free the pattern at once, so it is not used after this.
        sqlite3_set_auxdata(context, 0, pattern.release(), [](void* p) { delete static_cast<LikePattern*>(p); });
    } catch (const std::exception& e) {
        sqlite3_result_error(context, e.what(), -1);
    }
}

int collationCompare(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return TextCollation::compare(QByteArrayView(static_cast<const char*>(a), lengthA),
                                  QByteArrayView(static_cast<const char*>(b), lengthB));
}

} // namespace

int SqlFunctions::install(sqlite3* db)
{
    // Replacing the two-argument like() changes the LIKE operator itself for this connection.
    int rc = sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction,
                                        nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation_v2(db, TextCollation::name, SQLITE_UTF8, nullptr, collationCompare, nullptr);
    return rc;
}

#pragma once

#include "widgets/Utf8Rows.h"

#include <QString>

class Database;
class TabListWidget;

// The key list beside the key search: its statement, its row texts and the key number a row stands for.
namespace KeyList {

// All keys, or those whose number or function contains the search text (wildcards typed stay wildcards).
QString query(const QString& search);

// The row text up to its first tab: key numbers hold no tab, so this is the stored number.
QString keyNumberOf(const QString& rowText);

// The rows of the query, unsorted; expected is how many rows to make room for.
Utf8Rows read(Database& db, const QString& search, qsizetype expected = 0);

// Refills the list from the store, sorted by row text without regard to case, with no row selected.
void fill(TabListWidget* list, const QString& search);

} // namespace KeyList

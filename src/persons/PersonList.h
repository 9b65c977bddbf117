#pragma once

#include "PersEntry.h"

#include <QString>
#include <QStringList>

class Database;

// The person list beside the person search: its statement and its lines, read apart from the window so
// that the start can read them ahead.
namespace PersonList {

// The persons not retired, or those whose family name or personnel number contains the search text
// (wildcards typed stay wildcards), by name.
QString query(const QString& search);

struct Rows
{
    PersListe entries; // one per line, and the empty entry behind the last
    QStringList lines;
};

// Runs the query and builds the lines; expected is how many lines to make room for.
Rows read(Database& db, const QString& search, qsizetype expected = 0);

} // namespace PersonList

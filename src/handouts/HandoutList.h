#pragma once

#include "VergabenModel.h"

#include <QHash>
#include <QString>
#include <QVector>

class Database;

// The list of copies out: its statement and how its rows become the grid's lines.
namespace HandoutList {

// Every open handout, newest first, narrowed by the filter's condition W when it is not empty.
QString query(const QString& w);

// Runs the statement and reads its rows in order; room is made for about expected lines at once.
VergabenModel::Lines read(Database& db, const QString& sql, qsizetype expected = 0);

// The personnel number of the person who holds the copy of movement bewId, trimmed; empty when there is
// none. It tells namesakes apart where the list shows only the name.
QString personalNumber(Database& db, qint32 bewId);
// The same for every copy out at once, by movement.
QHash<qint32, QString> personalNumbers(Database& db);

} // namespace HandoutList

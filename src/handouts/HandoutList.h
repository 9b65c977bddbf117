#pragma once

#include "VergabenModel.h"

#include <QString>
#include <QVector>

class Database;

// The list of copies out: its statement and how its rows become the grid's lines.
namespace HandoutList {

// Every open handout, newest first, narrowed by the filter's condition W when it is not empty.
QString query(const QString& w);

// Runs the statement and reads its rows in order; room is made for about expected lines at once.
VergabenModel::Lines read(Database& db, const QString& sql, qsizetype expected = 0);

} // namespace HandoutList

#pragma once

#include "VergabenModel.h"

#include <QString>
#include <QVector>

class Database;

// The list of copies out: its statement and how its rows become the grid's lines.
namespace HandoutList {

// The filter's condition W from the filter dialog's values, in their fixed order: from-date, to-date
// (literals without the number signs), key-number prefix, family-name prefix. A value counts when it
// is not blank; each condition starts with a blank. Empty when no value counts.
QString filterCondition(const QString& vonDatum, const QString& bisDatum, const QString& schluessel,
                        const QString& person);

// Every open handout, newest first, narrowed by W when it is not empty.
QString query(const QString& w);

// Runs the statement and reads its rows in order; room is made for about expected lines at once.
VergabenModel::Lines read(Database& db, const QString& sql, qsizetype expected = 0);

} // namespace HandoutList

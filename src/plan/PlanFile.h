#pragma once

#include "PlanMatrix.h"

#include <QByteArray>
#include <QList>
#include <optional>

// The lock maker's plan as a spreadsheet file: a first row "Zylinder;Tür;<key number>;<key number>;…",
// then one row per cylinder with its number, its door or room and an X (either case) in the column of
// each key that opens it, empty otherwise. Read in any of the forms Csv::parse reads; written as the
// program writes every CSV file (';', UTF-8 with a byte-order mark), so a written plan reads back the same.
namespace PlanFile {

inline const QString kCylinderTitle = QStringLiteral("Zylinder");
inline const QString kDoorTitle = QStringLiteral("Tür");

// The plan in a file's rows. Blanks around a value do not count. Nullopt with the reason when the
// rows are no plan: the first row does not begin with Zylinder and Tür, a key or a cylinder stands
// twice, a crossing holds something other than X, or a row names no cylinder but marks crossings.
// A key column without a number is left out when it marks nothing.
std::optional<PlanMatrix> fromRows(const QList<QStringList>& rows, QString* error);

// Reads the file whole; nullopt with the reason when it cannot be read or holds no plan.
std::optional<PlanMatrix> read(const QString& path, QString* error);

// Writes the plan whole or not at all; false with the reason in *error.
bool write(const QString& path, const PlanMatrix& plan, QString* error);

} // namespace PlanFile

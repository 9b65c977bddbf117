#include "PlanFile.h"

#include "core/Blanks.h"
#include "core/Csv.h"
#include "core/TextCollation.h"
#include "core/Texts.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace PlanFile {

namespace {

bool marks(const QString& cell, bool* opens)
{
    const QString value = trimBlanks(cell);
    *opens = value.compare(QLatin1String("X"), Qt::CaseInsensitive) == 0;
    return *opens || value.isEmpty();
}

} // namespace

std::optional<PlanMatrix> fromRows(const QList<QStringList>& rows, QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (rows.isEmpty())
        return fail(GetText(QStringLiteral("Die Datei ist leer."), 1903));
    const QStringList& header = rows.first();
    const QString door = trimBlanks(header.value(1));
    if (trimBlanks(header.value(0)).compare(kCylinderTitle, Qt::CaseInsensitive) != 0 ||
        (door.compare(kDoorTitle, Qt::CaseInsensitive) != 0 &&
         door.compare(QLatin1String("Tuer"), Qt::CaseInsensitive) != 0))
        return fail(GetText(QStringLiteral("Die erste Zeile eines Schließplans beginnt mit Zylinder und Tür."), 1904));

    PlanMatrix plan;
    QList<int> columnKey(header.size(), -1); // file column -> position in plan.keys
    QHash<QString, int> keyColumns;
    for (qsizetype c = 2; c < header.size(); ++c) {
        const QString number = trimBlanks(header.at(c));
        if (number.isEmpty())
            continue;
        if (keyColumns.contains(TextCollation::equalityKey(number)))
            return fail(
                GetText(QStringLiteral("Der Schlüssel %1 steht zweimal in der ersten Zeile."), 1905).arg(number));
        keyColumns.insert(TextCollation::equalityKey(number), int(plan.keys.size()));
        columnKey[c] = int(plan.keys.size());
        plan.keys << number;
    }

    QHash<QString, int> cylinderRows; // the row each cylinder stands in, counted from 1
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows.at(r);
        const int line = int(r) + 1;
        PlanMatrix::Cylinder cylinder;
        cylinder.number = trimBlanks(row.value(0));
        cylinder.door = trimBlanks(row.value(1));
        for (qsizetype c = 2; c < row.size(); ++c) {
            bool opens = false;
            if (!marks(row.at(c), &opens))
                return fail(GetText(QStringLiteral("Zeile %1, Spalte %2: „%3“ ist weder X noch leer."), 1906)
                                .arg(QString::number(line), QString::number(c + 1), row.at(c)));
            if (!opens)
                continue;
            if (c >= columnKey.size() || columnKey.at(c) < 0)
                return fail(GetText(QStringLiteral("Zeile %1, Spalte %2: die Spalte nennt keinen Schlüssel."), 1907)
                                .arg(line)
                                .arg(c + 1));
            cylinder.keys << columnKey.at(c);
        }
        if (cylinder.number.isEmpty()) {
            if (cylinder.door.isEmpty() && cylinder.keys.isEmpty())
                continue; // an empty row
            return fail(GetText(QStringLiteral("Zeile %1: es fehlt die Zylindernummer."), 1908).arg(line));
        }
        if (const auto twice = cylinderRows.constFind(TextCollation::equalityKey(cylinder.number));
            twice != cylinderRows.cend())
            return fail(GetText(QStringLiteral("Der Zylinder %1 steht zweimal im Plan (Zeilen %2 und %3)."), 1909)
                            .arg(cylinder.number, QString::number(*twice), QString::number(line)));
        cylinderRows.insert(TextCollation::equalityKey(cylinder.number), line);
        std::sort(cylinder.keys.begin(), cylinder.keys.end());
        plan.cylinders << std::move(cylinder);
    }
    return plan;
}

std::optional<PlanMatrix> read(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const std::optional<QList<QStringList>> rows = Csv::parse(bytes, error);
    if (!rows)
        return std::nullopt;
    return fromRows(*rows, error);
}

bool write(const QString& path, const PlanMatrix& plan, QString* error)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly) && file.write(Csv::kByteOrderMark) >= 0 &&
              file.write(Csv::line(QStringList{kCylinderTitle, kDoorTitle} + plan.keys).toUtf8()) >= 0;
    // A line at a time: a plan of thousands of keys and cylinders is never held as text whole.
    QStringList fields(plan.keys.size() + 2);
    for (qsizetype r = 0; ok && r < plan.cylinders.size(); ++r) {
        const PlanMatrix::Cylinder& cylinder = plan.cylinders.at(r);
        fields.fill(QString());
        fields[0] = cylinder.number;
        fields[1] = cylinder.door;
        for (const int key : cylinder.keys)
            fields[key + 2] = QStringLiteral("X");
        ok = file.write(Csv::line(fields).toUtf8()) >= 0;
    }
    if (ok && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace PlanFile

#include "RegisterCheck.h"

#include "CollationVersion.h"
#include "Database.h"
#include "SqlError.h"
#include "TextCollation.h"

#include <functional>

namespace {

// A long list of findings is cut here; the count still says how many there are.
constexpr int kListed = 20;

// One consistency rule: a heading, the query that finds the offending rows, and a line for each.
void findings(Database& db, RegisterCheck::Result& result, const QString& heading, const QString& sql,
              const std::function<QString(const Recordset&)>& line)
{
    QStringList lines;
    int count = 0;
    for (Recordset rs = db.openRecordset(sql); !rs.eof(); rs.moveNext()) {
        if (++count <= kListed)
            lines.append(QStringLiteral("  ") + line(rs));
    }
    if (count > kListed)
        lines.append(QStringLiteral("  ... and %1 more").arg(count - kListed));
    result.report.append(heading + QStringLiteral(": ") +
                         (count == 0 ? QStringLiteral("none") : QString::number(count)));
    result.report += lines;
    result.problems += count;
}

QString text(const Recordset& rs, int column)
{
    const QVariant value = rs.field(column);
    return value.isNull() ? QStringLiteral("(none)") : value.toString();
}

} // namespace

RegisterCheck::Result RegisterCheck::run(const QString& path)
{
    Result result;
    result.report.append(QStringLiteral("Register: %1").arg(path));
    try {
        const auto db = Database::openReadOnly(path);

        QStringList integrity;
        for (Recordset rs = db->openRecordset(QStringLiteral("PRAGMA integrity_check")); !rs.eof(); rs.moveNext())
            integrity.append(rs.field(0).toString());
        if (integrity == QStringList{QStringLiteral("ok")}) {
            result.report.append(QStringLiteral("Engine integrity check: ok"));
        } else {
            result.report.append(QStringLiteral("Engine integrity check: %1 findings").arg(integrity.size()));
            for (const QString& line : std::as_const(integrity))
                result.report.append(QStringLiteral("  ") + line);
            result.problems += static_cast<int>(integrity.size());
        }

        // A differing version is no fault by itself: the integrity check above tells whether the indexes
        // are in this program's order, and the program rebuilds them at its next open anyway.
        const QString stored = CollationVersion::stored(*db);
        const QString current = TextCollation::version();
        result.report.append(
            QStringLiteral("Text order of the indexes: %1, this program %2%3")
                .arg(stored.isEmpty() ? QStringLiteral("not recorded") : stored, current,
                     stored == current ? QString() : QStringLiteral(" (rebuilt when the program next opens it)")));

        findings(*db, result, QStringLiteral("Movements whose person is gone"),
                 QStringLiteral("SELECT BewID, PersonID, SchluesselNr FROM TBBewegungen WHERE PersonID IS NULL OR "
                                "PersonID NOT IN (SELECT PersID FROM TBPersonen) ORDER BY BewID"),
                 [](const Recordset& rs) {
                     return QStringLiteral("movement %1 (key %2): person %3 does not exist")
                         .arg(text(rs, 0), text(rs, 2), text(rs, 1));
                 });
        findings(*db, result, QStringLiteral("Movements whose key is gone"),
                 QStringLiteral("SELECT BewID, SchluesselNr FROM TBBewegungen WHERE SchluesselNr IS NULL OR NOT "
                                "EXISTS (SELECT 1 FROM TBSchluessel WHERE TBSchluessel.SchluesselNr = "
                                "TBBewegungen.SchluesselNr) ORDER BY BewID"),
                 [](const Recordset& rs) {
                     return QStringLiteral("movement %1: key %2 does not exist").arg(text(rs, 0), text(rs, 1));
                 });
        findings(*db, result, QStringLiteral("Keys with more copies out than exist"),
                 QStringLiteral("SELECT TBSchluessel.SchluesselNr, Gesamt, Count(BewID) FROM TBSchluessel INNER JOIN "
                                "TBBewegungen ON TBSchluessel.SchluesselNr = TBBewegungen.SchluesselNr WHERE Status = "
                                "0 GROUP BY TBSchluessel.SchluesselNr HAVING Count(BewID) > ifnull(Gesamt, 0) "
                                "ORDER BY TBSchluessel.SchluesselNr"),
                 [](const Recordset& rs) {
                     return QStringLiteral("key %1: %2 out, %3 in total").arg(text(rs, 0), text(rs, 2), text(rs, 1));
                 });

        Recordset header = db->openRecordset(QStringLiteral("SELECT Count(*) FROM TBKopfdaten"));
        const int headerRows = header.field(0).toInt();
        header.close();
        result.report.append(QStringLiteral("Header rows: %1%2")
                                 .arg(headerRows)
                                 .arg(headerRows > 1 ? QStringLiteral(" (the program keeps exactly one)") : QString()));
        if (headerRows > 1)
            ++result.problems;
    } catch (const SqlError& e) {
        result.report.append(QStringLiteral("Cannot check the file: ") + e.text());
        ++result.problems;
    }
    result.report.append(result.problems == 0 ? QStringLiteral("No problems found.")
                                              : QStringLiteral("%1 problem(s) found.").arg(result.problems));
    return result;
}

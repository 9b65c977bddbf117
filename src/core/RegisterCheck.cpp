#include "RegisterCheck.h"

#include "CollationVersion.h"
#include "Database.h"
#include "SqlError.h"
#include "TextCollation.h"
#include "Texts.h"

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
        lines.append(QStringLiteral("  ") + GetText(QStringLiteral("... und %1 weitere"), 2001).arg(count - kListed));
    result.report.append(heading + QStringLiteral(": ") +
                         (count == 0 ? GetText(QStringLiteral("keine"), 2002) : QString::number(count)));
    result.report += lines;
    result.problems += count;
}

QString text(const Recordset& rs, int column)
{
    const QVariant value = rs.field(column);
    return value.isNull() ? GetText(QStringLiteral("(leer)"), 2003) : value.toString();
}

} // namespace

RegisterCheck::Result RegisterCheck::run(const QString& path)
{
    Result result;
    result.report.append(GetText(QStringLiteral("Register: %1"), 2004).arg(path));
    try {
        const auto db = Database::openReadOnly(path);

        QStringList integrity;
        for (Recordset rs = db->openRecordset(QStringLiteral("PRAGMA integrity_check")); !rs.eof(); rs.moveNext())
            integrity.append(rs.field(0).toString());
        if (integrity == QStringList{QStringLiteral("ok")}) {
            result.report.append(GetText(QStringLiteral("Integritätsprüfung der Datenbank: in Ordnung"), 2005));
        } else {
            result.report.append(
                GetText(QStringLiteral("Integritätsprüfung der Datenbank: %1 Befunde"), 2006).arg(integrity.size()));
            for (const QString& line : std::as_const(integrity))
                result.report.append(QStringLiteral("  ") + line);
            result.problems += static_cast<int>(integrity.size());
        }

        // A differing version is no fault by itself: the integrity check above tells whether the indexes
        // are in this program's order, and the program rebuilds them at its next open anyway.
        const QString stored = CollationVersion::stored(*db);
        const QString current = TextCollation::version();
        result.report.append(
            GetText(QStringLiteral("Textordnung der Indizes: %1, dieses Programm %2%3"), 2007)
                .arg(stored.isEmpty() ? GetText(QStringLiteral("nicht vermerkt"), 2008) : stored, current,
                     stored == current
                         ? QString()
                         : GetText(QStringLiteral(" (wird beim nächsten Öffnen durch das Programm neu aufgebaut)"),
                                   2009)));

        findings(*db, result, GetText(QStringLiteral("Bewegungen ohne Person"), 2010),
                 QStringLiteral("SELECT BewID, PersonID, SchluesselNr FROM TBBewegungen WHERE PersonID IS NULL OR "
                                "PersonID NOT IN (SELECT PersID FROM TBPersonen) ORDER BY BewID"),
                 [](const Recordset& rs) {
                     return GetText(QStringLiteral("Bewegung %1 (Schlüssel %2): Person %3 gibt es nicht"), 2011)
                         .arg(text(rs, 0), text(rs, 2), text(rs, 1));
                 });
        findings(*db, result, GetText(QStringLiteral("Bewegungen ohne Schlüssel"), 2012),
                 QStringLiteral("SELECT BewID, SchluesselNr FROM TBBewegungen WHERE SchluesselNr IS NULL OR NOT "
                                "EXISTS (SELECT 1 FROM TBSchluessel WHERE TBSchluessel.SchluesselNr = "
                                "TBBewegungen.SchluesselNr) ORDER BY BewID"),
                 [](const Recordset& rs) {
                     return GetText(QStringLiteral("Bewegung %1: Schlüssel %2 gibt es nicht"), 2013)
                         .arg(text(rs, 0), text(rs, 1));
                 });
        findings(*db, result,
                 GetText(QStringLiteral("Schlüssel mit mehr ausgegebenen als vorhandenen Exemplaren"), 2014),
                 QStringLiteral("SELECT TBSchluessel.SchluesselNr, Gesamt, Count(BewID) FROM TBSchluessel INNER JOIN "
                                "TBBewegungen ON TBSchluessel.SchluesselNr = TBBewegungen.SchluesselNr WHERE Status = "
                                "0 GROUP BY TBSchluessel.SchluesselNr HAVING Count(BewID) > ifnull(Gesamt, 0) "
                                "ORDER BY TBSchluessel.SchluesselNr"),
                 [](const Recordset& rs) {
                     return GetText(QStringLiteral("Schlüssel %1: %2 ausgegeben, %3 insgesamt"), 2015)
                         .arg(text(rs, 0), text(rs, 2), text(rs, 1));
                 });

        Recordset header = db->openRecordset(QStringLiteral("SELECT Count(*) FROM TBKopfdaten"));
        const int headerRows = header.field(0).toInt();
        header.close();
        result.report.append(
            GetText(QStringLiteral("Kopfzeilen: %1%2"), 2016)
                .arg(headerRows)
                .arg(headerRows > 1 ? GetText(QStringLiteral(" (das Programm führt genau eine)"), 2017) : QString()));
        if (headerRows > 1)
            ++result.problems;
    } catch (const SqlError& e) {
        result.report.append(GetText(QStringLiteral("Die Datei kann nicht geprüft werden:"), 2018) + QLatin1Char(' ') +
                             e.text());
        ++result.problems;
    }
    result.report.append(result.problems == 0
                             ? GetText(QStringLiteral("Keine Probleme gefunden."), 2019)
                             : GetText(QStringLiteral("%1 Problem(e) gefunden."), 2020).arg(result.problems));
    return result;
}

#include "RegisterCheck.h"

#include "CollationVersion.h"
#include "Database.h"
#include "SqlError.h"
#include "TextCollation.h"
#include "Texts.h"

namespace {

using Finding = RegisterCheck::Finding;

// A long list of findings is cut here; the count still says how many there are.
constexpr int kListed = 20;

// One consistency rule: the query that finds the offending rows; a row's first columns make its finding.
void findRows(Database& db, RegisterCheck::Findings& into, int listed, Finding::Kind kind, int columns,
              const QString& sql)
{
    for (Recordset rs = db.openRecordset(sql); !rs.eof(); rs.moveNext()) {
        if (++into.counts[int(kind)] > listed)
            continue;
        QVariantList values;
        for (int i = 0; i < columns; ++i)
            values << rs.field(i);
        into.listed.append({kind, values});
    }
}

QString text(const QVariant& value)
{
    return value.isNull() ? GetText(QStringLiteral("(leer)"), 2003) : value.toString();
}

// A heading with the number of findings of its kind, and a line for each listed.
void report(RegisterCheck::Result& result, const RegisterCheck::Findings& findings, Finding::Kind kind,
            const QString& heading)
{
    const qint64 count = findings.counts[int(kind)];
    result.report.append(heading + QStringLiteral(": ") +
                         (count == 0 ? GetText(QStringLiteral("keine"), 2002) : QString::number(count)));
    for (const Finding& finding : findings.listed) {
        if (finding.kind == kind)
            result.report.append(QStringLiteral("  ") + RegisterCheck::line(finding));
    }
    if (count > kListed)
        result.report.append(QStringLiteral("  ") + RegisterCheck::more(count - kListed));
    result.problems += int(count);
}

} // namespace

RegisterCheck::Findings RegisterCheck::consistency(Database& db, int listedPerKind)
{
    Findings findings;
    findRows(db, findings, listedPerKind, Finding::Kind::PersonGone, 3,
             QStringLiteral("SELECT BewID, SchluesselNr, PersonID FROM TBBewegungen WHERE PersonID IS NULL OR "
                            "PersonID NOT IN (SELECT PersID FROM TBPersonen) ORDER BY BewID"));
    // Each key number once (from its index), not each of a million movements, is looked up among the keys.
    findRows(db, findings, listedPerKind, Finding::Kind::KeyGone, 2,
             QStringLiteral("SELECT BewID, SchluesselNr FROM TBBewegungen WHERE SchluesselNr IS NULL OR SchluesselNr "
                            "IN (SELECT n.SchluesselNr FROM (SELECT DISTINCT SchluesselNr FROM TBBewegungen) n WHERE "
                            "NOT EXISTS (SELECT 1 FROM TBSchluessel k WHERE k.SchluesselNr = n.SchluesselNr)) "
                            "ORDER BY BewID"));
    findRows(db, findings, listedPerKind, Finding::Kind::TooManyOut, 3,
             QStringLiteral("SELECT TBSchluessel.SchluesselNr, Count(BewID), Gesamt FROM TBSchluessel INNER JOIN "
                            "TBBewegungen ON TBSchluessel.SchluesselNr = TBBewegungen.SchluesselNr WHERE Status = "
                            "0 GROUP BY TBSchluessel.SchluesselNr HAVING Count(BewID) > ifnull(Gesamt, 0) "
                            "ORDER BY TBSchluessel.SchluesselNr"));
    findRows(db, findings, listedPerKind, Finding::Kind::HeaderRows, 1,
             QStringLiteral("SELECT Count(*) FROM TBKopfdaten HAVING Count(*) > 1"));
    return findings;
}

QString RegisterCheck::line(const Finding& finding)
{
    const QVariantList& v = finding.values;
    switch (finding.kind) {
    case Finding::Kind::PersonGone:
        return GetText(QStringLiteral("Bewegung %1 (Schlüssel %2): Person %3 gibt es nicht"), 2011)
            .arg(text(v[0]), text(v[1]), text(v[2]));
    case Finding::Kind::KeyGone:
        return GetText(QStringLiteral("Bewegung %1: Schlüssel %2 gibt es nicht"), 2013).arg(text(v[0]), text(v[1]));
    case Finding::Kind::TooManyOut:
        return GetText(QStringLiteral("Schlüssel %1: %2 ausgegeben, %3 insgesamt"), 2015)
            .arg(text(v[0]), text(v[1]), text(v[2]));
    case Finding::Kind::HeaderRows:
        return GetText(QStringLiteral("Kopfzeilen: %1%2"), 2016)
            .arg(text(v[0]), GetText(QStringLiteral(" (das Programm führt genau eine)"), 2017));
    }
    return {};
}

QString RegisterCheck::more(qint64 count)
{
    return GetText(QStringLiteral("... und %1 weitere"), 2001).arg(count);
}

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

        const Findings findings = consistency(*db, kListed);
        report(result, findings, Finding::Kind::PersonGone, GetText(QStringLiteral("Bewegungen ohne Person"), 2010));
        report(result, findings, Finding::Kind::KeyGone, GetText(QStringLiteral("Bewegungen ohne Schlüssel"), 2012));
        report(result, findings, Finding::Kind::TooManyOut,
               GetText(QStringLiteral("Schlüssel mit mehr ausgegebenen als vorhandenen Exemplaren"), 2014));
        if (findings.counts[int(Finding::Kind::HeaderRows)] > 0) {
            result.report.append(line(findings.listed.last()));
            ++result.problems;
        } else {
            Recordset header = db->openRecordset(QStringLiteral("SELECT Count(*) FROM TBKopfdaten"));
            result.report.append(
                GetText(QStringLiteral("Kopfzeilen: %1%2"), 2016).arg(header.field(0).toInt()).arg(QString()));
        }
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

#include "History.h"

#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Journal.h"
#include "core/Sql.h"

#include <algorithm>

namespace History {

namespace {

QString literal(const QString& text)
{
    return QLatin1Char('\'') + Sql::sqlText(text) + QLatin1Char('\'');
}

// The last return recorded for the movement in the current row's BewID: one taken back was followed by
// another.
QString returnedOf(const QString& row)
{
    return QStringLiteral("(SELECT max(r.Zeitpunkt) FROM TBVerlauf r WHERE r.BewID = %1.BewID AND r.Art = %2)")
        .arg(row)
        .arg(Journal::Rueckgabe);
}

QString personOf(const Recordset& rs)
{
    return trimTrailingBlanks(rs.field(QStringLiteral("Nachname")).toString() + QLatin1Char(' ') +
                              rs.field(QStringLiteral("Vorname")).toString());
}

HistoryLine lineOf(const Recordset& rs, bool stillThere)
{
    HistoryLine line;
    line.out = rs.field(QStringLiteral("Von")).toDate();
    line.keyNumber = rs.field(QStringLiteral("SchluesselNr")).toString();
    line.zusatzNr = trimTrailingBlanks(rs.field(QStringLiteral("ZusatzNr")).toString());
    line.function = trimTrailingBlanks(rs.field(QStringLiteral("Funktion")).toString());
    line.person = personOf(rs);
    line.personalNumber = trimBlanks(rs.field(QStringLiteral("PersNr")).toString());
    line.bewId = rs.field(QStringLiteral("BewID")).toInt();
    const QDate returned = QDate::fromString(rs.field(QStringLiteral("Zurueck")).toString().left(10), Qt::ISODate);
    if (stillThere && rs.field(QStringLiteral("Status")).toInt() == 0)
        line.back = HistoryLine::Back::Out;
    else
        line.back = returned.isValid() ? HistoryLine::Back::Returned : HistoryLine::Back::Unknown;
    line.returned = returned;
    return line;
}

// movementCondition filters the movements (alias m), removedCondition the journal's entries of
// movements removed with their key (alias v); empty for all.
QVector<HistoryLine> read(const QString& movementCondition, const QString& removedCondition)
{
    QVector<HistoryLine> lines;
    QString sql =
        QStringLiteral("SELECT m.Von, m.Status, m.SchluesselNr, m.ZusatzNr, k.Funktion, p.Nachname, "
                       "p.Vorname, p.PersNr, m.BewID, %1 AS Zurueck FROM (TBBewegungen m LEFT JOIN TBSchluessel k ON "
                       "k.SchluesselNr = m.SchluesselNr) LEFT JOIN TBPersonen p ON p.PersID = m.PersonID")
            .arg(returnedOf(QStringLiteral("m")));
    if (!movementCondition.isEmpty())
        sql += QStringLiteral(" WHERE ") + movementCondition;
    for (Recordset rs = db().openRecordset(sql); !rs.eof(); rs.moveNext())
        lines.append(lineOf(rs, true));

    // A removed movement once, by its last removal, and not while it is back (its key's deletion taken back).
    sql = QStringLiteral(
              "SELECT v.Von, v.SchluesselNr, v.ZusatzNr, v.Funktion, p.Nachname, p.Vorname, p.PersNr, v.BewID, "
              "%1 AS Zurueck FROM TBVerlauf v LEFT JOIN TBPersonen p ON p.PersID = v.PersID WHERE "
              "v.Art = %2 AND v.VerlaufID = (SELECT max(x.VerlaufID) FROM TBVerlauf x WHERE x.BewID = "
              "v.BewID AND x.Art = %2) AND NOT EXISTS (SELECT 1 FROM TBBewegungen b WHERE b.BewID = "
              "v.BewID)")
              .arg(returnedOf(QStringLiteral("v")))
              .arg(Journal::BewegungGeloescht);
    if (!removedCondition.isEmpty())
        sql += QStringLiteral(" AND ") + removedCondition;
    for (Recordset rs = db().openRecordset(sql); !rs.eof(); rs.moveNext())
        lines.append(lineOf(rs, false));

    std::stable_sort(lines.begin(), lines.end(), [](const HistoryLine& a, const HistoryLine& b) {
        return a.out != b.out ? a.out > b.out : a.bewId > b.bewId;
    });
    return lines;
}

QVector<JournalLine> readEntries(const QString& condition)
{
    QVector<JournalLine> lines;
    for (Recordset rs = db().openRecordset(Journal::factsQuery(condition)); !rs.eof(); rs.moveNext())
        lines.append({rs.field(QStringLiteral("Zeitpunkt")).toString(),
                      Journal::kindName(rs.field(QStringLiteral("Art")).toInt()), Journal::describe(rs)});
    return lines;
}

// The entries that name one of the ids or numbers in (...) as column, and those of their movements.
QString aboutAndItsMovements(const QString& column, const QString& values, const QString& movementCondition)
{
    return QStringLiteral("v.VerlaufID IN (SELECT VerlaufID FROM TBVerlauf WHERE %1 IN (%2) UNION SELECT VerlaufID "
                          "FROM TBVerlauf WHERE BewID IN (SELECT BewID FROM TBBewegungen WHERE %3 UNION SELECT BewID "
                          "FROM TBVerlauf WHERE %1 IN (%2) AND BewID IS NOT NULL))")
        .arg(column, values, movementCondition);
}

} // namespace

QVector<JournalLine> entriesOfPerson(qint32 persId)
{
    const QString id = QString::number(persId);
    return readEntries(aboutAndItsMovements(QStringLiteral("PersID"), id, QStringLiteral("PersonID = ") + id));
}

QVector<JournalLine> entriesOfKey(const QString& keyNumber)
{
    // The numbers the key had before, from its renumberings, newest first.
    QStringList numbers{keyNumber};
    for (qsizetype i = 0; i < numbers.size() && numbers.size() < 100; ++i) {
        for (Recordset rs = db().openRecordset(
                 QStringLiteral("SELECT AltSchluesselNr FROM TBVerlauf WHERE Art = %1 AND SchluesselNr = %2 AND "
                                "AltSchluesselNr IS NOT NULL ORDER BY VerlaufID DESC")
                     .arg(Journal::SchluesselGeaendert)
                     .arg(literal(numbers.at(i))));
             !rs.eof(); rs.moveNext()) {
            const QString earlier = rs.field(0).toString();
            if (!numbers.contains(earlier, Qt::CaseInsensitive))
                numbers << earlier;
        }
    }
    QStringList values;
    for (const QString& number : std::as_const(numbers))
        values << literal(number);
    return readEntries(aboutAndItsMovements(QStringLiteral("SchluesselNr"), values.join(QStringLiteral(", ")),
                                            QStringLiteral("SchluesselNr = ") + literal(keyNumber)));
}

QVector<JournalLine> entries()
{
    return readEntries(QString());
}

QVector<HistoryLine> ofPerson(qint32 persId)
{
    const QString id = QString::number(persId);
    return read(QStringLiteral("m.PersonID = ") + id, QStringLiteral("v.PersID = ") + id);
}

QVector<HistoryLine> ofKey(const QString& keyNumber)
{
    const QString nr = literal(keyNumber);
    return read(QStringLiteral("m.SchluesselNr = ") + nr, QStringLiteral("v.SchluesselNr = ") + nr);
}

QVector<HistoryLine> all()
{
    return read(QString(), QString());
}

} // namespace History

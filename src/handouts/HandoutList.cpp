#include "HandoutList.h"

#include "core/Blanks.h"
#include "core/Database.h"
#include "core/Sql.h"

namespace HandoutList {

QString filterCondition(const QString& vonDatum, const QString& bisDatum, const QString& schluessel,
                        const QString& person)
{
    QString w;
    const auto add = [&w](const QString& condition) {
        if (!w.isEmpty())
            w += QStringLiteral(" AND");
        w += condition;
    };
    if (!isBlank(vonDatum))
        add(QStringLiteral(" Von >= #") + vonDatum + QLatin1Char('#'));
    if (!isBlank(bisDatum))
        add(QStringLiteral(" Von <= #") + bisDatum + QLatin1Char('#'));
    // Typed wildcards stay wildcards; a typed quote stays a quote.
    if (!isBlank(schluessel))
        add(QStringLiteral(" TBSchluessel.SchluesselNr LIKE '") + Sql::sqlText(schluessel) + QStringLiteral("*'"));
    if (!isBlank(person))
        add(QStringLiteral(" Nachname LIKE '") + Sql::sqlText(person) + QStringLiteral("*'"));
    return w;
}

QString query(const QString& w)
{
    const QString f = w.isEmpty() ? QString() : QStringLiteral("AND ") + w;
    return QStringLiteral("SELECT Von, TBSchluessel.SchluesselNr, TBBewegungen.ZusatzNr, Funktion, ") +
           QStringLiteral("Nachname, Vorname, BewID FROM (TBBewegungen INNER JOIN TBSchluessel ON ") +
           QStringLiteral("TBBewegungen.SchluesselNr = TBSchluessel.SchluesselNr) INNER JOIN TBPersonen ") +
           QStringLiteral("ON TBBewegungen.PersonID = TBPersonen.PersID WHERE Status = 0 ") + f +
           QStringLiteral(" ORDER BY Von DESC, TBSchluessel.SchluesselNr ASC, ") +
           QStringLiteral("TBBewegungen.ZusatzNr ASC");
}

QVector<VergabenModel::Line> read(Database& db, const QString& sql)
{
    QVector<VergabenModel::Line> lines;
    Recordset rs = db.openRecordset(sql);
    while (!rs.eof()) {
        VergabenModel::Line& line = lines.emplace_back();
        line.von = rs.field(0).toDate();
        line.schluesselNr = rs.field(1).toString();
        line.zusatzNr = rs.field(2).toString();
        line.funktion = rs.field(3).toString();
        // Family name, a blank, given name; a missing family name leaves the given name alone.
        const QVariant nachname = rs.field(4);
        const QString vorname = rs.field(5).toString();
        line.person = nachname.isNull() ? vorname : nachname.toString() + QLatin1Char(' ') + vorname;
        const QVariant id = rs.field(6);
        if (!id.isNull())
            line.bewId = id.toInt();
        rs.moveNext();
    }
    rs.close();
    return lines;
}

} // namespace HandoutList

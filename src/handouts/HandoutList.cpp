#include "HandoutList.h"

#include "core/Blanks.h"
#include "core/Database.h"

namespace HandoutList {

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

VergabenModel::Lines read(Database& db, const QString& sql, qsizetype expected)
{
    VergabenModel::Lines result;
    result.lines.reserve(expected);
    TextStore& texts = result.texts;
    texts.reserve(expected * 48); // a line's four texts take about this many characters
    Recordset rs = db.openRecordset(sql);
    while (!rs.eof()) {
        VergabenModel::Line& line = result.lines.emplace_back();
        line.von = rs.date(0);
        line.schluesselNr = texts.addUtf8(rs.bytes(1));
        line.zusatzNr = texts.addUtf8(rs.bytes(2));
        line.funktion = texts.addUtf8(rs.bytes(3));
        // Family name, a blank, given name; a missing family name leaves the given name alone.
        const quint32 person = texts.mark();
        const QByteArrayView nachname = rs.bytes(4);
        if (nachname.data()) {
            texts.addUtf8(nachname);
            texts.add(u" ");
        }
        texts.addUtf8(rs.bytes(5));
        line.person = texts.since(person);
        const QVariant id = rs.field(6);
        if (!id.isNull())
            line.bewId = id.toInt();
        rs.moveNext();
    }
    rs.close();
    return result;
}

namespace {
const QString kPersonalNumbers = QStringLiteral("SELECT BewID, PersNr FROM TBBewegungen INNER JOIN TBPersonen ON "
                                                "TBBewegungen.PersonID = TBPersonen.PersID WHERE ");
}

QString personalNumber(Database& db, qint32 bewId)
{
    Recordset rs = db.openRecordset(kPersonalNumbers + QStringLiteral("BewID = ") + QString::number(bewId));
    return rs.eof() ? QString() : trimBlanks(rs.field(1).toString());
}

QHash<qint32, QString> personalNumbers(Database& db)
{
    QHash<qint32, QString> numbers;
    for (Recordset rs = db.openRecordset(kPersonalNumbers + QStringLiteral("Status = 0")); !rs.eof(); rs.moveNext())
        numbers.insert(rs.field(0).toInt(), trimBlanks(rs.field(1).toString()));
    return numbers;
}

} // namespace HandoutList

#include "Verlust.h"

#include "FoldedLookup.h"
#include "core/Blanks.h"
#include "core/Database.h"
#include "core/DateText.h"
#include "core/Dialect.h"
#include "core/RegisterChange.h"
#include "core/Sql.h"
#include "core/Statement.h"
#include "core/TextCollation.h"
#include "core/Texts.h"
#include "widgets/LinePrinter.h"

#include <QHash>
#include <algorithm>

namespace Verlust {

namespace {

QString literal(const QString& text)
{
    return QLatin1Char('\'') + Sql::sqlText(text) + QLatin1Char('\'');
}

QString personOf(const QString& nachname, const QString& vorname)
{
    return trimTrailingBlanks(nachname + QLatin1Char(' ') + trimTrailingBlanks(vorname));
}

QString copyOf(const QString& keyNumber, const QString& zusatzNr)
{
    return isBlank(zusatzNr) ? keyNumber : keyNumber + QLatin1Char('/') + zusatzNr;
}

// Layout in twips.
constexpr int kTitlePoints = 14;
constexpr int kBodyPoints = 10;
constexpr int kIndent = 300;
constexpr int kLabelWidth = 3000;

void labelled(LinePrinter& printer, const QString& label, const QString& value)
{
    printer.setCurrentX(0);
    printer.printWord(label);
    printer.setCurrentX(std::max<double>(kLabelWidth, printer.currentX()));
    printer.printLine(value);
}

// One line of a table: each text at its column, pushed right when the text before runs into it. The
// last text is a list of words that wraps under its own column.
void row(LinePrinter& printer, const QList<int>& columns, const QStringList& texts, const QStringList& wrapped = {})
{
    printer.setCurrentX(0);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        printer.setCurrentX(std::max<double>(columns.at(i), printer.currentX()));
        printer.printWord(texts.at(i));
    }
    if (!wrapped.isEmpty()) {
        const double left = std::max<double>(columns.last(), printer.currentX());
        printer.setCurrentX(left);
        for (const QString& word : wrapped) {
            if (printer.currentX() > left && printer.currentX() + printer.textWidth(word) > printer.pageWidth()) {
                printer.newLine();
                printer.setCurrentX(left);
            }
            printer.printWord(word);
        }
    }
    printer.newLine();
}

// A table's column titles, underlined.
void titles(LinePrinter& printer, const QList<int>& columns, const QStringList& texts)
{
    printer.setSecondEmphasis(true);
    row(printer, columns, texts);
    printer.setSecondEmphasis(false);
}

void heading(LinePrinter& printer, const QString& text)
{
    printer.newLine();
    printer.setFirstEmphasis(true);
    printer.printLine(text);
    printer.setFirstEmphasis(false);
}

} // namespace

bool record(Database& db, qint32 bewId, const QDate& day)
{
    const QString id = QString::number(bewId);
    Recordset movement =
        db.openRecordset(QStringLiteral("SELECT SchluesselNr FROM TBBewegungen WHERE Status = 0 AND BewID = ") + id);
    if (movement.eof())
        return false;
    const QString key = literal(movement.text(0));
    movement.close();
    const QString same = QStringLiteral("BewID = ") + id;
    RegisterChange::make(
        RegisterChange::Kind::Verlust,
        {{QStringLiteral("TBVerlust"), same},
         {QStringLiteral("TBBewegungen"), same},
         {QStringLiteral("TBSchluessel"), QStringLiteral("SchluesselNr = ") + key}},
        [&] {
            db.execute(
                QStringLiteral("INSERT INTO TBVerlust (BewID, Tag) VALUES(%1, #%2#)").arg(id, Sql::dateLiteral(day)));
            db.execute(QStringLiteral("UPDATE TBBewegungen SET Status = 1 WHERE BewID = ") + id);
            // The copy is gone for good; a total already at nothing stays there.
            db.execute(QStringLiteral("UPDATE TBSchluessel SET Gesamt = Gesamt - 1 WHERE Gesamt > 0 AND "
                                      "SchluesselNr = ") +
                       key);
        });
    return true;
}

std::optional<Report> report(Database& db, qint32 bewId)
{
    Recordset rs = db.openRecordset(
        QStringLiteral("SELECT p.Nachname, p.Vorname, p.PersNr, b.SchluesselNr, b.ZusatzNr, k.Funktion, b.Von, v.Tag, "
                       "b.PersonID FROM ((TBVerlust v INNER JOIN TBBewegungen b ON b.BewID = v.BewID) LEFT JOIN "
                       "TBPersonen p ON p.PersID = b.PersonID) LEFT JOIN TBSchluessel k ON k.SchluesselNr = "
                       "b.SchluesselNr WHERE v.BewID = ") +
        QString::number(bewId));
    if (rs.eof())
        return std::nullopt;
    Report report;
    report.person = personOf(rs.text(0), rs.text(1));
    report.persNr = trimTrailingBlanks(rs.text(2));
    report.keyNumber = rs.text(3);
    report.zusatzNr = trimTrailingBlanks(rs.text(4));
    report.function = trimTrailingBlanks(rs.text(5));
    report.out = rs.date(6);
    report.lost = rs.date(7);
    const QString persId = QString::number(rs.field(8).toInt());
    rs.close();
    report.doors = Schliessplan::doorsOf(db, report.keyNumber);

    // Every key that opens one of the doors (the lost key too: its other copies), with which of them: as
    // places in the list of doors, so that they come in the plan's order. The crossings of a group key's
    // doors run to tens of thousands, so they are read by their bytes, and a number is folded once.
    const QString keysToTheDoors =
        QStringLiteral("FROM TBSchliessung l INNER JOIN TBSchliessung o ON o.ZylinderNr = l.ZylinderNr WHERE "
                       "l.SchluesselNr = ") +
        literal(report.keyNumber);
    QHash<QString, int> place;
    for (qsizetype i = 0; i < report.doors.size(); ++i)
        place.insert(TextCollation::equalityKey(report.doors.at(i).number), int(i));
    FoldedLookup placeOfBytes(place);
    QHash<QByteArray, QList<int>> placesOfBytes; // by the key number's bytes
    Statement crossings(db.handle(), Dialect::translate(QStringLiteral("SELECT o.ZylinderNr, o.SchluesselNr ") +
                                                        keysToTheDoors));
    while (crossings.next()) {
        const int at = placeOfBytes.value(crossings.textView(0));
        if (at < 0)
            continue;
        const QByteArray key = crossings.textView(1);
        auto places = placesOfBytes.find(key);
        if (places == placesOfBytes.end())
            places = placesOfBytes.insert(QByteArray(key.constData(), key.size()), {});
        places->append(at);
    }
    QHash<QString, QList<int>> placesOfKey;
    for (auto it = placesOfBytes.cbegin(); it != placesOfBytes.cend(); ++it)
        placesOfKey[TextCollation::equalityKey(QString::fromUtf8(it.key()))] += it.value();
    QHash<QString, QStringList> doorsOfKey;
    for (auto it = placesOfKey.begin(); it != placesOfKey.end(); ++it) {
        QList<int>& places = it.value();
        std::sort(places.begin(), places.end());
        places.erase(std::unique(places.begin(), places.end()), places.end());
        QStringList& doors = doorsOfKey[it.key()];
        for (const int i : std::as_const(places))
            doors << report.doors.at(i).number;
    }

    // b.Bis, which the list needs not, is read all the same: without it the index of the copies out by
    // day would hold every column asked for, and the engine would walk all copies out through it
    // instead of seeking each key's copies out by key number.
    for (Recordset holders = db.openRecordset(
             QStringLiteral("SELECT p.Nachname, p.Vorname, p.PersNr, b.SchluesselNr, b.ZusatzNr, b.Von, b.Bis FROM "
                            "TBBewegungen b INNER JOIN TBPersonen p ON p.PersID = b.PersonID WHERE b.Status = 0 AND "
                            "b.PersonID <> ") +
             persId + QStringLiteral(" AND b.SchluesselNr IN (SELECT o.SchluesselNr ") + keysToTheDoors +
             QStringLiteral(") ORDER BY p.Nachname, p.Vorname, p.PersID, b.SchluesselNr, b.ZusatzNr, b.BewID"));
         !holders.eof(); holders.moveNext())
        report.others << Report::OtherHolder{personOf(holders.text(0), holders.text(1)),
                                             trimTrailingBlanks(holders.text(2)),
                                             holders.text(3),
                                             trimTrailingBlanks(holders.text(4)),
                                             holders.date(5),
                                             doorsOfKey.value(TextCollation::equalityKey(holders.text(3)))};
    return report;
}

void print(LinePrinter& printer, const Report& report, const QString& anlagenNr)
{
    printer.setFontSize(kTitlePoints);
    printer.setFirstEmphasis(true);
    printer.printLine(GetText(QStringLiteral("Verlustmeldung"), 1920));
    printer.setFirstEmphasis(false);
    printer.setFontSize(kBodyPoints);
    printer.newLine();
    labelled(printer, GetText(QStringLiteral("Anlage:"), 1921), anlagenNr);
    labelled(printer, GetText(QStringLiteral("Person:"), 809),
             isBlank(report.persNr)
                 ? report.person
                 : report.person + QStringLiteral(", ") + GetText(QStringLiteral("Personalnummer"), 822) +
                       QLatin1Char(' ') + report.persNr);
    labelled(printer, GetText(QStringLiteral("Schlüssel:"), 808),
             copyOf(report.keyNumber, report.zusatzNr) +
                 (report.function.isEmpty() ? QString() : QStringLiteral(" (") + report.function + QLatin1Char(')')));
    labelled(printer, GetText(QStringLiteral("Ausgegeben am"), 803), DateText::shortDate(report.out));
    labelled(printer, GetText(QStringLiteral("Verloren gemeldet am"), 1922), DateText::shortDate(report.lost));

    const QList<int> doorColumns = {kIndent, 2700, 7200};
    heading(printer, GetText(QStringLiteral("Türen, die dieser Schlüssel öffnet: %1"), 1923).arg(report.doors.size()));
    if (!report.doors.isEmpty())
        titles(printer, doorColumns,
               {GetText(QStringLiteral("Zylinder"), 1924), GetText(QStringLiteral("Tür"), 1925),
                GetText(QStringLiteral("Bereich"), 1926)});
    for (const Schliessplan::Cylinder& door : report.doors)
        row(printer, doorColumns, {door.number, door.door, door.area});

    const QList<int> holderColumns = {kIndent, 3300, 5000, 6400, 8000};
    heading(printer, GetText(QStringLiteral("Weitere Personen mit einem Schlüssel zu diesen Türen: %1"), 1927)
                         .arg(report.others.size()));
    if (!report.others.isEmpty())
        titles(printer, holderColumns,
               {GetText(QStringLiteral("Person"), 120), GetText(QStringLiteral("Personalnummer"), 822),
                GetText(QStringLiteral("Schlüssel"), 1928), GetText(QStringLiteral("Ausgegeben am"), 803),
                GetText(QStringLiteral("Zylinder"), 1924)});
    for (const Report::OtherHolder& other : report.others) {
        QStringList cylinders = other.cylinders;
        for (qsizetype i = 0; i + 1 < cylinders.size(); ++i)
            cylinders[i] += QLatin1Char(',');
        row(printer, holderColumns,
            {other.person, other.persNr, copyOf(other.keyNumber, other.zusatzNr), DateText::shortDate(other.out)},
            cylinders);
    }
    printer.endDoc();
}

} // namespace Verlust

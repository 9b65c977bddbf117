#include "Journal.h"

#include "Blanks.h"
#include "Database.h"
#include "DateText.h"
#include "JournalText.h"
#include "Statement.h"
#include "Texts.h"

#include <QRegularExpression>

namespace Journal {

const QList<Kind>& kinds()
{
    static const QList<Kind> list = {
        {Eintrag, QStringLiteral("Eintrag"), 1700, QStringLiteral("{Text}"), 1710},
        {Vergabe, QStringLiteral("Vergabe"), 1701, QStringLiteral("Schlüssel {Kopie} an {Person} ausgegeben"), 1711},
        {Rueckgabe, QStringLiteral("Rückgabe"), 1702, QStringLiteral("Schlüssel {Kopie} von {Person} zurückgegeben"),
         1712},
        {BewegungGeloescht, QStringLiteral("Bewegung gelöscht"), 1703,
         QStringLiteral("Vergabe von {Kopie} an {Person} vom {Von}[{?NochAus} (noch ausgegeben)] gelöscht"), 1713},
        {PersonAngelegt, QStringLiteral("Person angelegt"), 1704,
         QStringLiteral("Person {Person}[, Personalnummer {PersNr}] angelegt"), 1714},
        {PersonGeaendert, QStringLiteral("Person geändert"), 1705,
         QStringLiteral("Person {AltPerson}[, Personalnummer {AltPersNr}] geändert in {Person}[, Personalnummer "
                        "{PersNr}]"),
         1715},
        {PersonStorniert, QStringLiteral("Person storniert"), 1706,
         QStringLiteral("Person {Person}[, Personalnummer {PersNr}] gelöscht (storniert)"), 1716},
        {SchluesselAngelegt, QStringLiteral("Schlüssel angelegt"), 1707,
         QStringLiteral("Schlüssel {SchluesselNr} angelegt: {Funktion}, {Gesamt} Stück[{?MitZusatzNr}, mit "
                        "Zusatznummer]"),
         1717},
        {SchluesselGeaendert, QStringLiteral("Schlüssel geändert"), 1708,
         QStringLiteral("Schlüssel {AltSchluesselNr} geändert[ in {NeueSchluesselNr}] (vorher: {AltFunktion}, "
                        "{AltGesamt} Stück[{?AltMitZusatzNr}, mit Zusatznummer]; jetzt: {Funktion}, {Gesamt} "
                        "Stück[{?MitZusatzNr}, mit Zusatznummer])"),
         1718},
        {SchluesselGeloescht, QStringLiteral("Schlüssel gelöscht"), 1709,
         QStringLiteral("Schlüssel {SchluesselNr} gelöscht ({Funktion}, {Gesamt} Stück[{?MitZusatzNr}, mit "
                        "Zusatznummer])"),
         1719},
        {VergabeZurueckgenommen, QStringLiteral("Vergabe zurückgenommen"), 920,
         QStringLiteral("Vergabe von {Kopie} an {Person} vom {Von} zurückgenommen"), 930},
        {RueckgabeZurueckgenommen, QStringLiteral("Rückgabe zurückgenommen"), 921,
         QStringLiteral("Rückgabe von {Kopie} durch {Person} zurückgenommen"), 931},
        {PersonAngelegtZurueckgenommen, QStringLiteral("Anlage der Person zurückgenommen"), 922,
         QStringLiteral("Anlage der Person {Person}[, Personalnummer {PersNr}] zurückgenommen"), 932},
        {PersonGeaendertZurueckgenommen, QStringLiteral("Änderung der Person zurückgenommen"), 923,
         QStringLiteral("Änderung der Person {AltPerson}[, Personalnummer {AltPersNr}] zurückgenommen, wieder "
                        "{Person}[, Personalnummer {PersNr}]"),
         933},
        {PersonStorniertZurueckgenommen, QStringLiteral("Stornierung zurückgenommen"), 924,
         QStringLiteral("Stornierung der Person {Person}[, Personalnummer {PersNr}] zurückgenommen"), 934},
        {SchluesselAngelegtZurueckgenommen, QStringLiteral("Anlage des Schlüssels zurückgenommen"), 925,
         QStringLiteral("Anlage des Schlüssels {SchluesselNr} ({Funktion}, {Gesamt} Stück[{?MitZusatzNr}, mit "
                        "Zusatznummer]) zurückgenommen"),
         935},
        {SchluesselGeaendertZurueckgenommen, QStringLiteral("Änderung des Schlüssels zurückgenommen"), 926,
         QStringLiteral("Änderung des Schlüssels {AltSchluesselNr} zurückgenommen[, wieder {NeueSchluesselNr}] "
                        "(jetzt: {Funktion}, {Gesamt} Stück[{?MitZusatzNr}, mit Zusatznummer])"),
         936},
        {SchluesselGeloeschtZurueckgenommen, QStringLiteral("Löschung des Schlüssels zurückgenommen"), 927,
         QStringLiteral("Löschung des Schlüssels {SchluesselNr} ({Funktion}, {Gesamt} Stück[{?MitZusatzNr}, mit "
                        "Zusatznummer]) mit seinen Vergaben zurückgenommen"),
         937},
        {Uebernommen, QStringLiteral("Übernommen"), 1725,
         QStringLiteral("{Funktion}: {Gesamt} Zeilen aus einer Jet-Datei übernommen"), 1726},
        {Verlust, QStringLiteral("Verlust"), 1950,
         QStringLiteral("Schlüssel {Kopie} von {Person} als verloren gemeldet, verloren am {Tag}"), 1960},
        {ZylinderAngelegt, QStringLiteral("Zylinder angelegt"), 1951,
         QStringLiteral("Zylinder {ZylinderNr} angelegt[: {Tuer}][, Bereich {Bereich}][ ({Bemerkung})]"), 1961},
        {ZylinderGeaendert, QStringLiteral("Zylinder geändert"), 1952,
         QStringLiteral("Zylinder {ZylinderNr} geändert (vorher: {AltTuer}[, Bereich {AltBereich}][ "
                        "({AltBemerkung})]; jetzt: {Tuer}[, Bereich {Bereich}][ ({Bemerkung})])"),
         1962},
        {ZylinderEntfernt, QStringLiteral("Zylinder entfernt"), 1953,
         QStringLiteral("Zylinder {ZylinderNr}[: {Tuer}] aus dem Schließplan entfernt"), 1963},
        {SchliessungAngelegt, QStringLiteral("Schließung angelegt"), 1954,
         QStringLiteral("Schlüssel {SchluesselNr} schließt jetzt Zylinder {ZylinderNr}"), 1964},
        {SchliessungEntfernt, QStringLiteral("Schließung entfernt"), 1955,
         QStringLiteral("Schlüssel {SchluesselNr} schließt Zylinder {ZylinderNr} nicht mehr"), 1965},
        {VerlustZurueckgenommen, QStringLiteral("Verlust zurückgenommen"), 1980,
         QStringLiteral("Verlustmeldung von {Kopie} ({Person}) vom {Tag} zurückgenommen, wieder ausgegeben"), 1985},
        {SchliessungAngelegtZurueckgenommen, QStringLiteral("Schließung zurückgenommen"), 1981,
         QStringLiteral("Zurückgenommen: Schlüssel {SchluesselNr} schließt Zylinder {ZylinderNr} nicht mehr"), 1986},
        {SchliessungEntferntZurueckgenommen, QStringLiteral("Entfernung der Schließung zurückgenommen"), 1982,
         QStringLiteral("Zurückgenommen: Schlüssel {SchluesselNr} schließt wieder Zylinder {ZylinderNr}"), 1987},
        {SchliessplanZurueckgenommen, QStringLiteral("Einlesen des Schließplans zurückgenommen"), 1983,
         QStringLiteral("Der Schließplan ist wieder wie vor dem Einlesen"), 1988},
    };
    return list;
}

namespace {

const Kind* kindOf(int art)
{
    for (const Kind& kind : kinds()) {
        if (kind.art == art)
            return &kind;
    }
    return nullptr;
}

// A field of the descriptions: its name, the expression that reads it (over the entry v, its movement
// m while that exists, the entry d that recorded the movement's removal, and the person p it
// concerns), and how its value is shown.
enum class Shown { Text, Number, Date, Flag };
struct Field
{
    QString name;
    QString sql;
    Shown shown;
};

// A movement's fact: from the entry itself (a removal, or an entry converted with its details), else
// from the movement, else from its removal.
QString movementFact(const QString& entryColumn, const QString& movementColumn)
{
    return QStringLiteral("coalesce(v.%1, m.%2, d.%1)").arg(entryColumn, movementColumn);
}

QString nameOf(const QString& family, const QString& given)
{
    return QStringLiteral("rtrim(coalesce(%1, '') || ' ' || coalesce(%2, ''))").arg(family, given);
}

const QList<Field>& fields()
{
    static const QList<Field> list = [] {
        const QString persId = movementFact(QStringLiteral("PersID"), QStringLiteral("PersonID"));
        const QString keyNumber = movementFact(QStringLiteral("SchluesselNr"), QStringLiteral("SchluesselNr"));
        const QString copyNumber = movementFact(QStringLiteral("ZusatzNr"), QStringLiteral("ZusatzNr"));
        return QList<Field>{
            {QStringLiteral("BewID"), QStringLiteral("v.BewID"), Shown::Number},
            {QStringLiteral("PersID"), persId, Shown::Number},
            {QStringLiteral("SchluesselNr"), keyNumber, Shown::Text},
            {QStringLiteral("ZusatzNr"), copyNumber, Shown::Text},
            // "K10/3": the key number and the copy's additional number, when it has one.
            {QStringLiteral("Kopie"),
             QStringLiteral("%1 || CASE WHEN rtrim(coalesce(%2, '')) <> '' THEN '/' || rtrim(%2) ELSE '' END")
                 .arg(keyNumber, copyNumber),
             Shown::Text},
            {QStringLiteral("Von"), movementFact(QStringLiteral("Von"), QStringLiteral("Von")), Shown::Date},
            {QStringLiteral("NochAus"), QStringLiteral("v.Status = 0"), Shown::Flag},
            // The person as the entry recorded it, else as the register knows it now.
            {QStringLiteral("Person"),
             QStringLiteral("CASE WHEN v.Nachname IS NOT NULL OR v.Vorname IS NOT NULL THEN %1 WHEN p.PersID IS "
                            "NOT NULL THEN %2 WHEN %3 IS NOT NULL THEN 'PersID ' || %3 END")
                 .arg(nameOf(QStringLiteral("v.Nachname"), QStringLiteral("v.Vorname")),
                      nameOf(QStringLiteral("p.Nachname"), QStringLiteral("p.Vorname")), persId),
             Shown::Text},
            {QStringLiteral("PersNr"), QStringLiteral("v.PersNr"), Shown::Text},
            {QStringLiteral("AltPerson"),
             QStringLiteral("CASE WHEN v.AltNachname IS NOT NULL OR v.AltVorname IS NOT NULL THEN %1 END")
                 .arg(nameOf(QStringLiteral("v.AltNachname"), QStringLiteral("v.AltVorname"))),
             Shown::Text},
            {QStringLiteral("AltPersNr"), QStringLiteral("v.AltPersNr"), Shown::Text},
            {QStringLiteral("Funktion"), QStringLiteral("v.Funktion"), Shown::Text},
            {QStringLiteral("Gesamt"), QStringLiteral("v.Gesamt"), Shown::Number},
            {QStringLiteral("MitZusatzNr"), QStringLiteral("v.MitZusatzNr"), Shown::Flag},
            {QStringLiteral("AltSchluesselNr"), QStringLiteral("v.AltSchluesselNr"), Shown::Text},
            // The new number of a renumbered key; nothing when the number stayed.
            {QStringLiteral("NeueSchluesselNr"),
             QStringLiteral("CASE WHEN v.AltSchluesselNr IS NOT v.SchluesselNr COLLATE BINARY THEN v.SchluesselNr "
                            "END"),
             Shown::Text},
            {QStringLiteral("AltFunktion"), QStringLiteral("v.AltFunktion"), Shown::Text},
            {QStringLiteral("AltGesamt"), QStringLiteral("v.AltGesamt"), Shown::Number},
            {QStringLiteral("AltMitZusatzNr"), QStringLiteral("v.AltMitZusatzNr"), Shown::Flag},
            {QStringLiteral("Text"), QStringLiteral("v.Text"), Shown::Text},
            {QStringLiteral("ZylinderNr"), QStringLiteral("v.ZylinderNr"), Shown::Text},
            {QStringLiteral("Tuer"), QStringLiteral("v.Tuer"), Shown::Text},
            {QStringLiteral("Bereich"), QStringLiteral("v.Bereich"), Shown::Text},
            {QStringLiteral("Bemerkung"), QStringLiteral("v.Bemerkung"), Shown::Text},
            {QStringLiteral("AltTuer"), QStringLiteral("v.AltTuer"), Shown::Text},
            {QStringLiteral("AltBereich"), QStringLiteral("v.AltBereich"), Shown::Text},
            {QStringLiteral("AltBemerkung"), QStringLiteral("v.AltBemerkung"), Shown::Text},
            {QStringLiteral("Tag"), QStringLiteral("v.Tag"), Shown::Date},
        };
    }();
    return list;
}

const QString kFrom = QStringLiteral(
    " FROM TBVerlauf v LEFT JOIN TBBewegungen m ON m.BewID = v.BewID "
    "LEFT JOIN TBVerlauf d ON m.BewID IS NULL AND d.VerlaufID = (SELECT max(x.VerlaufID) FROM TBVerlauf x WHERE "
    "x.BewID = v.BewID AND x.Art = %1) "
    "LEFT JOIN TBPersonen p ON p.PersID = %2");

// The facts of the entries that match condition (over v; empty for all). absent: fields whose column the
// journal does not have yet, read as NULL. An older register that is upgraded step by step meets the
// conversion below before the later steps have added their columns.
QString factsSelect(const QString& condition = {}, const QStringList& absent = {})
{
    QStringList columns = {QStringLiteral("v.VerlaufID"), QStringLiteral("v.Zeitpunkt"), QStringLiteral("v.Art")};
    for (const Field& field : fields())
        columns << (absent.contains(field.name) ? QStringLiteral("NULL") : field.sql) + QStringLiteral(" AS ") +
                       field.name;
    return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
           kFrom.arg(BewegungGeloescht).arg(fields().at(1).sql) +
           (condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition);
}

// The entries of a movement (its return), of a person and of a key; only entries that name one.
const QStringList kIndexes = {
    QStringLiteral("CREATE INDEX TBVerlauf_BewID ON TBVerlauf (BewID) WHERE BewID IS NOT NULL"),
    QStringLiteral("CREATE INDEX TBVerlauf_PersID ON TBVerlauf (PersID) WHERE PersID IS NOT NULL"),
    QStringLiteral("CREATE INDEX TBVerlauf_SchluesselNr ON TBVerlauf (SchluesselNr) WHERE SchluesselNr IS NOT NULL"),
};

// The text a field shows, from its value.
QString shownText(Shown shown, const QVariant& value)
{
    if (value.isNull())
        return {};
    switch (shown) {
    case Shown::Text:
        return trimTrailingBlanks(value.toString());
    case Shown::Number:
        return value.toString();
    case Shown::Date: {
        const QDate day = value.typeId() == QMetaType::QDate
                              ? value.toDate()
                              : QDate::fromString(value.toString().left(10), Qt::ISODate);
        return day.isValid() ? DateText::shortDate(day) : value.toString();
    }
    case Shown::Flag:
        return value.toInt() != 0 ? QStringLiteral("1") : QString();
    }
    return {};
}

// The same in SQL, German (the view's): dates as "05.03.2026".
QString shownSql(Shown shown, const QString& value)
{
    switch (shown) {
    case Shown::Text:
        return QStringLiteral("rtrim(%1)").arg(value);
    case Shown::Number:
        return QStringLiteral("CAST(%1 AS TEXT)").arg(value);
    case Shown::Date:
        return QStringLiteral("strftime('%d.%m.%Y', %1)").arg(value);
    case Shown::Flag:
        return QStringLiteral("CASE WHEN %1 THEN '1' END").arg(value);
    }
    return value;
}

QString quoted(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// The German description of the row f of factsSelect, as SQL.
QString descriptionSql()
{
    QHash<QString, Shown> shownOf;
    for (const Field& field : fields())
        shownOf.insert(field.name, field.shown);
    const auto fieldSql = [&](const QString& name) {
        return shownSql(shownOf.value(name, Shown::Text), QStringLiteral("f.") + name);
    };
    QString cases;
    for (const Kind& kind : kinds())
        cases += QStringLiteral(" WHEN %1 THEN %2").arg(kind.art).arg(JournalText::toSql(kind.description, fieldSql));
    return QStringLiteral("CASE WHEN coalesce(f.Text, '') <> '' THEN f.Text ELSE CASE f.Art%1 ELSE '' END END")
        .arg(cases);
}

QString viewStatement()
{
    QString names;
    for (const Kind& kind : kinds())
        names += QStringLiteral(" WHEN %1 THEN %2").arg(kind.art).arg(quoted(kind.name));
    QStringList columns = {QStringLiteral("f.VerlaufID"), QStringLiteral("f.Zeitpunkt"), QStringLiteral("f.Art"),
                           QStringLiteral("CASE f.Art%1 ELSE %2 END AS Ereignis").arg(names, quoted(kinds()[0].name))};
    for (const Field& field : fields())
        columns << QStringLiteral("f.") + field.name;
    columns << descriptionSql() + QStringLiteral(" AS Beschreibung");
    return QStringLiteral("CREATE VIEW VVerlauf AS SELECT %1 FROM (%2) f")
        .arg(columns.join(QStringLiteral(", ")), factsSelect());
}

// ---- Writing ----

QString insert(int art, const QStringList& columns, const QStringList& values)
{
    return QStringLiteral("INSERT INTO TBVerlauf (Art, %1) VALUES (%2, %3); ")
        .arg(columns.join(QStringLiteral(", ")))
        .arg(art)
        .arg(values.join(QStringLiteral(", ")));
}

QStringList prefixed(const QString& prefix, const QStringList& columns)
{
    QStringList out;
    for (const QString& column : columns)
        out << prefix + column;
    return out;
}

// The row of TBSystem that keeps the triggers silent (Pause).
const QString kPauseEntry = QStringLiteral("Ruecknahme");

// A trigger that writes one entry after event when condition holds (empty: always), unless the journal
// is paused.
QString trigger(const QString& name, const QString& event, const QString& condition, const QString& body)
{
    const QString running = QStringLiteral("NOT EXISTS (SELECT 1 FROM TBSystem WHERE Eintrag = '%1')").arg(kPauseEntry);
    return QStringLiteral("CREATE TRIGGER %1 AFTER %2 WHEN %3 BEGIN %4END")
        .arg(name, event,
             condition.isEmpty() ? running : QLatin1Char('(') + condition + QStringLiteral(") AND ") + running, body);
}

// Exact comparison: a change of case or of a trailing blank is a change too.
QString unchanged(const QStringList& columns)
{
    QStringList same;
    for (const QString& column : columns)
        same << QStringLiteral("OLD.%1 IS NEW.%1 COLLATE BINARY").arg(column);
    return same.join(QStringLiteral(" AND "));
}

const QStringList kPersonColumns = {QStringLiteral("Nachname"), QStringLiteral("Vorname"), QStringLiteral("PersNr")};
const QStringList kKeyColumns = {QStringLiteral("SchluesselNr"), QStringLiteral("Funktion"), QStringLiteral("Gesamt"),
                                 QStringLiteral("ZusatzNr")};
// The key's columns as the journal names them (ZusatzNr of a key is the additional-number rule).
const QStringList kKeyFacts = {QStringLiteral("SchluesselNr"), QStringLiteral("Funktion"), QStringLiteral("Gesamt"),
                               QStringLiteral("MitZusatzNr")};

// The return of a movement; only the step to returned, so a second return keeps the first date.
QString returnTrigger(const QString& moreCondition = {})
{
    return trigger(QStringLiteral("TBVerlauf_Rueckgabe"), QStringLiteral("UPDATE OF Status ON TBBewegungen"),
                   QStringLiteral("NEW.Status = 1 AND OLD.Status IS NOT 1") + moreCondition,
                   insert(Rueckgabe, {QStringLiteral("BewID")}, {QStringLiteral("NEW.BewID")}));
}

QStringList triggerStatements()
{
    const QString movement = QStringLiteral("BewID");
    const QStringList person = QStringList{QStringLiteral("PersID")} + kPersonColumns;
    const QStringList newPerson =
        prefixed(QStringLiteral("NEW."), QStringList{QStringLiteral("PersID")} + kPersonColumns);
    // The key row goes before its movements, so a removed movement takes the function from the key's
    // own removal entry.
    const QString removedKeyFunction =
        QStringLiteral("coalesce((SELECT Funktion FROM TBSchluessel WHERE SchluesselNr = OLD.SchluesselNr), "
                       "(SELECT Funktion FROM TBVerlauf WHERE Art = %1 AND SchluesselNr = OLD.SchluesselNr "
                       "ORDER BY VerlaufID DESC LIMIT 1))")
            .arg(SchluesselGeloescht);
    return {
        trigger(QStringLiteral("TBVerlauf_Vergabe"), QStringLiteral("INSERT ON TBBewegungen"), {},
                insert(Vergabe, {movement}, {QStringLiteral("NEW.BewID")})),
        returnTrigger(),
        trigger(QStringLiteral("TBVerlauf_BewegungGeloescht"), QStringLiteral("DELETE ON TBBewegungen"), {},
                insert(BewegungGeloescht,
                       {movement, QStringLiteral("PersID"), QStringLiteral("SchluesselNr"), QStringLiteral("ZusatzNr"),
                        QStringLiteral("Von"), QStringLiteral("Status"), QStringLiteral("Funktion")},
                       {QStringLiteral("OLD.BewID"), QStringLiteral("OLD.PersonID"), QStringLiteral("OLD.SchluesselNr"),
                        QStringLiteral("OLD.ZusatzNr"), QStringLiteral("OLD.Von"), QStringLiteral("OLD.Status"),
                        removedKeyFunction})),
        trigger(QStringLiteral("TBVerlauf_PersonAngelegt"), QStringLiteral("INSERT ON TBPersonen"), {},
                insert(PersonAngelegt, person, newPerson)),
        trigger(QStringLiteral("TBVerlauf_PersonGeaendert"),
                QStringLiteral("UPDATE OF Nachname, Vorname, PersNr ON TBPersonen"),
                QStringLiteral("NOT (%1)").arg(unchanged(kPersonColumns)),
                insert(PersonGeaendert, person + prefixed(QStringLiteral("Alt"), kPersonColumns),
                       newPerson + prefixed(QStringLiteral("OLD."), kPersonColumns))),
        trigger(QStringLiteral("TBVerlauf_PersonStorniert"), QStringLiteral("UPDATE OF Storniert ON TBPersonen"),
                QStringLiteral("NEW.Storniert AND NOT coalesce(OLD.Storniert, 0)"),
                insert(PersonStorniert, person, newPerson)),
        trigger(QStringLiteral("TBVerlauf_SchluesselAngelegt"), QStringLiteral("INSERT ON TBSchluessel"), {},
                insert(SchluesselAngelegt, kKeyFacts, prefixed(QStringLiteral("NEW."), kKeyColumns))),
        trigger(QStringLiteral("TBVerlauf_SchluesselGeaendert"),
                QStringLiteral("UPDATE OF SchluesselNr, Funktion, Gesamt, ZusatzNr ON TBSchluessel"),
                QStringLiteral("NOT (%1 AND OLD.Gesamt IS NEW.Gesamt AND OLD.ZusatzNr IS NEW.ZusatzNr)")
                    .arg(unchanged({QStringLiteral("SchluesselNr"), QStringLiteral("Funktion")})),
                insert(SchluesselGeaendert, kKeyFacts + prefixed(QStringLiteral("Alt"), kKeyFacts),
                       prefixed(QStringLiteral("NEW."), kKeyColumns) + prefixed(QStringLiteral("OLD."), kKeyColumns))),
        trigger(QStringLiteral("TBVerlauf_SchluesselGeloescht"), QStringLiteral("DELETE ON TBSchluessel"), {},
                insert(SchluesselGeloescht, kKeyFacts, prefixed(QStringLiteral("OLD."), kKeyColumns))),
    };
}

QStringList dropTriggers()
{
    QStringList statements;
    for (const char* name : {"Vergabe", "Rueckgabe", "BewegungGeloescht", "PersonAngelegt", "PersonGeaendert",
                             "PersonStorniert", "SchluesselAngelegt", "SchluesselGeaendert", "SchluesselGeloescht"})
        statements << QStringLiteral("DROP TRIGGER TBVerlauf_%1").arg(QLatin1String(name));
    return statements;
}

// ---- Converting the sentences of the first journal ----

const QString kOldTable = QStringLiteral("TBVerlauf_alt");

// The facts a sentence of a person or key entry held, as columns of TBVerlauf; nullopt when the
// sentence is not in the form the first journal wrote.
using Columns = QList<std::pair<QString, QVariant>>;

// "Meier Anna, Personalnummer 17": the name (family and given name together) and the number.
Columns personFacts(const QString& text, const QString& prefix)
{
    const QString marker = QStringLiteral(", Personalnummer ");
    const qsizetype at = text.lastIndexOf(marker);
    const QString name = at < 0 ? text : text.left(at);
    const QString number = at < 0 ? QString() : text.mid(at + marker.size());
    return {{prefix + QStringLiteral("Nachname"), name},
            {prefix + QStringLiteral("PersNr"), number.isEmpty() ? QVariant() : QVariant(number)}};
}

// "Haupteingang, 3 Stück, mit Zusatznummer"
std::optional<Columns> keyFacts(const QString& text, const QString& prefix)
{
    static const QRegularExpression details(QStringLiteral("^(.*), (-?\\d+) Stück(, mit Zusatznummer)?$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = details.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return Columns{{prefix + QStringLiteral("Funktion"), match.captured(1)},
                   {prefix + QStringLiteral("Gesamt"), match.captured(2).toLongLong()},
                   {prefix + QStringLiteral("MitZusatzNr"), match.hasCaptured(3) ? 1 : 0}};
}

// The text between prefix and suffix, when the sentence has both.
std::optional<QString> between(const QString& sentence, const QString& prefix, const QString& suffix)
{
    if (!sentence.startsWith(prefix) || !sentence.endsWith(suffix) || sentence.size() < prefix.size() + suffix.size())
        return std::nullopt;
    return sentence.mid(prefix.size(), sentence.size() - prefix.size() - suffix.size());
}

std::optional<Columns> sentenceFacts(int art, const QString& sentence, const QString& keyNumber,
                                     const QString& function)
{
    const QString key = QStringLiteral("Schlüssel ") + keyNumber;
    switch (art) {
    case PersonAngelegt:
        if (const auto person = between(sentence, QStringLiteral("Person "), QStringLiteral(" angelegt")))
            return personFacts(*person, {});
        break;
    case PersonStorniert:
        if (const auto person = between(sentence, QStringLiteral("Person "), QStringLiteral(" gelöscht (storniert)")))
            return personFacts(*person, {});
        break;
    case PersonGeaendert:
        if (const auto both = between(sentence, QStringLiteral("Person "), QString())) {
            const QString marker = QStringLiteral(" geändert in ");
            const qsizetype at = both->indexOf(marker);
            if (at >= 0)
                return personFacts(both->mid(at + marker.size()), {}) +
                       personFacts(both->left(at), QStringLiteral("Alt"));
        }
        break;
    case SchluesselAngelegt:
        if (const auto details = between(sentence, key + QStringLiteral(" angelegt: "), QString()))
            return keyFacts(*details, {});
        break;
    case SchluesselGeloescht:
        if (const auto details = between(sentence, key + QStringLiteral(" gelöscht ("), QStringLiteral(")")))
            return keyFacts(*details, {});
        break;
    case SchluesselGeaendert: {
        // "Schlüssel K10 geändert in K11 (vorher: …; jetzt: …)": the new number and function are known.
        const auto rest = between(sentence, QStringLiteral("Schlüssel "), QStringLiteral(")"));
        const qsizetype open = rest ? rest->indexOf(QStringLiteral(" (vorher: ")) : -1;
        const qsizetype now =
            rest ? rest->lastIndexOf(QStringLiteral("; jetzt: ") + trimTrailingBlanks(function) + QStringLiteral(", "))
                 : -1;
        if (open < 0 || now < open)
            break;
        const QString head = rest->left(open);
        QString oldNumber;
        if (head.endsWith(QStringLiteral(" geändert in ") + keyNumber))
            oldNumber = head.chopped(keyNumber.size() + 13);
        else if (head.endsWith(QStringLiteral(" geändert")))
            oldNumber = head.chopped(9);
        else
            break;
        const auto before = keyFacts(rest->mid(open + 10, now - open - 10), QStringLiteral("Alt"));
        const auto after = keyFacts(rest->mid(now + 9), {});
        if (before && after)
            return *after + *before + Columns{{QStringLiteral("AltSchluesselNr"), oldNumber}};
        break;
    }
    default:
        break;
    }
    return std::nullopt;
}

} // namespace

QStringList fieldNames()
{
    QStringList names;
    for (const Field& field : fields())
        names << field.name;
    return names;
}

QString factsQuery(const QString& condition)
{
    return factsSelect(condition) + QStringLiteral(" ORDER BY v.VerlaufID DESC");
}

QString kindName(int art)
{
    const Kind* kind = kindOf(art);
    if (!kind)
        kind = kindOf(Eintrag);
    return GetText(kind->name, kind->nameId);
}

QString describe(int art, const QHash<QString, QString>& shown, const QString& pattern)
{
    const QString text = shown.value(QStringLiteral("Text"));
    if (!text.isEmpty())
        return text;
    if (!pattern.isEmpty())
        return JournalText::render(pattern, shown);
    const Kind* kind = kindOf(art);
    return kind ? JournalText::render(GetText(kind->description, kind->descriptionId), shown) : QString();
}

QString describe(const Recordset& facts)
{
    QHash<QString, QString> shown;
    for (const Field& field : fields())
        shown.insert(field.name, shownText(field.shown, facts.field(field.name)));
    return describe(facts.field(QStringLiteral("Art")).toInt(), shown);
}

QString carriedOverStatement(const QString& table, qint64 rows)
{
    return insert(Uebernommen, {QStringLiteral("Funktion"), QStringLiteral("Gesamt")},
                  {quoted(table), QString::number(rows)});
}

QStringList toFactsStatements()
{
    QStringList statements = dropTriggers();
    // The old indexes go with the old table, once its entries are carried over.
    statements << QStringLiteral("ALTER TABLE TBVerlauf RENAME TO ") + kOldTable;
    statements << QStringLiteral("CREATE TABLE TBVerlauf ("
                                 "VerlaufID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                 "Zeitpunkt TEXT NOT NULL DEFAULT (datetime('now', 'localtime')), "
                                 "Art INTEGER NOT NULL, "
                                 "BewID INTEGER, "
                                 "PersID INTEGER, "
                                 "SchluesselNr TEXT COLLATE FOLDTRIM, "
                                 "ZusatzNr TEXT COLLATE FOLDTRIM, "
                                 "Von DATE, "
                                 "Status INTEGER, "
                                 "Funktion TEXT COLLATE FOLDTRIM, "
                                 "Gesamt INTEGER, "
                                 "MitZusatzNr BOOLEAN, "
                                 "Nachname TEXT COLLATE FOLDTRIM, "
                                 "Vorname TEXT COLLATE FOLDTRIM, "
                                 "PersNr TEXT COLLATE FOLDTRIM, "
                                 "AltSchluesselNr TEXT COLLATE FOLDTRIM, "
                                 "AltFunktion TEXT COLLATE FOLDTRIM, "
                                 "AltGesamt INTEGER, "
                                 "AltMitZusatzNr BOOLEAN, "
                                 "AltNachname TEXT COLLATE FOLDTRIM, "
                                 "AltVorname TEXT COLLATE FOLDTRIM, "
                                 "AltPersNr TEXT COLLATE FOLDTRIM, "
                                 "Text TEXT)");
    return statements;
}

// The fields read straight from a column of the journal that it does not hold (yet).
static QStringList absentFields(Database& db)
{
    QStringList columns;
    for (Recordset rs = db.openRecordset(QStringLiteral("PRAGMA table_info(TBVerlauf)")); !rs.eof(); rs.moveNext())
        columns << QStringLiteral("v.") + rs.field(1).toString();
    QStringList absent;
    for (const Field& field : fields()) {
        if (field.sql.startsWith(QLatin1String("v.")) && !field.sql.contains(QLatin1Char(' ')) &&
            !columns.contains(field.sql, Qt::CaseInsensitive))
            absent << field.name;
    }
    return absent;
}

void convertSentences(Database& db)
{
    const auto kind = [](int art) { return quoted(kindOf(art)->name); };
    const QString movementKinds = QStringLiteral("(%1, %2)").arg(kind(Vergabe), kind(Rueckgabe));
    // A handout or return names its movement; only where neither the movement nor its removal is left
    // does the entry keep the movement's details.
    const QString known = QStringLiteral("(EXISTS (SELECT 1 FROM TBBewegungen b WHERE b.BewID = a.BewID) OR EXISTS "
                                         "(SELECT 1 FROM %1 x WHERE x.BewID = a.BewID AND x.Ereignis = %2))")
                              .arg(kOldTable, kind(BewegungGeloescht));
    const QString art =
        QStringLiteral("CASE a.Ereignis WHEN %1 THEN %2 ELSE %3 END").arg(kind(Vergabe)).arg(Vergabe).arg(Rueckgabe);
    db.executeNative(QStringLiteral("INSERT INTO TBVerlauf (VerlaufID, Zeitpunkt, Art, BewID) SELECT a.VerlaufID, "
                                    "a.Zeitpunkt, %1, a.BewID FROM %2 a WHERE a.Ereignis IN %3 AND %4")
                         .arg(art, kOldTable, movementKinds, known));
    db.executeNative(QStringLiteral("INSERT INTO TBVerlauf (VerlaufID, Zeitpunkt, Art, BewID, PersID, SchluesselNr, "
                                    "ZusatzNr, Von) SELECT a.VerlaufID, a.Zeitpunkt, %1, a.BewID, a.PersID, "
                                    "a.SchluesselNr, a.ZusatzNr, a.Von FROM %2 a WHERE a.Ereignis IN %3 AND NOT %4")
                         .arg(art, kOldTable, movementKinds, known));
    // A removal kept the movement's details; its sentence adds whether the copy was still out.
    const QString stillOut = QStringLiteral(" (noch ausgegeben) gelöscht");
    db.executeNative(QStringLiteral("INSERT INTO TBVerlauf (VerlaufID, Zeitpunkt, Art, BewID, PersID, SchluesselNr, "
                                    "ZusatzNr, Von, Status, Funktion) SELECT VerlaufID, Zeitpunkt, %1, BewID, PersID, "
                                    "SchluesselNr, ZusatzNr, Von, CASE WHEN substr(Beschreibung, -%2) = %3 THEN 0 "
                                    "ELSE 1 END, Funktion FROM %4 WHERE Ereignis = %5")
                         .arg(BewegungGeloescht)
                         .arg(stillOut.size())
                         .arg(quoted(stillOut), kOldTable, kind(BewegungGeloescht)));

    // Persons and keys: the facts their sentences held.
    QHash<QString, int> arts;
    for (const Kind& k : kinds())
        arts.insert(k.name, k.art);
    QList<int> parsed;
    Statement add(db.handle(), "INSERT INTO TBVerlauf (VerlaufID, Zeitpunkt, Art, BewID, PersID, SchluesselNr, Text, "
                               "Funktion, Gesamt, MitZusatzNr, Nachname, PersNr, AltSchluesselNr, AltFunktion, "
                               "AltGesamt, AltMitZusatzNr, AltNachname, AltPersNr) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, "
                               "?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18)");
    const QStringList factColumns = {
        QStringLiteral("Funktion"),    QStringLiteral("Gesamt"),    QStringLiteral("MitZusatzNr"),
        QStringLiteral("Nachname"),    QStringLiteral("PersNr"),    QStringLiteral("AltSchluesselNr"),
        QStringLiteral("AltFunktion"), QStringLiteral("AltGesamt"), QStringLiteral("AltMitZusatzNr"),
        QStringLiteral("AltNachname"), QStringLiteral("AltPersNr")};
    for (Recordset rs = db.openRecordset(
             QStringLiteral("SELECT VerlaufID, Zeitpunkt, Ereignis, BewID, PersID, SchluesselNr, Funktion, "
                            "Beschreibung FROM %1 WHERE Ereignis NOT IN (%2, %3, %4) ORDER BY VerlaufID")
                 .arg(kOldTable, kind(Vergabe), kind(Rueckgabe), kind(BewegungGeloescht)));
         !rs.eof(); rs.moveNext()) {
        const int entryArt = arts.value(rs.field(2).toString(), Eintrag);
        const QString sentence = rs.field(7).toString();
        const std::optional<Columns> facts =
            entryArt == Eintrag ? std::nullopt
                                : sentenceFacts(entryArt, sentence, rs.field(5).toString(), rs.field(6).toString());
        for (int i = 0; i < 6; ++i)
            add.bind(i + 1, i == 2 ? QVariant(entryArt) : rs.field(i));
        add.bind(7, facts ? QVariant() : QVariant(sentence));
        for (int i = 0; i < factColumns.size(); ++i)
            add.bind(8 + i, QVariant());
        if (facts) {
            for (const auto& [column, value] : *facts)
                add.bind(8 + static_cast<int>(factColumns.indexOf(column)), value);
        }
        add.run();
    }

    // The old table's indexes have done their part; the new ones serve the check below.
    for (const char* index : {"BewID", "PersID", "SchluesselNr"})
        db.executeNative(QStringLiteral("DROP INDEX TBVerlauf_%1").arg(QLatin1String(index)));
    for (const QString& index : kIndexes)
        db.executeNative(index);

    // Where the facts do not give back the very sentence (a name or function in an unusual form), the
    // entry keeps its sentence.
    const QString german = descriptionSql();
    db.executeNative(
        QStringLiteral("UPDATE TBVerlauf SET Text = (SELECT a.Beschreibung FROM %1 a WHERE a.VerlaufID = "
                       "TBVerlauf.VerlaufID) WHERE Text IS NULL AND Art >= %2 AND VerlaufID IN (SELECT "
                       "f.VerlaufID FROM (%3) f JOIN %1 a ON a.VerlaufID = f.VerlaufID WHERE (%4) IS NOT "
                       "a.Beschreibung COLLATE BINARY)")
            .arg(kOldTable)
            .arg(PersonAngelegt)
            .arg(factsSelect(QStringLiteral("v.Art >= %1").arg(PersonAngelegt), absentFields(db)), german));

    // The numbering goes on where the old table's ended.
    db.executeNative(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'TBVerlauf'"));
    db.executeNative(QStringLiteral("UPDATE sqlite_sequence SET name = 'TBVerlauf' WHERE name = '%1'").arg(kOldTable));
    db.executeNative(QStringLiteral("DROP TABLE ") + kOldTable);
}

QStringList afterConversion()
{
    return triggerStatements();
}

QStringList pausableStatements()
{
    return dropTriggers() + triggerStatements() +
           QStringList{QStringLiteral("CREATE INDEX TBVerlauf_SchluesselGeloescht ON TBVerlauf (SchluesselNr) WHERE "
                                      "Art = %1")
                           .arg(SchluesselGeloescht)};
}

Pause::Pause(Database& db) : m_db(db)
{
    m_db.executeNative(QStringLiteral("INSERT INTO TBSystem (Eintrag) VALUES ('%1')").arg(kPauseEntry));
}

Pause::~Pause()
{
    try {
        m_db.executeNative(QStringLiteral("DELETE FROM TBSystem WHERE Eintrag = '%1'").arg(kPauseEntry));
    } catch (const SqlError&) {
        // The caller's transaction is being rolled back, and the row with it.
    }
}

void add(Database& db, int art, const QList<std::pair<QString, QVariant>>& facts)
{
    QStringList columns{QStringLiteral("Art")};
    QStringList places{QStringLiteral("?1")};
    for (const auto& fact : facts) {
        columns << fact.first;
        places << QStringLiteral("?%1").arg(places.size() + 1);
    }
    Statement entry(db.handle(), QStringLiteral("INSERT INTO TBVerlauf (%1) VALUES (%2)")
                                     .arg(columns.join(QStringLiteral(", ")), places.join(QStringLiteral(", ")))
                                     .toUtf8()
                                     .constData());
    entry.number(1, art);
    for (int i = 0; i < facts.size(); ++i)
        entry.bind(i + 2, facts.at(i).second);
    entry.run();
}

QStringList lockingPlanStatements()
{
    const QStringList cylinder = {QStringLiteral("ZylinderNr"), QStringLiteral("Tuer"), QStringLiteral("Bereich"),
                                  QStringLiteral("Bemerkung")};
    const QStringList changeable = cylinder.mid(1);
    const QStringList crossing = {QStringLiteral("ZylinderNr"), QStringLiteral("SchluesselNr")};
    QStringList statements;
    for (const QString& column : cylinder + prefixed(QStringLiteral("Alt"), changeable))
        statements << QStringLiteral("ALTER TABLE TBVerlauf ADD COLUMN %1 TEXT COLLATE FOLDTRIM").arg(column);
    statements << QStringLiteral("ALTER TABLE TBVerlauf ADD COLUMN Tag DATE");
    // A cylinder's and a crossing's entries are found by the cylinder too.
    statements << QStringLiteral(
        "CREATE INDEX TBVerlauf_ZylinderNr ON TBVerlauf (ZylinderNr) WHERE ZylinderNr IS NOT NULL");
    // A copy reported lost leaves the copies out with a loss entry of its own, not a return.
    statements << QStringLiteral("DROP TRIGGER TBVerlauf_Rueckgabe")
               << returnTrigger(
                      QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM TBVerlust l WHERE l.BewID = NEW.BewID)"));
    statements << trigger(QStringLiteral("TBVerlauf_Verlust"), QStringLiteral("INSERT ON TBVerlust"), {},
                          insert(Verlust, {QStringLiteral("BewID"), QStringLiteral("Tag")},
                                 {QStringLiteral("NEW.BewID"), QStringLiteral("NEW.Tag")}))
               << trigger(QStringLiteral("TBVerlauf_ZylinderAngelegt"), QStringLiteral("INSERT ON TBZylinder"), {},
                          insert(ZylinderAngelegt, cylinder, prefixed(QStringLiteral("NEW."), cylinder)))
               << trigger(
                      QStringLiteral("TBVerlauf_ZylinderGeaendert"),
                      QStringLiteral("UPDATE OF Tuer, Bereich, Bemerkung ON TBZylinder"),
                      QStringLiteral("NOT (%1)").arg(unchanged(changeable)),
                      insert(ZylinderGeaendert, cylinder + prefixed(QStringLiteral("Alt"), changeable),
                             prefixed(QStringLiteral("NEW."), cylinder) + prefixed(QStringLiteral("OLD."), changeable)))
               << trigger(QStringLiteral("TBVerlauf_ZylinderEntfernt"), QStringLiteral("DELETE ON TBZylinder"), {},
                          insert(ZylinderEntfernt, cylinder, prefixed(QStringLiteral("OLD."), cylinder)))
               << trigger(QStringLiteral("TBVerlauf_SchliessungAngelegt"), QStringLiteral("INSERT ON TBSchliessung"),
                          {}, insert(SchliessungAngelegt, crossing, prefixed(QStringLiteral("NEW."), crossing)))
               << trigger(QStringLiteral("TBVerlauf_SchliessungEntfernt"), QStringLiteral("DELETE ON TBSchliessung"),
                          {}, insert(SchliessungEntfernt, crossing, prefixed(QStringLiteral("OLD."), crossing)));
    return statements;
}

bool refreshView(Database& db)
{
    const QString wanted = viewStatement();
    Recordset rs = db.openRecordset(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'view' AND name = "
                                                   "'VVerlauf'"));
    const bool current = !rs.eof() && rs.field(0).toString() == wanted;
    const bool exists = !rs.eof();
    rs.close();
    if (current)
        return false;
    Database::Transaction transaction(db);
    if (exists)
        db.executeNative(QStringLiteral("DROP VIEW VVerlauf"));
    db.executeNative(wanted);
    transaction.commit();
    return true;
}

} // namespace Journal

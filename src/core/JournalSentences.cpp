#include "Journal.h"

// The journal as the program first kept it: besides the ids, each entry stored a German sentence in
// Beschreibung, and movements the copy's details. Registers of versions 2 and 3 hold exactly this, and
// the upgrade to facts (Journal::toFactsStatements, Journal::convertSentences) reads it. Never changed.
namespace Journal {

namespace {

const QString kVergabe = QStringLiteral("Vergabe");
const QString kRueckgabe = QStringLiteral("Rückgabe");
const QString kBewegungGeloescht = QStringLiteral("Bewegung gelöscht");
const QString kPersonAngelegt = QStringLiteral("Person angelegt");
const QString kPersonGeaendert = QStringLiteral("Person geändert");
const QString kPersonStorniert = QStringLiteral("Person storniert");
const QString kSchluesselAngelegt = QStringLiteral("Schlüssel angelegt");
const QString kSchluesselGeaendert = QStringLiteral("Schlüssel geändert");
const QString kSchluesselGeloescht = QStringLiteral("Schlüssel gelöscht");

QString quoted(const QString& text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// "Meier Anna": family name, a blank, given name.
QString nameOf(const QString& row)
{
    return QStringLiteral("rtrim(coalesce(%1.Nachname, '') || ' ' || coalesce(%1.Vorname, ''))").arg(row);
}

// The person with the id in expression id, or "PersID 7" when there is none.
QString personById(const QString& id)
{
    return QStringLiteral("coalesce((SELECT %1 FROM TBPersonen p WHERE p.PersID = %2), 'PersID ' || %2)")
        .arg(nameOf(QStringLiteral("p")), id);
}

QString personNumberOf(const QString& row)
{
    return QStringLiteral("CASE WHEN rtrim(coalesce(%1.PersNr, '')) <> '' THEN ', Personalnummer ' || "
                          "rtrim(%1.PersNr) ELSE '' END")
        .arg(row);
}

// "K10/3": the key number and the copy's additional number, when it has one.
QString copyOf(const QString& row)
{
    return QStringLiteral("coalesce(%1.SchluesselNr, '') || CASE WHEN rtrim(coalesce(%1.ZusatzNr, '')) <> '' THEN "
                          "'/' || rtrim(%1.ZusatzNr) ELSE '' END")
        .arg(row);
}

// "Haupteingang, 3 Stück, mit Zusatznummer"
QString keyDetailsOf(const QString& row)
{
    return QStringLiteral("rtrim(coalesce(%1.Funktion, '')) || ', ' || coalesce(%1.Gesamt, 0) || ' Stück' || "
                          "CASE WHEN %1.ZusatzNr THEN ', mit Zusatznummer' ELSE '' END")
        .arg(row);
}

QString insertEntry(const QString& kind, const QString& persId, const QString& keyNumber, const QString& bewId,
                    const QString& zusatzNr, const QString& von, const QString& function, const QString& summary)
{
    return QStringLiteral("INSERT INTO TBVerlauf (Ereignis, PersID, SchluesselNr, BewID, ZusatzNr, Von, Funktion, "
                          "Beschreibung) VALUES (%1, %2, %3, %4, %5, %6, %7, %8); ")
        .arg(quoted(kind), persId, keyNumber, bewId, zusatzNr, von, function, summary);
}

QString trigger(const QString& name, const QString& event, const QString& body)
{
    return QStringLiteral("CREATE TRIGGER %1 AFTER %2 BEGIN %3END").arg(name, event, body);
}

QString movementEntry(const QString& kind, const QString& row, const QString& function, const QString& summary)
{
    return insertEntry(kind, row + QStringLiteral(".PersonID"), row + QStringLiteral(".SchluesselNr"),
                       row + QStringLiteral(".BewID"), row + QStringLiteral(".ZusatzNr"), row + QStringLiteral(".Von"),
                       function, summary);
}

QString keyEntry(const QString& kind, const QString& row, const QString& summary)
{
    return insertEntry(kind, QStringLiteral("NULL"), row + QStringLiteral(".SchluesselNr"), QStringLiteral("NULL"),
                       QStringLiteral("NULL"), QStringLiteral("NULL"), row + QStringLiteral(".Funktion"), summary);
}

QString personEntry(const QString& kind, const QString& summary)
{
    return insertEntry(kind, QStringLiteral("NEW.PersID"), QStringLiteral("NULL"), QStringLiteral("NULL"),
                       QStringLiteral("NULL"), QStringLiteral("NULL"), QStringLiteral("NULL"), summary);
}

// Exact comparison: a change of case or of a trailing blank is a change too.
QString unchanged(const QStringList& columns)
{
    QStringList same;
    for (const QString& column : columns)
        same << QStringLiteral("OLD.%1 IS NEW.%1 COLLATE BINARY").arg(column);
    return same.join(QStringLiteral(" AND "));
}

QStringList triggerStatements()
{
    const QString keyFunction =
        QStringLiteral("(SELECT Funktion FROM TBSchluessel WHERE SchluesselNr = NEW.SchluesselNr)");
    // The key row goes before its movements, so a removed movement takes the function from the key's
    // own deletion entry.
    const QString removedKeyFunction =
        QStringLiteral("coalesce((SELECT Funktion FROM TBSchluessel WHERE SchluesselNr = OLD.SchluesselNr), "
                       "(SELECT Funktion FROM TBVerlauf WHERE Ereignis = %1 AND SchluesselNr = OLD.SchluesselNr "
                       "ORDER BY VerlaufID DESC LIMIT 1))")
            .arg(quoted(kSchluesselGeloescht));
    const QString keyRenamed = QStringLiteral("OLD.SchluesselNr IS NOT NEW.SchluesselNr COLLATE BINARY");

    return {
        trigger(QStringLiteral("TBVerlauf_Vergabe"), QStringLiteral("INSERT ON TBBewegungen"),
                movementEntry(kVergabe, QStringLiteral("NEW"), keyFunction,
                              QStringLiteral("'Schlüssel ' || %1 || ' an ' || %2 || ' ausgegeben'")
                                  .arg(copyOf(QStringLiteral("NEW")), personById(QStringLiteral("NEW.PersonID"))))),
        // Only the step to returned: a second return of the same movement keeps the first date.
        trigger(QStringLiteral("TBVerlauf_Rueckgabe"),
                QStringLiteral("UPDATE OF Status ON TBBewegungen WHEN NEW.Status = 1 AND OLD.Status IS NOT 1"),
                movementEntry(kRueckgabe, QStringLiteral("NEW"), keyFunction,
                              QStringLiteral("'Schlüssel ' || %1 || ' von ' || %2 || ' zurückgegeben'")
                                  .arg(copyOf(QStringLiteral("NEW")), personById(QStringLiteral("NEW.PersonID"))))),
        trigger(QStringLiteral("TBVerlauf_BewegungGeloescht"), QStringLiteral("DELETE ON TBBewegungen"),
                movementEntry(kBewegungGeloescht, QStringLiteral("OLD"), removedKeyFunction,
                              QStringLiteral("'Vergabe von ' || %1 || ' an ' || %2 || ' vom ' || coalesce(OLD.Von, "
                                             "'?') || CASE WHEN OLD.Status = 0 THEN ' (noch ausgegeben)' ELSE '' END "
                                             "|| ' gelöscht'")
                                  .arg(copyOf(QStringLiteral("OLD")), personById(QStringLiteral("OLD.PersonID"))))),
        trigger(QStringLiteral("TBVerlauf_PersonAngelegt"), QStringLiteral("INSERT ON TBPersonen"),
                personEntry(kPersonAngelegt,
                            QStringLiteral("'Person ' || %1 || %2 || ' angelegt'")
                                .arg(nameOf(QStringLiteral("NEW")), personNumberOf(QStringLiteral("NEW"))))),
        trigger(QStringLiteral("TBVerlauf_PersonGeaendert"),
                QStringLiteral("UPDATE OF Nachname, Vorname, PersNr ON TBPersonen WHEN NOT (%1)")
                    .arg(unchanged({QStringLiteral("Nachname"), QStringLiteral("Vorname"), QStringLiteral("PersNr")})),
                personEntry(kPersonGeaendert,
                            QStringLiteral("'Person ' || %1 || %2 || ' geändert in ' || %3 || %4")
                                .arg(nameOf(QStringLiteral("OLD")), personNumberOf(QStringLiteral("OLD")),
                                     nameOf(QStringLiteral("NEW")), personNumberOf(QStringLiteral("NEW"))))),
        trigger(
            QStringLiteral("TBVerlauf_PersonStorniert"),
            QStringLiteral("UPDATE OF Storniert ON TBPersonen WHEN NEW.Storniert AND NOT coalesce(OLD.Storniert, 0)"),
            personEntry(kPersonStorniert,
                        QStringLiteral("'Person ' || %1 || %2 || ' gelöscht (storniert)'")
                            .arg(nameOf(QStringLiteral("NEW")), personNumberOf(QStringLiteral("NEW"))))),
        trigger(QStringLiteral("TBVerlauf_SchluesselAngelegt"), QStringLiteral("INSERT ON TBSchluessel"),
                keyEntry(kSchluesselAngelegt, QStringLiteral("NEW"),
                         QStringLiteral("'Schlüssel ' || NEW.SchluesselNr || ' angelegt: ' || %1")
                             .arg(keyDetailsOf(QStringLiteral("NEW"))))),
        trigger(
            QStringLiteral("TBVerlauf_SchluesselGeaendert"),
            QStringLiteral("UPDATE OF SchluesselNr, Funktion, Gesamt, ZusatzNr ON TBSchluessel WHEN NOT (%1 AND "
                           "OLD.Gesamt IS NEW.Gesamt AND OLD.ZusatzNr IS NEW.ZusatzNr)")
                .arg(unchanged({QStringLiteral("SchluesselNr"), QStringLiteral("Funktion")})),
            keyEntry(kSchluesselGeaendert, QStringLiteral("NEW"),
                     QStringLiteral("'Schlüssel ' || OLD.SchluesselNr || ' geändert' || CASE WHEN %1 THEN ' in ' "
                                    "|| NEW.SchluesselNr ELSE '' END || ' (vorher: ' || %2 || '; jetzt: ' || %3 "
                                    "|| ')'")
                         .arg(keyRenamed, keyDetailsOf(QStringLiteral("OLD")), keyDetailsOf(QStringLiteral("NEW"))))),
        trigger(QStringLiteral("TBVerlauf_SchluesselGeloescht"), QStringLiteral("DELETE ON TBSchluessel"),
                keyEntry(kSchluesselGeloescht, QStringLiteral("OLD"),
                         QStringLiteral("'Schlüssel ' || OLD.SchluesselNr || ' gelöscht (' || %1 || ')'")
                             .arg(keyDetailsOf(QStringLiteral("OLD"))))),
    };
}

} // namespace

QStringList sentenceStatements()
{
    QStringList statements = {
        QStringLiteral("CREATE TABLE TBVerlauf ("
                       "VerlaufID INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "Zeitpunkt TEXT NOT NULL DEFAULT (datetime('now', 'localtime')), "
                       "Ereignis TEXT COLLATE FOLDTRIM NOT NULL, "
                       "PersID INTEGER, "
                       "SchluesselNr TEXT COLLATE FOLDTRIM, "
                       "BewID INTEGER, "
                       "ZusatzNr TEXT COLLATE FOLDTRIM, "
                       "Von DATE, "
                       "Funktion TEXT COLLATE FOLDTRIM, "
                       "Beschreibung TEXT COLLATE FOLDTRIM)"),
        // The return of a movement, and the history of a person or a key.
        QStringLiteral("CREATE INDEX TBVerlauf_BewID ON TBVerlauf (BewID)"),
        QStringLiteral("CREATE INDEX TBVerlauf_PersID ON TBVerlauf (PersID)"),
        QStringLiteral("CREATE INDEX TBVerlauf_SchluesselNr ON TBVerlauf (SchluesselNr)"),
        // All movements of one key, returned ones too (its history; carrying over a changed number).
        QStringLiteral("CREATE INDEX IF NOT EXISTS TBBewegungen_SchluesselNr ON TBBewegungen (SchluesselNr)"),
    };
    return statements + triggerStatements();
}

} // namespace Journal

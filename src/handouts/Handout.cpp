#include "Handout.h"

#include "core/Blanks.h"
#include "core/Database.h"
#include "core/Sql.h"
#include "core/Texts.h"

namespace {

HandoutDecision refuse(const QString& message, HandoutDecision::Focus focus = HandoutDecision::Focus::None)
{
    HandoutDecision d;
    d.refusal = message;
    d.focus = focus;
    return d;
}

} // namespace

HandoutDecision decideHandout(Database& db, const std::optional<PersEntry>& person, const QString& keyNumber,
                              const QString& typedNumber, const QDate& today)
{
    using Focus = HandoutDecision::Focus;
    if (!person)
        return refuse(GetText(QStringLiteral("Es ist keine Person für die Vergabe ausgewählt"), 154));
    if (keyNumber.isEmpty())
        return refuse(GetText(QStringLiteral("Es ist kein Schlüssel für die Vergabe ausgewählt"), 155));

    const QString k = Sql::sqlText(keyNumber);
    Recordset key = db.openRecordset(
        QStringLiteral("SELECT ZusatzNr, Gesamt FROM TBSchluessel WHERE SchluesselNr = '") + k + QLatin1Char('\''));
    if (key.eof()) {
        // Renumbered or deleted since the list was filled.
        HandoutDecision d = refuse(
            GetText(QStringLiteral("Diesen Schlüssel gibt es nicht mehr. Die Schlüsselliste wird neu geladen."), 170),
            Focus::SchlSuch);
        d.keyGone = true;
        return d;
    }
    const bool numberRequired = key.field(0).toBool();
    const qint64 total = key.field(1).toLongLong(); // as stored, however large
    key.close();

    const QString trimmed = trimBlanks(typedNumber);
    if (numberRequired) {
        if (trimmed.isEmpty())
            return refuse(
                GetText(QStringLiteral("Für die Vergabe dieses Schlüssels muß eine Zusatznummer angegeben werden"),
                        156),
                Focus::ZusatzNr);
        // Stored numbers carry an appended blank; "=" on text ignores it.
        Recordset inUse =
            db.openRecordset(QStringLiteral("SELECT BewID FROM TBBewegungen WHERE Status = 0 AND SchluesselNr = '") +
                             k + QStringLiteral("' AND ZusatzNr = '") + Sql::sqlText(trimmed) + QLatin1Char('\''));
        const bool taken = !inUse.eof();
        inUse.close();
        if (taken)
            return refuse(GetText(QStringLiteral("Diese Zusatznummer wurde bereits verwendet"), 157), Focus::ZusatzNr);
    }

    Recordset out =
        db.openRecordset(QStringLiteral("SELECT Count(BewID) FROM TBBewegungen WHERE Status = 0 AND SchluesselNr = '") +
                         k + QLatin1Char('\''));
    const qint64 copiesOut = out.field(0).toLongLong();
    out.close();
    if (copiesOut >= total)
        return refuse(GetText(QStringLiteral("Es sind keine Schlüssel mehr verfügbar"), 158), Focus::SchlSuch);

    HandoutDecision d;
    d.question = GetText(QStringLiteral("Soll der Person '"), 159) + trimBlanks(person->Name) +
                 GetText(QStringLiteral("' der Schlüssel '"), 160) + keyNumber +
                 (trimmed.isEmpty() ? QString() : QLatin1Char('/') + typedNumber) +
                 GetText(QStringLiteral("' zugeordnet werden?"), 161);
    d.insert = QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) ") +
               QStringLiteral("VALUES(") + QString::number(person->PersID) + QStringLiteral(", '") + k +
               QStringLiteral("', '") + Sql::sqlText(typedNumber) + QStringLiteral(" ', #") + Sql::dateLiteral(today) +
               QStringLiteral("#, 0, null)");
    return d;
}

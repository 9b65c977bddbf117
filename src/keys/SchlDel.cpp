#include "SchlDel.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/RegisterChange.h"
#include "core/Sql.h"
#include "core/Texts.h"

bool SchlDel(const QString& schlNr)
{
    const QString k = Sql::sqlText(schlNr);
    Recordset rs =
        db().openRecordset(QStringLiteral("SELECT BewID FROM TBBEwegungen WHERE Status = 0 AND SchluesselNr = '") + k +
                           QStringLiteral("'"));
    const bool out = !rs.eof();
    rs.close();
    if (out) {
        msgBox(
            GetText(QStringLiteral("Dieser Schlüssel ist noch ausgegeben und kann daher nicht gelöscht werden"), 706),
            Messages::Icon::Exclamation);
        return false;
    }

    // Key row first, then its (returned) movements; together, so a failure leaves neither half gone.
    const QString same = QStringLiteral("SchluesselNr = '") + k + QLatin1Char('\'');
    RegisterChange::make(
        RegisterChange::Kind::SchluesselGeloescht,
        {{QStringLiteral("TBSchluessel"), same}, {QStringLiteral("TBBewegungen"), same}}, [&k] {
            db().execute(QStringLiteral("DELETE * FROM TBSchluessel WHERE SchluesselNr = '") + k + QStringLiteral("'"));
            db().execute(QStringLiteral("DELETE * FROM TBBewegungen WHERE SchluesselNr = '") + k + QStringLiteral("'"));
        });
    return true;
}

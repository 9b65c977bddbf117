#include "PersDel.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/RegisterChange.h"
#include "core/Texts.h"

bool PersDel(qint32 persId)
{
    const QString id = QString::number(persId);
    Recordset held =
        db().openRecordset(QStringLiteral("SELECT BewID FROM TBBewegungen WHERE Status = 0 AND PersonID = ") + id);
    const bool holdsKeys = !held.eof();
    held.close();
    if (holdsKeys) {
        msgBox(GetText(QStringLiteral("Diese Person besitzt noch Schlüssel und kann daher nicht gelöscht werden"), 705),
               Messages::Icon::Exclamation);
        return false;
    }
    RegisterChange::make(
        RegisterChange::Kind::PersonStorniert, {{QStringLiteral("TBPersonen"), "PersID = " + id}},
        [&id] { db().execute(QStringLiteral("UPDATE TBPersonen SET Storniert = true WHERE PersID = ") + id); });
    return true;
}

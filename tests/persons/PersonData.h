#pragma once

#include "core/Sql.h"
#include "support/TestDatabase.h"

// A person in the form the dialog stores: given name and personnel number with their appended blank.
inline qint32 addPerson(TestDatabase& t, const QString& nachname, const QString& vorname = {},
                        const QString& persNr = {}, bool retired = false)
{
    t.exec(
        QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('%1', '%2 ', '%3 ', %4)")
            .arg(Sql::sqlText(nachname), Sql::sqlText(vorname), Sql::sqlText(persNr),
                 retired ? QStringLiteral("True") : QStringLiteral("False")));
    return t.scalar(QStringLiteral("SELECT PersID FROM TBPersonen ORDER BY PersID DESC")).toInt();
}

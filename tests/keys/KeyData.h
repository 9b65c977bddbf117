#pragma once

#include "core/AppState.h"
#include "core/Sql.h"
#include "support/TestDatabase.h"

#include <QStringList>

// Arranging keys and movements, and reading back the statements the program writes.
inline void addKey(TestDatabase& t, const QString& nr, const QString& function, int total = 3)
{
    t.exec(QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('%1', '%2', %3, "
                          "False)")
               .arg(nr, Sql::sqlText(function))
               .arg(total));
}

inline void addMovement(TestDatabase& t, const QString& nr, int status)
{
    t.exec(QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                          "VALUES(1, '%1', ' ', #12/5/26#, %2, null)")
               .arg(nr)
               .arg(status));
}

inline void recordStatements(QStringList& into)
{
    into.clear();
    db().setObserver([&into](const QString& written, const QString&) { into << written; });
}

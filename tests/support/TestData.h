#pragma once

#include "core/AppState.h"
#include "core/Csv.h"
#include "core/Sql.h"
#include "plan/PlanFile.h"
#include "support/TestDatabase.h"

#include <QStringList>

// Persons, keys and movements in the form the dialogs store them (optional texts with their appended
// blank), and the statements the program sends.
inline qint32 addPerson(TestDatabase& t, const QString& nachname, const QString& vorname = {},
                        const QString& persNr = {}, bool retired = false)
{
    t.exec(
        QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('%1', '%2 ', '%3 ', %4)")
            .arg(Sql::sqlText(nachname), Sql::sqlText(vorname), Sql::sqlText(persNr),
                 retired ? QStringLiteral("True") : QStringLiteral("False")));
    return t.scalar(QStringLiteral("SELECT PersID FROM TBPersonen ORDER BY PersID DESC")).toInt();
}

inline void addKey(TestDatabase& t, const QString& nr, const QString& function, int total = 3, bool zusatzNr = false)
{
    t.exec(QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('%1', '%2', %3, "
                          "%4)")
               .arg(nr, Sql::sqlText(function))
               .arg(total)
               .arg(zusatzNr ? QStringLiteral("True") : QStringLiteral("False")));
}

// von as a date literal's m/d/yy.
inline void addMovement(TestDatabase& t, const QString& nr, int status, qint32 person = 1,
                        const QString& von = QStringLiteral("12/5/26"), const QString& zusatzNr = {})
{
    t.exec(QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                          "VALUES(%1, '%2', '%3 ', #%4#, %5, null)")
               .arg(QString::number(person), nr, Sql::sqlText(zusatzNr), von, QString::number(status)));
}

inline void recordStatements(QStringList& into)
{
    into.clear();
    db().setObserver([&into](const QString& written, const QString&) { into << written; });
}

// A locking plan from the lock maker's file as bytes; the test stops when they are no plan.
inline PlanMatrix planOf(const QByteArray& bytes)
{
    QString error;
    const auto rows = Csv::parse(bytes, &error);
    const auto plan = rows ? PlanFile::fromRows(*rows, &error) : std::nullopt;
    if (!plan)
        qFatal("not a plan: %s", qPrintable(error));
    return *plan;
}

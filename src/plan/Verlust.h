#pragma once

#include "Schliessplan.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Database;
class LinePrinter;

// A copy out reported lost: it leaves the copies out as a return does, the key has one copy less (the
// copy no longer exists), and the day is kept in TBVerlust. The loss report tells the lock maker and the
// security office which doors the copy opens and who else holds a key to them.
namespace Verlust {

// Records the loss of the copy out in movement bewId on day, in one transaction. False when the
// movement is not out (returned meanwhile, or gone); then nothing has changed.
bool record(Database& db, qint32 bewId, const QDate& day);

struct Report
{
    QString person; // family name, a blank, given name
    QString persNr;
    QString keyNumber;
    QString zusatzNr;
    QString function;
    QDate out;
    QDate lost;
    QList<Schliessplan::Cylinder> doors; // what the key opens, in the plan's order

    // A copy out, held by someone else, of a key that opens one of those doors.
    struct OtherHolder
    {
        QString person;
        QString persNr;
        QString keyNumber;
        QString zusatzNr;
        QDate out;
        QStringList cylinders; // which of the doors it opens
    };
    QList<OtherHolder> others; // by name, then key and additional number
};

// The report of the loss recorded for movement bewId; nullopt when none is recorded.
std::optional<Report> report(Database& db, qint32 bewId);

// Prints the report for the system anlagenNr and ends the document.
void print(LinePrinter& printer, const Report& report, const QString& anlagenNr);

} // namespace Verlust

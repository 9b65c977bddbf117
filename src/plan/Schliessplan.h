#pragma once

#include "PlanMatrix.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Database;

// The register's locking plan (TBZylinder, TBSchliessung): which key opens which cylinder, and what
// follows from it for the copies out.
namespace Schliessplan {

// The register's plan: every key of the register as a column and the cylinders as rows, both in the
// order of the plan they came from; keys the plan did not name follow in the key list's order.
PlanMatrix stored(Database& db);

// The same without the crossings: the keys and cylinders in that order, every cylinder's keys empty. A
// large plan has millions of crossings; a window that shows a few cylinders at a time reads them with
// keysOf as it needs them.
PlanMatrix outline(Database& db);

// The numbers of the keys that open the cylinder, as the register stores them.
QStringList keysOf(Database& db, const QString& cylinder);

// How many crossings the plan has.
qsizetype crossings(Database& db);

// Whether the register holds a plan: at least one cylinder.
bool hasPlan(Database& db);

// What an import changed, and what it could not take over.
struct ImportReport
{
    int cylinders = 0; // the plan now
    int crossings = 0;
    QStringList cylindersAdded;
    QStringList cylindersRemoved;
    QStringList doorsChanged;   // "Z-001: Büro 1 → Büro 2"
    QStringList crossingsAdded; // of cylinders that were in the plan before: "Z-001: B1"
    QStringList crossingsRemoved;
    int newCylinderCrossings = 0; // of the cylinders added
    QStringList keysCreated;
    QStringList keysRefused; // "b-1 (B1)": numbers the key-number rule would change

    // The report as lines of text in the current language.
    QStringList lines() const;
};

// Makes the plan the register's plan, in one transaction: keys the register lacks are created (total
// 0), cylinders and crossings not in the plan are removed, the others added; a cylinder that stays
// keeps its area and remark. A key number that the key-number rule would change (other than in letter
// case) is not created, and its crossings are left out. Throws SqlError, and then nothing has changed.
ImportReport import(Database& db, const PlanMatrix& plan);

struct Cylinder
{
    QString number;
    QString door;
    QString area;
    QString remark;
};

// The cylinder with this number (case and trailing blanks aside), as stored.
std::optional<Cylinder> cylinder(Database& db, const QString& number);

// A copy out of a key that opens a cylinder.
struct Holder
{
    qint32 persId = 0;
    QString nachname;
    QString vorname;
    QString persNr;
    QString keyNumber;
    QString zusatzNr;
    QDate out;
    qint32 bewId = 0;
};

// Everyone who holds a copy of a key that opens the cylinder, by name, then key and additional number.
QList<Holder> whoCanOpen(Database& db, const QString& cylinder);

// A key that opens the cylinder, with its copies: total, out, and in the safe (total minus out).
struct KeyStock
{
    QString keyNumber;
    QString function;
    qint64 total = 0;
    qint64 out = 0;
    qint64 inSafe() const { return total - out; }
};
QList<KeyStock> keysOpening(Database& db, const QString& cylinder);

// The cylinders the key opens, in the plan's order.
QList<Cylinder> doorsOf(Database& db, const QString& keyNumber);

// Makes the key open the cylinder or not; nothing happens when it already does or does not.
void setCrossing(Database& db, const QString& cylinder, const QString& keyNumber, bool opens);

} // namespace Schliessplan

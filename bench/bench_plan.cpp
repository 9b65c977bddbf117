// The locking plan on the largest site with a plan of 5,000 cylinders over its 30,000 keys (each key opens
// 1 to 40 cylinders, the group keys hundreds, the master keys thousands): who can open one door, the data of
// a loss report for a group key's copy, the import of a lock maker's 2,000 x 1,000 matrix, and the opening
// of the plan's window; each next to the engine's own time for the same statements in the same run.
#include "BenchSite.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/Schema.h"
#include "core/SqlError.h"
#include "plan/PlanFile.h"
#include "plan/Schliessplan.h"
#include "plan/Verlust.h"
#include "plan/window/DlgSchliessplan.h"
#include "plan/window/SchliessplanModel.h"

#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>

namespace {

constexpr int kCylinders = 5000;
constexpr int kMasterKeys = 5;  // open 2,000 to 5,000 cylinders
constexpr int kGroupKeys = 300; // open 100 to 500
constexpr int kMatrixCylinders = 2000;
constexpr int kMatrixKeys = 1000;

void run(Database& db, const char* sql)
{
    if (sqlite3_exec(db.handle(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw SqlError(1, QString::fromUtf8(sqlite3_errmsg(db.handle())), QString::fromUtf8(sql));
}

// The engine alone writes rows of (text, text) through one prepared statement.
void insertPairs(Database& db, const char* sql, const QList<std::pair<QByteArray, QByteArray>>& rows)
{
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db.handle(), sql, -1, &stmt, nullptr);
    for (const auto& [a, b] : rows) {
        sqlite3_bind_text(stmt, 1, a.constData(), int(a.size()), SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, b.constData(), int(b.size()), SQLITE_STATIC);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

QByteArray cylinderName(int i)
{
    return QStringLiteral("Z-%1").arg(i, 5, 10, QLatin1Char('0')).toUtf8();
}

// How many cylinders key k opens: master keys thousands, group keys hundreds, the others 1 to 40.
int reach(QRandomGenerator& random, int k, int cylinders)
{
    if (k < kMasterKeys)
        return int(random.bounded(cylinders * 2 / 5, cylinders + 1));
    if (k < kMasterKeys + kGroupKeys)
        return int(random.bounded(cylinders / 50, cylinders / 10 + 1));
    return int(random.bounded(1, 41));
}

// The plan of the site, written by the engine directly: cylinders, then for each key its cylinders.
void writeSitePlan(Database& db, const QStringList& keys)
{
    QRandomGenerator random(19);
    run(db, "BEGIN");
    QList<std::pair<QByteArray, QByteArray>> cylinders;
    for (int i = 0; i < kCylinders; ++i)
        cylinders.append({cylinderName(i), QStringLiteral("Raum %1.%2").arg(i / 100).arg(i % 100).toUtf8()});
    insertPairs(db, "INSERT INTO TBZylinder (ZylinderNr, Tuer) VALUES (?1, ?2)", cylinders); // in number order
    QList<std::pair<QByteArray, QByteArray>> crossings;
    for (int k = 0; k < keys.size(); ++k) {
        const QByteArray key = keys.at(k).toUtf8();
        const int n = reach(random, k, kCylinders);
        const int start = int(random.bounded(kCylinders));
        for (int i = 0; i < n; ++i)
            crossings.append({cylinderName((start + i) % kCylinders), key});
    }
    insertPairs(db, "INSERT OR IGNORE INTO TBSchliessung (ZylinderNr, SchluesselNr) VALUES (?1, ?2)", crossings);
    run(db, "COMMIT");
}

// A lock maker's matrix of the first kMatrixKeys keys over kMatrixCylinders cylinders of its own.
QByteArray matrixCsv(const QStringList& keys, int* crossings)
{
    QRandomGenerator random(20);
    QList<QSet<int>> opens(kMatrixCylinders);
    *crossings = 0;
    for (int k = 0; k < kMatrixKeys; ++k) {
        const int n = reach(random, k, kMatrixCylinders);
        const int start = int(random.bounded(kMatrixCylinders));
        for (int i = 0; i < n; ++i)
            opens[(start + i) % kMatrixCylinders].insert(k);
    }
    QByteArray csv = "Zylinder;Tür";
    for (int k = 0; k < kMatrixKeys; ++k)
        csv += ';' + keys.at(k).toUtf8();
    csv += "\r\n";
    for (int c = 0; c < kMatrixCylinders; ++c) {
        csv += "M-" + QByteArray::number(c) + ";Tür " + QByteArray::number(c);
        for (int k = 0; k < kMatrixKeys; ++k)
            csv += opens[c].contains(k) ? ";X" : ";";
        csv += "\r\n";
        *crossings += int(opens[c].size());
    }
    return csv;
}


} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")).toUtf8());
    QApplication application(argc, argv);
    QTextStream out(stdout);
    try {
        // A copy of the site, since the plan is written into it.
        QTemporaryDir dir;
        Database& db = openSiteCopy(dir.path());

        QStringList keys;
        for (Recordset rs = db.openRecordset(QStringLiteral("SELECT SchluesselNr FROM TBSchluessel ORDER BY "
                                                            "SchluesselNr"));
             !rs.eof(); rs.moveNext())
            keys << rs.text(0);
        writeSitePlan(db, keys);

        // Who can open the door that the most copies out open.
        Recordset busiest = db.openRecordset(QStringLiteral(
            "SELECT s.ZylinderNr FROM TBSchliessung s INNER JOIN TBBewegungen b ON b.SchluesselNr = s.SchluesselNr "
            "WHERE b.Status = 0 GROUP BY s.ZylinderNr ORDER BY count(*) DESC LIMIT 1"));
        const QString door = busiest.text(0);
        busiest.close();
        const QString whoSql =
            QStringLiteral("SELECT p.PersID, p.Nachname, p.Vorname, p.PersNr, b.SchluesselNr, b.ZusatzNr, b.Von, "
                           "b.BewID FROM (TBSchliessung s INNER JOIN TBBewegungen b ON b.SchluesselNr = "
                           "s.SchluesselNr) INNER JOIN TBPersonen p ON p.PersID = b.PersonID WHERE s.ZylinderNr = '") +
            door +
            QStringLiteral("' AND b.Status = 0 ORDER BY p.Nachname, p.Vorname, p.PersID, b.SchluesselNr, "
                           "b.ZusatzNr");
        int holders = 0;
        const auto [who, whoEngine] = bestPairMs([&] { holders = int(Schliessplan::whoCanOpen(db, door).size()); },
                                                 [&] { engineRead(db, whoSql); });
        printGoal(QStringLiteral("who can open ") + door, holders, who, whoEngine, 20);

        // A loss report for a copy of the group key with the most copies out.
        Recordset group = db.openRecordset(
            QStringLiteral("SELECT b.BewID, b.SchluesselNr FROM TBBewegungen b WHERE b.Status = 0 AND b.SchluesselNr "
                           "IN ('%1') ORDER BY b.BewID LIMIT 1")
                .arg(keys.mid(kMasterKeys, kGroupKeys).join(QStringLiteral("', '"))));
        const qint32 bewId = group.field(0).toInt();
        const QString groupKey = group.text(1);
        group.close();
        db.execute(QStringLiteral("INSERT INTO TBVerlust (BewID, Tag) VALUES(%1, #12/6/26#)").arg(bewId));
        const QString k = QStringLiteral("'") + groupKey + QStringLiteral("'");
        int others = 0;
        const auto [loss, lossEngine] = bestPairMs(
            [&] { others = int(Verlust::report(db, bewId)->others.size()); },
            [&] {
                engineRead(db, QStringLiteral("SELECT * FROM TBVerlust v INNER JOIN TBBewegungen b ON b.BewID = "
                                              "v.BewID WHERE v.BewID = %1")
                                   .arg(bewId));
                engineRead(db, QStringLiteral("SELECT z.* FROM TBSchliessung s INNER JOIN TBZylinder z ON z.ZylinderNr "
                                              "= s.ZylinderNr WHERE s.SchluesselNr = ") +
                                   k);
                const QString keysToTheDoors =
                    QStringLiteral("FROM TBSchliessung l INNER JOIN TBSchliessung o ON o.ZylinderNr = l.ZylinderNr "
                                   "WHERE l.SchluesselNr = ") +
                    k;
                engineRead(db, QStringLiteral("SELECT o.SchluesselNr, o.ZylinderNr ") + keysToTheDoors);
                engineRead(db, QStringLiteral("SELECT p.Nachname, b.SchluesselNr FROM TBBewegungen b INNER JOIN "
                                              "TBPersonen p ON p.PersID = b.PersonID WHERE b.Status = 0 AND "
                                              "b.SchluesselNr IN (SELECT o.SchluesselNr ") +
                                   keysToTheDoors + QLatin1Char(')'));
            });
        printGoal(QStringLiteral("loss report data, group key ") + groupKey, others, loss, lossEngine, 100);

        // The plan's window: read and shown.
        int cells = 0;
        const double window = bestMs(
            [&] {
                DlgSchliessplan dialog;
                dialog.load();
                dialog.show();
                QApplication::processEvents();
                cells = dialog.plan->rowCount();
            },
            3);
        const double windowEngine = bestMs([&] {
            engineRead(db, QStringLiteral("SELECT k.SchluesselNr, p.Spalte FROM TBSchluessel k LEFT JOIN "
                                          "TBPlanSchluessel p ON p.SchluesselNr = k.SchluesselNr"));
            engineRead(db, QStringLiteral("SELECT * FROM TBZylinder ORDER BY Reihe, ZylinderNr"));
            engineRead(db, QStringLiteral("SELECT ZylinderNr, SchluesselNr FROM TBSchliessung"));
        });
        printGoal(QStringLiteral("plan window opens (5,000 x 30,000)"), cells, window, windowEngine, 300);

        // The lock maker's matrix, imported twice: first replacing the site's plan, then unchanged.
        int crossings = 0;
        const QString csv = dir.filePath(QStringLiteral("matrix.csv"));
        QFile file(csv);
        file.open(QIODevice::WriteOnly);
        file.write(matrixCsv(keys, &crossings));
        file.close();
        const auto importOnce = [&] {
            QString error;
            Schliessplan::import(db, *PlanFile::read(csv, &error));
        };
        const double first = bestMs(importOnce, 1);
        const double again = bestMs(importOnce, 3);
        // The engine writing the same cylinders and crossings into emptied tables.
        QList<std::pair<QByteArray, QByteArray>> cylinderRows;
        QList<std::pair<QByteArray, QByteArray>> crossingRows;
        for (Recordset rs = db.openRecordset(QStringLiteral("SELECT ZylinderNr, Tuer FROM TBZylinder")); !rs.eof();
             rs.moveNext())
            cylinderRows.append({rs.text(0).toUtf8(), rs.text(1).toUtf8()});
        for (Recordset rs = db.openRecordset(QStringLiteral("SELECT ZylinderNr, SchluesselNr FROM TBSchliessung"));
             !rs.eof(); rs.moveNext())
            crossingRows.append({rs.text(0).toUtf8(), rs.text(1).toUtf8()});
        const double importEngine = bestMs(
            [&] {
                run(db, "BEGIN");
                run(db, "DELETE FROM TBSchliessung");
                run(db, "DELETE FROM TBZylinder");
                insertPairs(db, "INSERT INTO TBZylinder (ZylinderNr, Tuer) VALUES (?1, ?2)", cylinderRows);
                insertPairs(db, "INSERT INTO TBSchliessung (ZylinderNr, SchluesselNr) VALUES (?1, ?2)", crossingRows);
                run(db, "ROLLBACK");
            },
            3);
        printGoal(QStringLiteral("import 2,000 x 1,000, replacing"), crossings, first, importEngine, 2000);
        printGoal(QStringLiteral("import 2,000 x 1,000, unchanged"), crossings, again, importEngine, 2000);
        app().DB.reset();
    } catch (const SqlError& e) {
        out << errorText(e);
        return 1;
    }
    return 0;
}

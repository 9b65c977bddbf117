// The locking plan on the largest site. A lock maker's 2,000 x 1,000 matrix imported into the register
// without a plan, again unchanged, and then in a changed version. Then a plan of 5,000 cylinders over all
// 30,000 keys (each key opens 1 to 40 cylinders, the group keys hundreds, the master keys thousands): who
// can open one door, the data of a loss report for a group key's copy, the opening of the plan's window,
// and at last the matrix replacing that plan. Each next to the engine's own time for the same statements,
// or for writing the same rows, on the same register in the same run; changes are kept for undo as the
// program keeps them.
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
#include "undo/Undo.h"

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

using Pairs = QList<std::pair<QByteArray, QByteArray>>;

// The engine alone runs a statement for rows of (text, text), prepared once.
void forEachPair(Database& db, const char* sql, const Pairs& rows)
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

// The plan of the site in place of the plan before, written by the engine directly: cylinders, then for
// each key its cylinders.
void writeSitePlan(Database& db, const QStringList& keys)
{
    QRandomGenerator random(19);
    run(db, "BEGIN");
    run(db, "DELETE FROM TBSchliessung");
    run(db, "DELETE FROM TBZylinder");
    run(db, "DELETE FROM TBPlanSchluessel");
    Pairs cylinders;
    for (int i = 0; i < kCylinders; ++i)
        cylinders.append({cylinderName(i), QStringLiteral("Raum %1.%2").arg(i / 100).arg(i % 100).toUtf8()});
    forEachPair(db, "INSERT INTO TBZylinder (ZylinderNr, Tuer) VALUES (?1, ?2)", cylinders); // in number order
    Pairs crossings;
    for (int k = 0; k < keys.size(); ++k) {
        const QByteArray key = keys.at(k).toUtf8();
        const int n = reach(random, k, kCylinders);
        const int start = int(random.bounded(kCylinders));
        for (int i = 0; i < n; ++i)
            crossings.append({cylinderName((start + i) % kCylinders), key});
    }
    forEachPair(db, "INSERT OR IGNORE INTO TBSchliessung (ZylinderNr, SchluesselNr) VALUES (?1, ?2)", crossings);
    run(db, "COMMIT");
}

// A lock maker's matrix of the first kMatrixKeys keys: for each of its cylinders by number, the columns of
// the keys that open it, ascending.
using Matrix = QMap<int, QList<int>>;

Matrix lockMakersMatrix()
{
    QRandomGenerator random(20);
    QList<QSet<int>> opens(kMatrixCylinders);
    for (int k = 0; k < kMatrixKeys; ++k) {
        const int n = reach(random, k, kMatrixCylinders);
        const int start = int(random.bounded(kMatrixCylinders));
        for (int i = 0; i < n; ++i)
            opens[(start + i) % kMatrixCylinders].insert(k);
    }
    Matrix matrix;
    for (int c = 0; c < kMatrixCylinders; ++c) {
        QList<int> keys(opens.at(c).begin(), opens.at(c).end());
        std::sort(keys.begin(), keys.end());
        matrix.insert(c, keys);
    }
    return matrix;
}

// Its next version: on every 20th cylinder one key less and another one more, 20 cylinders gone and 20 new.
Matrix nextVersion(Matrix matrix)
{
    for (int c = 0; c < kMatrixCylinders; c += 20) {
        QList<int>& keys = matrix[c];
        if (!keys.isEmpty())
            keys.removeFirst();
        if (const int more = (c * 7) % kMatrixKeys; !keys.contains(more)) {
            keys << more;
            std::sort(keys.begin(), keys.end());
        }
    }
    for (int c = 0; c < 20; ++c) {
        matrix.remove(c * 97 + 1);
        matrix.insert(kMatrixCylinders + c, {c, c + 100, c + 200});
    }
    return matrix;
}

QByteArray matrixCylinder(const Matrix::const_iterator& cylinder)
{
    return "M-" + QByteArray::number(cylinder.key());
}

QByteArray matrixDoor(const Matrix::const_iterator& cylinder)
{
    return "Tür " + QByteArray::number(cylinder.key());
}

QByteArray csvOf(const Matrix& matrix, const QStringList& keys)
{
    QByteArray csv = "Zylinder;Tür";
    for (int k = 0; k < kMatrixKeys; ++k)
        csv += ';' + keys.at(k).toUtf8();
    csv += "\r\n";
    for (auto cylinder = matrix.cbegin(); cylinder != matrix.cend(); ++cylinder) {
        csv += matrixCylinder(cylinder) + ';' + matrixDoor(cylinder);
        for (int k = 0; k < kMatrixKeys; ++k)
            csv += std::binary_search(cylinder->begin(), cylinder->end(), k) ? ";X" : ";";
        csv += "\r\n";
    }
    return csv;
}

// The matrix as the rows of the register's tables: cylinders with their doors, and crossings.
std::pair<Pairs, Pairs> rowsOf(const Matrix& matrix, const QStringList& keys)
{
    Pairs cylinders;
    Pairs crossings;
    for (auto cylinder = matrix.cbegin(); cylinder != matrix.cend(); ++cylinder) {
        cylinders.append({matrixCylinder(cylinder), matrixDoor(cylinder)});
        for (const int k : *cylinder)
            crossings.append({matrixCylinder(cylinder), keys.at(k).toUtf8()});
    }
    return {cylinders, crossings};
}

// The rows of a that b has not.
Pairs minus(const Pairs& a, const Pairs& b)
{
    const QSet<std::pair<QByteArray, QByteArray>> other(b.begin(), b.end());
    Pairs rest;
    for (const auto& row : a) {
        if (!other.contains(row))
            rest << row;
    }
    return rest;
}

// The engine writing the matrix's rows into the plan's tables as they are: the crossings of the plan
// first removed, and its cylinders if replace; then what the matrix adds.
void engineWrite(Database& db, const std::pair<Pairs, Pairs>& rows, bool replace)
{
    if (replace) {
        run(db, "DELETE FROM TBSchliessung");
        run(db, "DELETE FROM TBZylinder");
    }
    forEachPair(db, "INSERT INTO TBZylinder (ZylinderNr, Tuer) VALUES (?1, ?2)", rows.first);
    forEachPair(db, "INSERT INTO TBSchliessung (ZylinderNr, SchluesselNr) VALUES (?1, ?2)", rows.second);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")).toUtf8());
    QApplication application(argc, argv);
    QTextStream out(stdout);
    try {
        // A copy of the site, since the plan is written into it; every change kept for undo.
        QTemporaryDir dir;
        Database& db = openSiteCopy(dir.path());
        Undo::keepChanges();

        QStringList keys;
        for (Recordset rs = db.openRecordset(QStringLiteral("SELECT SchluesselNr FROM TBSchluessel ORDER BY "
                                                            "SchluesselNr"));
             !rs.eof(); rs.moveNext())
            keys << rs.text(0);

        // The lock maker's matrix into the register without a plan, then again, then its next version. The
        // engine's figure for each: the same rows written into the same tables (journal included), taken
        // back; for the unchanged one, reading what the import compares.
        const Matrix first = lockMakersMatrix();
        const Matrix next = nextVersion(first);
        const auto csvFile = [&](const Matrix& matrix, const QString& name) {
            const QString path = dir.filePath(name);
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(csvOf(matrix, keys));
            return path;
        };
        const QString firstCsv = csvFile(first, QStringLiteral("first.csv"));
        const QString nextCsv = csvFile(next, QStringLiteral("next.csv"));
        const auto importOnce = [&](const QString& csv) {
            QString error;
            return Schliessplan::import(db, *PlanFile::read(csv, &error));
        };
        const auto engineOnce = [&](const std::function<void()>& write) {
            return bestMs(
                [&] {
                    run(db, "BEGIN");
                    write();
                    run(db, "ROLLBACK");
                },
                1);
        };
        const auto firstRows = rowsOf(first, keys);
        const double intoEmptyEngine = engineOnce([&] { engineWrite(db, firstRows, false); });
        int crossings = 0;
        const double intoEmpty = bestMs([&] { crossings = importOnce(firstCsv).crossings; }, 1);
        printGoal(QStringLiteral("import 2,000 x 1,000, first"), crossings, intoEmpty, intoEmptyEngine, 2000);

        const double unchanged = bestMs([&] { importOnce(firstCsv); }, 3);
        const double unchangedEngine = bestMs([&] {
            engineRead(db, QStringLiteral("SELECT SchluesselNr FROM TBSchluessel"));
            engineRead(db, QStringLiteral("SELECT * FROM TBZylinder"));
            engineRead(db, QStringLiteral("SELECT ZylinderNr, SchluesselNr FROM TBSchliessung"));
            engineRead(db, QStringLiteral("SELECT SchluesselNr, Spalte FROM TBPlanSchluessel"));
        });
        printGoal(QStringLiteral("import 2,000 x 1,000, unchanged"), crossings, unchanged, unchangedEngine, 2000);

        const auto nextRows = rowsOf(next, keys);
        const Pairs crossingsGone = minus(firstRows.second, nextRows.second);
        const Pairs cylindersGone = minus(firstRows.first, nextRows.first);
        const double changedEngine = engineOnce([&] {
            forEachPair(db, "INSERT INTO TBZylinder (ZylinderNr, Tuer) VALUES (?1, ?2)",
                        minus(nextRows.first, firstRows.first));
            forEachPair(db, "INSERT INTO TBSchliessung (ZylinderNr, SchluesselNr) VALUES (?1, ?2)",
                        minus(nextRows.second, firstRows.second));
            forEachPair(db, "DELETE FROM TBSchliessung WHERE ZylinderNr = ?1 AND SchluesselNr = ?2", crossingsGone);
            forEachPair(db, "DELETE FROM TBZylinder WHERE ZylinderNr = ?1 AND Tuer = ?2", cylindersGone);
        });
        const double changed = bestMs([&] { crossings = importOnce(nextCsv).crossings; }, 1);
        printGoal(QStringLiteral("import 2,000 x 1,000, next version"), crossings, changed, changedEngine, 2000);

        // The site's plan in place of the matrix.
        writeSitePlan(db, keys);

        // Who can open the door that the most copies out open.
        Recordset busiest = db.openRecordset(QStringLiteral(
            "SELECT s.ZylinderNr FROM TBSchliessung s INNER JOIN TBBewegungen b ON b.SchluesselNr = s.SchluesselNr "
            "WHERE b.Status = 0 GROUP BY s.ZylinderNr ORDER BY count(*) DESC LIMIT 1"));
        const QString door = busiest.text(0);
        busiest.close();
        const QString whoSql =
            QStringLiteral("SELECT p.PersID, p.Nachname, p.Vorname, p.PersNr, b.SchluesselNr, b.ZusatzNr, b.Von, "
                           "b.BewID, b.Bis FROM TBBewegungen b INNER JOIN TBPersonen p ON p.PersID = b.PersonID "
                           "WHERE b.Status = 0 AND b.SchluesselNr IN (SELECT s.SchluesselNr FROM TBSchliessung s "
                           "WHERE s.ZylinderNr = '") +
            door + QStringLiteral("') ORDER BY p.Nachname, p.Vorname, p.PersID, b.SchluesselNr, b.ZusatzNr");
        int holders = 0;
        const auto [who, whoEngine] = bestPairMs([&] { holders = int(Schliessplan::whoCanOpen(db, door).size()); },
                                                 [&] { engineRead(db, whoSql); });
        printGoal(QStringLiteral("who can open ") + door, holders, who, whoEngine, 20);

        // A loss report for a copy of the group key with the most copies out.
        Recordset group = db.openRecordset(
            QStringLiteral("SELECT b.BewID, b.SchluesselNr, b.PersonID FROM TBBewegungen b WHERE b.Status = 0 AND "
                           "b.SchluesselNr IN ('%1') ORDER BY b.BewID LIMIT 1")
                .arg(keys.mid(kMasterKeys, kGroupKeys).join(QStringLiteral("', '"))));
        const qint32 bewId = group.field(0).toInt();
        const QString groupKey = group.text(1);
        const QString holder = group.text(2);
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
                engineRead(db, QStringLiteral("SELECT o.ZylinderNr, o.SchluesselNr ") + keysToTheDoors);
                engineRead(db, QStringLiteral("SELECT p.Nachname, p.Vorname, p.PersNr, b.SchluesselNr, b.ZusatzNr, "
                                              "b.Von, b.Bis FROM TBBewegungen b INNER JOIN TBPersonen p ON p.PersID = "
                                              "b.PersonID WHERE b.Status = 0 AND b.PersonID <> ") +
                                   holder + QStringLiteral(" AND b.SchluesselNr IN (SELECT o.SchluesselNr ") +
                                   keysToTheDoors +
                                   QStringLiteral(") ORDER BY p.Nachname, p.Vorname, p.PersID, b.SchluesselNr, "
                                                  "b.ZusatzNr, b.BewID"));
            });
        printGoal(QStringLiteral("loss report data, group key ") + groupKey, others, loss, lossEngine, 100);

        // The plan's window: read and shown. It reads the keys, the cylinders, the number of crossings and
        // the crossings of the rows in view.
        int rows = 0;
        const double window = bestMs(
            [&] {
                DlgSchliessplan dialog;
                dialog.load();
                dialog.show();
                QApplication::processEvents();
                rows = dialog.plan->rowCount();
            },
            3);
        const double windowEngine = bestMs([&] {
            engineRead(db, QStringLiteral("SELECT k.SchluesselNr, p.Spalte FROM TBSchluessel k LEFT JOIN "
                                          "TBPlanSchluessel p ON p.SchluesselNr = k.SchluesselNr"));
            engineRead(db, QStringLiteral("SELECT * FROM TBZylinder ORDER BY Reihe, ZylinderNr"));
            engineRead(db, QStringLiteral("SELECT Count(*) FROM TBSchliessung"));
            engineRead(db, QStringLiteral("SELECT SchluesselNr FROM TBSchliessung WHERE ZylinderNr IN (SELECT "
                                          "ZylinderNr FROM TBZylinder ORDER BY Reihe, ZylinderNr LIMIT 40)"));
        });
        printGoal(QStringLiteral("plan window opens (5,000 x 30,000)"), rows, window, windowEngine, 300);

        // The matrix replacing the site's plan: 5,000 cylinders and their crossings removed.
        const double replacingEngine = engineOnce([&] { engineWrite(db, firstRows, true); });
        const double replacing = bestMs([&] { crossings = importOnce(firstCsv).crossings; }, 1);
        printRatio(QStringLiteral("import 2,000 x 1,000, replacing the plan"), crossings, replacing, replacingEngine,
                   1.5);
        Undo::forget();
        app().DB.reset();
    } catch (const SqlError& e) {
        out << errorText(e);
        return 1;
    }
    return 0;
}

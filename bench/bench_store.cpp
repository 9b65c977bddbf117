// Times the store on a register of realistic size: the handout list's three-table join and the person
// and key searches with LIKE. Usage: bench_store [movements] (default 100000).
#include "BenchSite.h"
#include "core/Database.h"
#include "core/SqlError.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>

namespace {

QTextStream out(stdout);

// Prints the best time of the action (bestMs) and the rows it read.
void time(const QString& label, const std::function<int()>& action)
{
    int rows = 0;
    const double best = bestMs([&] { rows = action(); });
    out << QStringLiteral("%1  %2 rows  %3 ms\n").arg(label, -48).arg(rows, 7).arg(best, 8, 'f', 1);
    out.flush();
}

} // namespace

int main(int argc, char** argv)
{
    const int movements = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const int persons = std::max(1, movements / 20);
    const int keys = std::max(1, movements / 50);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
    try {
        Database::create(path);
        auto db = Database::open(path);

        QElapsedTimer fill;
        fill.start();
        {
            Database::Transaction t(*db);
            // Generated inside the engine: the point is the reads, not the statement round trips.
            db->execute(QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) "
                                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                       "SELECT CASE i % 4 WHEN 0 THEN 'Müller' WHEN 1 THEN 'Schmidt' WHEN 2 THEN "
                                       "'Öztürk' ELSE 'Meier' END || i, "
                                       "'Vorname' || i || ' ', i || ' ', i % 10 = 0 FROM n")
                            .arg(persons));
            db->execute(QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) "
                                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                       "SELECT 'K' || i, 'Raum ' || i || ' ', 100, i % 2 FROM n")
                            .arg(keys));
            db->execute(QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                       "SELECT 1 + i % %2, 'K' || (1 + i % %3), (i % 7) || ' ', date('2020-01-01', '+' "
                                       "|| (i % 2500) || ' days'), "
                                       "CASE WHEN i % 10 = 0 THEN 1 ELSE 0 END, null FROM n")
                            .arg(movements)
                            .arg(persons)
                            .arg(keys));
            t.commit();
        }
        out << QStringLiteral("%1 persons, %2 keys, %3 movements written in %4 ms\n")
                   .arg(persons)
                   .arg(keys)
                   .arg(movements)
                   .arg(fill.elapsed());

        const QString join = QStringLiteral(
            "SELECT Von, TBSchluessel.SchluesselNr, TBBewegungen.ZusatzNr, Funktion, Nachname, Vorname, BewID FROM "
            "(TBBewegungen INNER JOIN TBSchluessel ON TBBewegungen.SchluesselNr = TBSchluessel.SchluesselNr) "
            "INNER JOIN TBPersonen ON TBBewegungen.PersonID = TBPersonen.PersID WHERE Status = 0 %1 ORDER BY Von "
            "DESC, TBSchluessel.SchluesselNr ASC, TBBewegungen.ZusatzNr ASC");
        time(QStringLiteral("handout list, all"), [&] { return programRead(*db, join.arg(QString()), 7); });
        time(QStringLiteral("handout list, filtered by dates, key, name"), [&] {
            return programRead(*db,
                               join.arg(QStringLiteral("AND  Von >= #1/1/21# AND Von <= #12/31/22# AND "
                                                       "TBSchluessel.SchluesselNr LIKE 'k1*' AND Nachname LIKE 'mü*'")),
                               7);
        });
        time(QStringLiteral("person search LIKE '*ll*'"), [&] {
            return programRead(
                *db,
                QStringLiteral("SELECT * FROM TBPersonen WHERE NOT Storniert AND (Nachname LIKE '*ll*' OR "
                               "PersNr LIKE '*ll*') ORDER BY Nachname ASC, Vorname ASC"),
                5);
        });
        time(QStringLiteral("movements LIKE '*[3-5]*' OR '*1#*' (full scan)"), [&] {
            return programRead(*db,
                               QStringLiteral("SELECT BewID FROM TBBewegungen WHERE ZusatzNr LIKE '*[3-5]*' OR "
                                              "SchluesselNr LIKE '*1#*'"),
                               1);
        });
        time(QStringLiteral("stock check of one key"), [&] {
            return programRead(
                *db, QStringLiteral("SELECT Count(BewID) FROM TBBewegungen WHERE Status = 0 AND SchluesselNr = 'K7'"),
                1);
        });
    } catch (const SqlError& e) {
        out << errorText(e);
        return 1;
    }
    return 0;
}

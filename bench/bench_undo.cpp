// Undo on the largest site: the deletion of a key with 10,000 returned movements, kept for undo, taken back
// and made again, each next to the engine's own time for the same rows in the same run.
#include "BenchSite.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/Schema.h"
#include "core/SqlError.h"
#include "keys/SchlDel.h"
#include "undo/Undo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>

namespace {

constexpr int kMovements = 10000;

double timedMs(const std::function<void()>& action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return timer.nsecsElapsed() / 1e6;
}

// The engine alone, through the sqlite3 C API, in one transaction as the program's change runs.
void engine(Database& db, const QString& statements)
{
    const QByteArray sql = (QStringLiteral("BEGIN; ") + statements + QStringLiteral(" COMMIT;")).toUtf8();
    char* error = nullptr;
    if (sqlite3_exec(db.handle(), sql.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error);
        sqlite3_free(error);
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw SqlError(SQLITE_ERROR, text, statements);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")).toUtf8());
    QApplication application(argc, argv);
    try {
        // A copy of the site, since keys are deleted.
        QTemporaryDir dir;
        Database& db = openSiteCopy(dir.path());

        db.executeNative(QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES "
                                        "('UNDO1', 'Bench ', 3, 1)"));
        db.executeNative(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                        "INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                                        "SELECT 1 + i % 1000, 'UNDO1', i || ' ', date('2016-01-01', '+' || (i / 3) || "
                                        "' days'), 1, NULL FROM n")
                             .arg(kMovements));

        Undo::keepChanges();
        const double kept = timedMs([] { SchlDel(QStringLiteral("UNDO1")); });
        double undo = -1;
        double redo = -1;
        for (int run = 0; run < 5; ++run) {
            const double u = timedMs([] { Undo::undo(); });
            const double r = timedMs([] { Undo::redo(); });
            undo = undo < 0 ? u : std::min(undo, u);
            redo = redo < 0 ? r : std::min(redo, r);
        }

        // The engine with the same rows: kept aside while they are there, then deleted and put back.
        Undo::undo();
        db.executeNative(QStringLiteral("CREATE TEMP TABLE SavedKey AS SELECT rowid AS r, * FROM TBSchluessel WHERE "
                                        "SchluesselNr = 'UNDO1'"));
        db.executeNative(QStringLiteral("CREATE TEMP TABLE SavedMovements AS SELECT * FROM TBBewegungen WHERE "
                                        "SchluesselNr = 'UNDO1'"));
        const QString remove = QStringLiteral("DELETE FROM TBSchluessel WHERE SchluesselNr = 'UNDO1'; DELETE FROM "
                                              "TBBewegungen WHERE SchluesselNr = 'UNDO1';");
        const QString putBack = QStringLiteral(
            "INSERT INTO TBSystem (Eintrag) VALUES ('Ruecknahme'); INSERT INTO TBSchluessel (rowid, SchluesselNr, "
            "Funktion, Gesamt, ZusatzNr) SELECT r, SchluesselNr, Funktion, Gesamt, ZusatzNr FROM SavedKey; INSERT "
            "INTO TBBewegungen SELECT * FROM SavedMovements; DELETE FROM TBSystem WHERE Eintrag = 'Ruecknahme';");
        double engineRemove = -1;
        double enginePutBack = -1;
        for (int run = 0; run < 5; ++run) {
            const double d = timedMs([&] { engine(db, remove); });
            const double p = timedMs([&] { engine(db, putBack); });
            engineRemove = engineRemove < 0 ? d : std::min(engineRemove, d);
            enginePutBack = enginePutBack < 0 ? p : std::min(enginePutBack, p);
        }

        const int rows = kMovements + 1;
        printGoal(QStringLiteral("key deletion, kept for undo"), rows, kept, engineRemove, 200);
        printGoal(QStringLiteral("undo of the key deletion"), rows, undo, enginePutBack, 200);
        printGoal(QStringLiteral("redo of the key deletion"), rows, redo, engineRemove, 200);
        Undo::forget();
        app().DB.reset();
    } catch (const SqlError& e) {
        QTextStream(stdout) << errorText(e);
        return 1;
    }
    return 0;
}

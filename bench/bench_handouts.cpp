// The handout list on the largest site: the refill of 100,000 lines, a header-click sort of them, and one
// handout with its checks, each next to the engine's own time for the same work in the same run.
#include "BenchSite.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Schema.h"
#include "core/SqlError.h"
#include "handouts/Handout.h"
#include "handouts/HandoutList.h"
#include "handouts/HandoutPane.h"
#include "handouts/VergabenModel.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>

namespace {

// The engine alone: the three checks and the insert of one handout through the sqlite3 C API.
void engineHandout(Database& db, const QString& key, int person)
{
    const QString k = QStringLiteral("'") + key + QStringLiteral("'");
    engineRead(db, QStringLiteral("SELECT ZusatzNr, Gesamt FROM TBSchluessel WHERE SchluesselNr = ") + k);
    engineRead(db, QStringLiteral("SELECT BewID FROM TBBewegungen WHERE Status = 0 AND SchluesselNr = ") + k +
                       QStringLiteral(" AND ZusatzNr = '1'"));
    engineRead(db, QStringLiteral("SELECT Count(BewID) FROM TBBewegungen WHERE Status = 0 AND SchluesselNr = ") + k);
    const QByteArray insert = QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, "
                                             "Bis) VALUES(%1, %2, '1 ', '2026-12-06', 0, null)")
                                  .arg(person)
                                  .arg(k)
                                  .toUtf8();
    sqlite3_exec(db.handle(), insert.constData(), nullptr, nullptr, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")).toUtf8());
    QApplication application(argc, argv);
    QTextStream out(stdout);
    try {
        // A copy of the site, since handouts are written.
        QTemporaryDir dir;
        Database& db = openSiteCopy(dir.path());

        HandoutPane main;
        const QString all = HandoutList::query(QString());
        int rows = 0;
        const double engineList = bestMs([&] { rows = engineRead(db, all); });
        const double refill = bestMs([&] { main.RefreshVergaben(false); });
        printRatio(QStringLiteral("RefreshVergaben(false)"), rows, refill, engineList, 1.3);

        // A sort by the person column, and by the date, against the engine ordering the same rows.
        const QString byPerson =
            all.left(all.indexOf(QStringLiteral(" ORDER BY"))) + QStringLiteral(" ORDER BY Nachname ASC, Vorname ASC");
        const double enginePerson = bestMs([&] { engineRead(db, byPerson); });
        const double sortPerson = bestMs([&] { main.sprVergaben_Click(0, VergabenModel::Person); });
        printGoal(QStringLiteral("header-click sort, person"), main.vergaben->maxRows(), sortPerson, enginePerson, 100);
        const double sortDate = bestMs([&] { main.sprVergaben_Click(0, VergabenModel::Datum); });
        printGoal(QStringLiteral("header-click sort, date"), main.vergaben->maxRows(), sortDate, enginePerson, 100);

        // One handout of a key with numbered copies: the three checks and the insert, refill left out.
        Recordset key = db.openRecordset(
            QStringLiteral("SELECT SchluesselNr FROM TBSchluessel WHERE ZusatzNr = True ORDER BY Gesamt DESC"));
        const QString keyNumber = key.eof() ? QStringLiteral("K1") : key.field(0).toString();
        key.close();
        int number = 100000;
        const double handout = bestMs([&] {
            const HandoutDecision d = decideHandout(db, PersEntry{1, QStringLiteral("Bench")}, keyNumber,
                                                    QString::number(++number), Clock::today());
            if (!d.refused())
                db.execute(d.insert, true);
        });
        const double engineOne = bestMs([&] { engineHandout(db, keyNumber, 1); });
        printGoal(QStringLiteral("one handout, checks and insert"), 1, handout, engineOne, 10);
        app().DB.reset();
    } catch (const SqlError& e) {
        out << errorText(e);
        return 1;
    }
    return 0;
}

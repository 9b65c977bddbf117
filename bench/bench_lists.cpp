// The person and key lists of the main window on the largest site: each refill next to the engine's own
// time for the same query in the same run.
#include "BenchSite.h"
#include "core/AppState.h"
#include "core/SqlError.h"
#include "core/Startup.h"
#include "keys/KeyPane.h"
#include "persons/PersonPane.h"
#include "ui/FrmMain.h"
#include "widgets/TabListWidget.h"

#include <QApplication>
#include <QListWidget>
#include <QTextStream>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    try {
        app().databasePath = benchSitePath();
        QApplication application(argc, argv);
        if (!OpenDb())
            return 1;
        FrmMain window;
        window.show();
        QApplication::processEvents();

        // The refill handlers against the engine; then the paint that shows the refilled list, which
        // costs the same for ten rows as for thirty thousand.
        const auto [keys, keysEngine] =
            bestPairMs([&window] { window.keys->pbSchlSuch_Click(); },
                       [] { engineRead(db(), QStringLiteral("SELECT * FROM TBSchluessel ")); });
        printRatio(QStringLiteral("key refill, all keys"), window.keys->lstSchluessel->count(), keys, keysEngine, 2.0);

        const auto [persons, personsEngine] = bestPairMs(
            [&window] { window.persons->pbPersSuch_Click(); },
            [] {
                engineRead(db(), QStringLiteral("SELECT * FROM TBPersonen WHERE NOT Storniert ORDER BY Nachname ASC, "
                                                "Vorname ASC"));
            });
        printRatio(QStringLiteral("person refill, all persons"), window.persons->lstPerson->count(), persons,
                   personsEngine, 2.0);

        const double paint = bestMs([&window] { window.repaint(); });
        QTextStream(stdout)
            << QStringLiteral("%1 %2 ms\n").arg(QStringLiteral("paint of the main window"), -51).arg(paint, 8, 'f', 1);
    } catch (const SqlError& e) {
        QTextStream(stdout) << errorText(e);
        return 1;
    }
    return 0;
}

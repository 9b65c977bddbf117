#include "BasMain.h"

#include "CopyProgress.h"
#include "FrmMain.h"
#include "FrmSplash.h"
#include "QtMessages.h"
#include "StartLists.h"
#include "core/AppState.h"
#include "core/Backup.h"
#include "core/RegisterLocation.h"
#include "core/Startup.h"
#include "widgets/DesignedFont.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

int Main(QApplication& application)
{
    QtMessages messages;
    Messages::setInstance(&messages);

    application.setFont(designedFont());

    app().Sprache = QStringLiteral("DE");
    // The register opens at once; the day's copy runs in the background, shown by a window of its own, and
    // while the user reads the start window, the main window's lists are read (messages wait for it).
    openDbAhead();
    CopyProgress copyProgress;
    StartLists startLists;
    FrmSplash::showModal();
    std::optional<MainLists> lists = startLists.take();
    if (startLists.openFailed())
        closeRegister(); // OpenDb opens it again and reports the refusal
    const bool missing = app().offerNewDatabase && !QFileInfo::exists(app().databasePath);
    if ((missing && !RegisterLocation::offerToCreate(app().databasePath)) || !OpenDb()) {
        closeRegister();
        Messages::setInstance(nullptr);
        return 1;
    }

    // The main window first: the copy goes on once it is painted (a change resumes it at once).
    Backup* copy = dailyCopy();
    if (copy)
        copy->hold();
    int exitCode = 0;
    {
        FrmMain frmMain; // its first showing runs the load handler
        if (lists)
            frmMain.setStartLists(std::move(*lists));
        frmMain.show();
        if (copy)
            QTimer::singleShot(500, &frmMain, [copy] { copy->resume(); });
        exitCode = application.exec();
        closeRegister(); // a copy being checked is waited for, shown over the main window
    }
    Messages::setInstance(nullptr);
    return exitCode;
}

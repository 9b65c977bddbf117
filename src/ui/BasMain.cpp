#include "BasMain.h"

#include "FrmMain.h"
#include "FrmSplash.h"
#include "QtMessages.h"
#include "QtTexts.h"
#include "StartLists.h"
#include "core/AppState.h"
#include "core/RegisterLocation.h"
#include "core/Startup.h"
#include "undo/Undo.h"
#include "widgets/DesignedFont.h"
#include "widgets/WaitCursor.h"

#include <QApplication>
#include <QFileInfo>

int Main(QApplication& application)
{
    QtMessages messages;
    Messages::setInstance(&messages);

    application.setFont(designedFont());

    app().Sprache = QStringLiteral("DE");
    // While the user reads the start window, the main window's lists are read (messages wait for it).
    Undo::keepChanges(); // the system number asked for at the open is the first change
    openDbAhead();
    StartLists startLists;
    loadQtTexts();
    FrmSplash::showModal();
    loadQtTexts(); // in the language chosen there
    std::optional<MainLists> lists;
    {
        WaitCursor wait; // when the answer came before the reading was done
        lists = startLists.take();
    }
    const bool missing = app().offerNewDatabase && !QFileInfo::exists(app().databasePath);
    if ((missing && !RegisterLocation::offerToCreate(app().databasePath)) || !OpenDb()) {
        Messages::setInstance(nullptr);
        return 1;
    }

    int exitCode = 0;
    {
        FrmMain frmMain; // its first showing runs the load handler
        if (lists)
            frmMain.setStartLists(std::move(*lists));
        frmMain.show();
        exitCode = application.exec();
    }
    Undo::forget();
    Messages::setInstance(nullptr);
    app().DB.reset();
    return exitCode;
}

#include "BasMain.h"

#include "CopyProgress.h"
#include "DlgUebernahme.h"
#include "FrmMain.h"
#include "FrmSplash.h"
#include "QtMessages.h"
#include "QtTexts.h"
#include "StartLists.h"
#include "core/AppState.h"
#include "core/Backup.h"
#include "core/Messages.h"
#include "core/RegisterLocation.h"
#include "core/SqlError.h"
#include "core/Startup.h"
#include "core/Texts.h"
#include "jet/JetImport.h"
#include "undo/Undo.h"
#include "widgets/DesignedFont.h"
#include "widgets/WaitCursor.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

// The Jet file's name once a register has taken its place: TBDB.MDB.jet, or TBDB.MDB.2.jet when taken.
QString asideName(const QString& path)
{
    QString aside = path + QStringLiteral(".jet");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".%1.jet").arg(n);
    return aside;
}

} // namespace

bool carryOverJetFile(const QString& path)
{
    const QString aside = asideName(path);
    const QString question =
        GetText(QStringLiteral("Die Datenbank %1 ist eine Datei im Format der Jet-Datenbank. Soll ihr Inhalt in eine "
                               "neue Datenbank dieses Programms übernommen werden?"),
                740)
            .arg(QDir::toNativeSeparators(path)) +
        QStringLiteral("\r\n\r\n") +
        GetText(QStringLiteral("Die Jet-Datei selbst wird nicht verändert; sie heißt danach %1."), 754)
            .arg(QDir::toNativeSeparators(aside));
    if (msgBox(question, Messages::Icon::Question, Messages::Buttons::YesNo) != Messages::Answer::Yes)
        return false;
    try {
        std::optional<JetImport::Report> report;
        {
            WaitCursor wait;
            report = JetImport::carryOver(path, path, aside);
        }
        DlgUebernahme::open(report->lines());
        return true;
    } catch (const JetError& e) {
        msgBox(JetImport::refusal(path, e), Messages::Icon::Exclamation);
    } catch (const SqlError& e) {
        msgBox(GetText(QStringLiteral("Fehler beim Öffnen der Datenbank:"), 704) + QStringLiteral("\r\n") + e.text(),
               Messages::Icon::Exclamation);
    }
    return false;
}

int Main(QApplication& application)
{
    QtMessages messages;
    Messages::setInstance(&messages);

    application.setFont(designedFont());

    app().Sprache = QStringLiteral("DE");
    // A register kept by the Jet engine is carried over after the start window, in the chosen language;
    // the engine never opens it.
    const bool jet = JetFile::hasJetHeader(app().databasePath);
    // The register opens at once; the day's copy runs in the background, shown by a window of its own, and
    // while the user reads the start window, the main window's lists are read (messages wait for it).
    Undo::keepChanges(); // the system number asked for at the open is the first change
    if (!jet)
        openDbAhead();
    CopyProgress copyProgress;
    StartLists startLists;
    loadQtTexts();
    FrmSplash::showModal();
    loadQtTexts(); // in the language chosen there
    std::optional<MainLists> lists = startLists.take();
    if (startLists.openFailed())
        closeRegister(); // OpenDb opens it again and reports the refusal
    const bool missing = app().offerNewDatabase && !QFileInfo::exists(app().databasePath);
    if ((missing && !RegisterLocation::offerToCreate(app().databasePath)) ||
        (jet && !carryOverJetFile(app().databasePath)) || !OpenDb()) {
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
    Undo::forget();
    Messages::setInstance(nullptr);
    return exitCode;
}

#include "Startup.h"

#include "AppState.h"
#include "Backup.h"
#include "Blanks.h"
#include "Clock.h"
#include "CollationVersion.h"
#include "Messages.h"
#include "RegisterChange.h"
#include "Schema.h"
#include "Sql.h"
#include "SqlError.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QThread>

namespace {

void traceStatements(Database& database)
{
    database.setObserver([](const QString& written, const QString& executed) {
        QTextStream err(stderr);
        err << "SQL  " << written << '\n';
        if (executed != written)
            err << " -> " << executed << '\n';
        err.flush();
    });
}

QString askSystemNumber()
{
    QString number;
    do {
        number = Messages::instance()
                     .input(GetText(QStringLiteral("Anlagennummer eingeben:"), 708), kProgramTitle)
                     .value_or(QString());
    } while (isBlank(number));
    return number;
}

// Replaces the header row: the system number as typed, today's date, an empty template.
void writeHeaderRow(Database& database, const QString& systemNumber)
{
    // Both statements land together, so a refused insert keeps the old row.
    Database::Transaction transaction(database);
    database.execute(QStringLiteral("DELETE * FROM TBKopfDaten"));
    database.execute(QStringLiteral("INSERT INTO TBKopfDaten (Erstellt, Quelle, AnlagenNr, Version, Stempel, ") +
                     QStringLiteral("Bestätigung) VALUES(#") + Sql::dateLiteral(Clock::today()) +
                     QStringLiteral("#, 'by user', '") + Sql::sqlText(systemNumber) + QStringLiteral("', 1, '', '')"));
    transaction.commit();
}

std::unique_ptr<Backup> g_copy;

bool onWindowThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

// Until the copy has reached phase, shown on the windows' thread; other threads just wait.
void waitForCopy(Backup::Phase phase, const QString& text)
{
    Backup* copy = g_copy.get();
    const auto reached = [copy, phase] { return copy->phase() >= phase; };
    if (reached())
        return;
    copy->resume();
    if (onWindowThread()) {
        Messages::instance().wait(
            text, [copy] { return copy->phase() == Backup::Phase::Copying ? copy->progress() : -1; }, reached);
    } else if (phase == Backup::Phase::Checking) {
        copy->waitUntilCopied();
    } else {
        copy->waitUntilDone();
    }
}

// The write gate: nothing changes the register before its copy of the day is whole.
void holdWritesUntilCopied()
{
    waitForCopy(
        Backup::Phase::Checking,
        GetText(QStringLiteral("Die Änderung wartet, bis die Sicherungskopie des Tages vollständig ist."), 1743));
}

} // namespace

void openRegisterAhead(bool holdCopy)
{
    AppState& state = app();
    state.DB = Database::open(state.databasePath);
    if (state.traceSql)
        traceStatements(*state.DB);
    if (state.backupAtStart) {
        g_copy = Backup::start(state.DB->handle(), state.databasePath, Clock::today(), holdCopy);
        if (g_copy) {
            state.DB->setWriteGate(holdWritesUntilCopied);
            // Dropped without closeRegister(), the connection still stops its copy first.
            state.DB->setBeforeClose([copy = g_copy.get()] {
                if (g_copy.get() == copy)
                    g_copy.reset();
            });
        }
    }
}

void completeOpen()
{
    Schema::upgrade(*app().DB);
    CollationVersion::refresh(*app().DB);
}

void openRegister()
{
    openRegisterAhead();
    completeOpen();
}

Backup* dailyCopy()
{
    return g_copy.get();
}

void reportBackupFailure()
{
    if (g_copy) {
        if (const std::optional<QString> failure = g_copy->takeFailure())
            Backup::report(*failure);
    }
}

void finishDailyCopy()
{
    if (!g_copy)
        return;
    waitForCopy(Backup::Phase::Done, GetText(QStringLiteral("Die Sicherungskopie des Tages wird geprüft."), 1742));
    reportBackupFailure();
}

void closeRegister()
{
    if (g_copy && g_copy->phase() != Backup::Phase::Copying)
        finishDailyCopy();
    g_copy.reset();
    app().DB.reset();
}

void openDbAhead()
{
    try {
        openRegisterAhead(true);
    } catch (const SqlError&) {
        closeRegister(); // OpenDb tries again and reports it
    }
}

bool OpenDb()
{
    AppState& state = app();
    try {
        if (!state.DB)
            openRegister();
        reportBackupFailure();

        Recordset header = state.DB->openRecordset(QStringLiteral("SELECT AnlagenNr FROM TBKopfdaten"));
        state.AnlagenNr = header.eof() ? QString() : header.field(0).toString();
        header.close();

        if (isBlank(state.AnlagenNr)) {
            state.AnlagenNr = askSystemNumber();
            RegisterChange::make(RegisterChange::Kind::Anlagennummer,
                                 {{QStringLiteral("TBKopfdaten"), QStringLiteral("1")}},
                                 [&state] { writeHeaderRow(*state.DB, state.AnlagenNr); });
        }
        return true;
    } catch (const SqlError& e) {
        msgBox(GetText(QStringLiteral("Fehler beim Öffnen der Datenbank:"), 704) + QStringLiteral("\r\n") + e.text(),
               Messages::Icon::Exclamation);
        closeRegister();
        return false;
    }
}

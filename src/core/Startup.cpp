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

#include <QTextStream>

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

// Why the day's copy could not be made, until it can be told (the start window may still be up).
std::optional<QString> g_backupFailure;

} // namespace

void openRegister()
{
    AppState& state = app();
    state.DB = Database::open(state.databasePath);
    if (state.backupAtStart)
        g_backupFailure = Backup::daily(state.DB->handle(), state.databasePath, Clock::today());
    if (state.traceSql)
        traceStatements(*state.DB);
    Schema::upgrade(*state.DB);
    CollationVersion::refresh(*state.DB);
}

void reportBackupFailure()
{
    if (g_backupFailure) {
        Backup::report(*g_backupFailure);
        g_backupFailure.reset();
    }
}

void openDbAhead()
{
    try {
        openRegister();
    } catch (const SqlError&) {
        app().DB.reset(); // OpenDb tries again and reports it
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
        state.DB.reset();
        return false;
    }
}

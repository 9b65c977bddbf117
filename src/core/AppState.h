#pragma once

#include "Database.h"

#include <QString>
#include <memory>

// The program's description and title, the same in every language.
inline const QString kProgramDescription = QStringLiteral("Brannwerk MERIDIAN Clavaro");
inline const QString kProgramTitle = QStringLiteral("Clavaro");

// What every window shares for the whole run.
struct AppState
{
    QString Sprache = QStringLiteral("DE");   // "DE", "EN" or "FR"
    std::unique_ptr<Database> DB;             // empty before the open and after a failed one
    QString AnlagenNr;                        // system number, blanks kept
    QString databasePath;                     // file that the open uses
    bool offerNewDatabase = false;            // databasePath is the default place: a missing file may be made
    QString printToPdfDir;                    // when set, printouts go to PDF files here
    bool traceSql = false;                    // print every statement to stderr
    bool backupAtStart = true;                // the daily copy of the register at the open
};

AppState& app();

// The open database; throws SqlError when none is open.
Database& db();

QString programVersion();   // "1.0.0"

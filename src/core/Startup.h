#pragma once

// Opens app().databasePath for exclusive use and makes sure the header row holds a system number,
// asking for one when it is missing or blank. False after a failure the user has already been shown.
// A register opened ahead (openDbAhead) is not opened again.
bool OpenDb();

// Opens app().databasePath for exclusive use as every start does: the day's copy (app().backupAtStart),
// the statement trace, the schema upgrade, the indexes rebuilt when the text order changed. Throws
// SqlError. A failed copy never stops the open: it is kept for reportBackupFailure.
void openRegister();

// Tells the failure of the day's copy of the last openRegister, once.
void reportBackupFailure();

// Opens the register before the start window, so that the main window's lists can be read while it is
// shown. Says nothing: a failure leaves app().DB empty, and OpenDb tries again and reports it.
void openDbAhead();

#pragma once

class Backup;

// Opens app().databasePath for exclusive use and makes sure the header row holds a system number,
// asking for one when it is missing or blank. False after a failure the user has already been shown.
// A register opened ahead (openDbAhead) is not opened again.
bool OpenDb();

// Opens app().databasePath for exclusive use as every start does, in two steps. The first opens it and
// starts the day's copy (app().backupAtStart) in the background; from then on every write waits until
// the copy holds the whole register, shown as a wait through Messages on the thread of the windows.
// The second brings the register up to this program's version (schema upgrade, indexes rebuilt when
// the text order changed), which writes only when there is something to do. Both throw SqlError.
void openRegisterAhead(bool holdCopy = false); // the copy held until a write or dailyCopy()->resume()
void completeOpen();
void openRegister(); // both

// The day's copy while it runs and until its failure has been told; nullptr when there is none.
Backup* dailyCopy();

// Tells the failure of the day's copy once, when it has ended.
void reportBackupFailure();

// Waits until the day's copy has been made and checked, and tells its failure.
void finishDailyCopy();

// Releases the register. A copy still copying is stopped (nothing has been written since the start,
// so the next start copies the same); one being checked is waited for.
void closeRegister();

// Opens the register before the start window (openRegisterAhead), so that the main window's lists
// can be read while it is shown; the day's copy is held until they are read. Says nothing: a failure
// leaves app().DB empty, and OpenDb tries again and reports it.
void openDbAhead();

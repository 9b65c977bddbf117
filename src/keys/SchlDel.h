#pragma once

#include <QString>

// Deletes a key together with its movements, unless a copy of it is out (message 706).
// True when the key was deleted. Shared by the main window and the key dialog.
bool SchlDel(const QString& schlNr);

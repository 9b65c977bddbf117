#pragma once

class QApplication;
class QString;

// The program's run: German first, the start window, the register file, then the main window.
// Returns the exit code.
int Main(QApplication& application);

// At the start on a register file that is a Jet file: asks whether to carry it over into a new register.
// Yes sets the Jet file aside under a name that says what it is (TBDB.MDB.jet), writes the new register in
// its place, shows the report and returns true. No, or a file that cannot be carried over (the user is
// told why), returns false with the file left as it was.
bool carryOverJetFile(const QString& path);

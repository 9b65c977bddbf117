#pragma once

class QApplication;

// The program's run: German first, the start window, the register file, then the main window.
// Returns the exit code.
int Main(QApplication& application);

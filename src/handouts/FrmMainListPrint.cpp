// The main window's printout of the handout list.
#include "ui/FrmMain.h"

void FrmMain::pbListeDrucken_Click() {}

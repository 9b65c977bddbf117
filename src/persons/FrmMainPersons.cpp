// The main window's person frame: list, search, new, edit, retire.
#include "ui/FrmMain.h"

void FrmMain::pbPersSuch_Click() {}
void FrmMain::pbPersNeu_Click() {}
void FrmMain::pbPersEdit_Click() {}
void FrmMain::pbPersDel_Click() {}

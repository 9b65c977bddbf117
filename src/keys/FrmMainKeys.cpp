// The main window's key frame: list, search, new, edit, delete.
#include "ui/FrmMain.h"

void FrmMain::pbSchlSuch_Click() {}
void FrmMain::pbSchlNeu_Click() {}
void FrmMain::pbSchlEdit_Click() {}
void FrmMain::pbSchlDel_Click() {}
QString FrmMain::selectedKeyNumber() const { return {}; }

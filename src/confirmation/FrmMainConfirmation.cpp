// The main window's confirmation buttons: print one confirmation, edit the template.
#include "DlgFormular.h"
#include "ui/FrmMain.h"

void FrmMain::pbBestaetigung_Click() {}

void FrmMain::pbFormular_Click()
{
    DlgFormular::open(this);
}

// The main window's handout grid and the actions on it.
#include "ui/FrmMain.h"

void FrmMain::RefreshVergaben(bool) {}
void FrmMain::pbVergabe_Click() {}
void FrmMain::pbRueckgabe_Click() {}
void FrmMain::pbFilter_Click()
{
    RefreshVergaben(true);
}

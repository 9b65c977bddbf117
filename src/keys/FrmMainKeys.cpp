// The main window's key frame: list, search, new, edit, delete.
#include "DlgSchluessel.h"
#include "KeyList.h"
#include "SchlDel.h"
#include "ui/FrmMain.h"
#include "ui/TabListWidget.h"

#include <QLineEdit>

void FrmMain::pbSchlSuch_Click()
{
    KeyList::fill(lstSchluessel, dfSchlSuch->text());
}

void FrmMain::pbSchlNeu_Click()
{
    DlgSchluessel::open(this, QString());
    pbSchlSuch_Click();
}

void FrmMain::pbSchlEdit_Click()
{
    const QString schlNr = selectedKeyNumber();
    if (schlNr.isEmpty())
        return;
    DlgSchluessel::open(this, schlNr);
    pbSchlSuch_Click();
}

void FrmMain::pbSchlDel_Click()
{
    const QString schlNr = selectedKeyNumber();
    if (schlNr.isEmpty())
        return;
    SchlDel(schlNr);
    pbSchlSuch_Click(); // whatever the result
}

QString FrmMain::selectedKeyNumber() const
{
    const QList<QListWidgetItem*> selected = lstSchluessel->selectedItems();
    return selected.isEmpty() ? QString() : KeyList::keyNumberOf(selected.first()->text());
}

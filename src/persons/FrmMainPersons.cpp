// The main window's person frame: list, search, new, edit, retire.
#include "DlgPerson.h"
#include "PersDel.h"
#include "PersonList.h"
#include "core/AppState.h"
#include "ui/FrmMain.h"
#include "ui/ListRows.h"
#include "ui/WaitCursor.h"

#include <QLineEdit>
#include <QListWidget>

void FrmMain::pbPersSuch_Click()
{
    WaitCursor wait;
    // Read first, so that the list and its entries always belong together, even after a refused query.
    showPersons(PersonList::read(db(), dfPersSuch->text(), persListe.size()));
}

void FrmMain::showPersons(PersonList::Rows rows)
{
    persListe = std::move(rows.entries);
    setListRows(lstPerson, rows.lines); // tens of thousands of lines in one step, none selected
}

void FrmMain::pbPersNeu_Click()
{
    {
        DlgPerson dialog(this);
        dialog.Init(-1);
    }
    pbPersSuch_Click();
}

std::optional<PersEntry> FrmMain::selectedPerson() const
{
    const QList<QListWidgetItem*> selected = lstPerson->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const int line = lstPerson->row(selected.first());
    if (line < 0 || line >= persListe.size() - 1)
        return std::nullopt;
    return persListe.at(line);
}

void FrmMain::pbPersEdit_Click()
{
    const std::optional<PersEntry> person = selectedPerson();
    if (!person)
        return;
    {
        DlgPerson dialog(this);
        dialog.Init(person->PersID);
    }
    pbPersSuch_Click();
}

void FrmMain::pbPersDel_Click()
{
    const std::optional<PersEntry> person = selectedPerson();
    if (!person)
        return;
    PersDel(person->PersID);
    pbPersSuch_Click();
}

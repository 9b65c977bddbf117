#include "PersonPane.h"

#include "DlgPerson.h"
#include "PersDel.h"
#include "core/AppState.h"
#include "core/Texts.h"
#include "widgets/ConnectClick.h"
#include "widgets/ListRows.h"
#include "widgets/SelectAllText.h"
#include "widgets/Twips.h"
#include "widgets/WaitCursor.h"
#include "widgets/WrapButton.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

PersonPane::PersonPane(QWidget* parent) : SearchFrame(parent)
{
    setObjectName(QStringLiteral("frPerson"));
    resize(tw(4575), tw(3375));
    Label1 = placeControl<QLabel>(this, "Label1", 120, 360, 2535, 255);
    dfPersSuch = placeControl<QLineEdit>(this, "dfPersSuch", 120, 600, 2655, 285);
    lstPerson = placeControl<QListWidget>(this, "lstPerson", 120, 1080, 2655, 2100);
    pbPersSuch = placeControl<WrapButton>(this, "pbPersSuch", 2880, 600, 1455, 255);
    pbPersNeu = placeControl<WrapButton>(this, "pbPersNeu", 2880, 1080, 1455, 375);
    pbPersEdit = placeControl<WrapButton>(this, "pbPersEdit", 2880, 1560, 1455, 375);
    pbPersDel = placeControl<WrapButton>(this, "pbPersDel", 2880, 2040, 1455, 375);
    keepControlsPlain();

    lstPerson->setUniformItemSizes(true); // one line of one font each: no need to measure 40,000 of them
    listLinesCut(lstPerson);
    selectAllOnFocus(dfPersSuch);

    connectClick(pbPersSuch, this, &PersonPane::pbPersSuch_Click);
    connectClick(pbPersNeu, this, &PersonPane::pbPersNeu_Click);
    connectClick(pbPersEdit, this, &PersonPane::pbPersEdit_Click);
    connectClick(pbPersDel, this, &PersonPane::pbPersDel_Click);
}

void PersonPane::setTexts()
{
    setTitle(GetText(QStringLiteral("PERSON"), 101));
    Label1->setText(GetText(QStringLiteral("Name oder Personalnummer:"), 108));
    pbPersSuch->setText(GetText(QStringLiteral("Suchen"), 103));
    pbPersNeu->setText(GetText(QStringLiteral("Neu"), 104));
    pbPersEdit->setText(GetText(QStringLiteral("Ändern"), 105));
    pbPersDel->setText(GetText(QStringLiteral("Löschen"), 106));
}

void PersonPane::pbPersSuch_Click()
{
    WaitCursor wait;
    // Read first, so that the list and its entries always belong together, even after a refused query.
    showPersons(PersonList::read(db(), dfPersSuch->text(), persListe.size()));
}

void PersonPane::showPersons(PersonList::Rows rows)
{
    persListe = std::move(rows.entries);
    setListRows(lstPerson, rows.lines); // tens of thousands of lines in one step, none selected
}

void PersonPane::pbPersNeu_Click()
{
    {
        DlgPerson dialog(this);
        dialog.Init(-1);
    }
    pbPersSuch_Click();
}

std::optional<PersEntry> PersonPane::selectedPerson() const
{
    const QList<QListWidgetItem*> selected = lstPerson->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const int line = lstPerson->row(selected.first());
    if (line < 0 || line >= persListe.size() - 1)
        return std::nullopt;
    return persListe.at(line);
}

void PersonPane::pbPersEdit_Click()
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

void PersonPane::pbPersDel_Click()
{
    const std::optional<PersEntry> person = selectedPerson();
    if (!person)
        return;
    PersDel(person->PersID);
    pbPersSuch_Click();
}

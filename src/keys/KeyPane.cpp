#include "KeyPane.h"

#include "DlgSchluessel.h"
#include "KeyList.h"
#include "SchlDel.h"
#include "core/Texts.h"
#include "widgets/ConnectClick.h"
#include "widgets/ListRows.h"
#include "widgets/SelectAllText.h"
#include "widgets/TabListWidget.h"
#include "widgets/Twips.h"
#include "widgets/WrapButton.h"

#include <QLabel>
#include <QLineEdit>

KeyPane::KeyPane(QWidget* parent) : SearchFrame(parent)
{
    setObjectName(QStringLiteral("frSchlüssel"));
    resize(tw(4575), tw(3375));
    Label2 = placeControl<QLabel>(this, "Label2", 120, 360, 2535, 255);
    dfSchlSuch = placeControl<QLineEdit>(this, "dfSchlSuch", 120, 600, 2655, 285);
    lstSchluessel = placeControl<TabListWidget>(this, "lstSchlüssel", 120, 1080, 2655, 2100);
    pbSchlSuch = placeControl<WrapButton>(this, "pbSchlSuch", 2880, 600, 1455, 255);
    pbSchlNeu = placeControl<WrapButton>(this, "pbSchlNeu", 2880, 1080, 1455, 375);
    pbSchlEdit = placeControl<WrapButton>(this, "pbSchlEdit", 2880, 1560, 1455, 375);
    pbSchlDel = placeControl<WrapButton>(this, "pbSchlDel", 2880, 2040, 1455, 375);
    keepControlsPlain();

    lstSchluessel->setUniformItemSizes(true);
    listLinesCut(lstSchluessel);
    lstSchluessel->setSortingEnabled(true);
    selectAllOnFocus(dfSchlSuch);

    connectClick(pbSchlSuch, this, &KeyPane::pbSchlSuch_Click);
    connectClick(pbSchlNeu, this, &KeyPane::pbSchlNeu_Click);
    connectClick(pbSchlEdit, this, &KeyPane::pbSchlEdit_Click);
    connectClick(pbSchlDel, this, &KeyPane::pbSchlDel_Click);
}

void KeyPane::setTexts()
{
    setTitle(GetText(QStringLiteral("SCHLÜSSEL"), 102));
    Label2->setText(GetText(QStringLiteral("Nummer oder Funktion:"), 122));
    pbSchlSuch->setText(GetText(QStringLiteral("Suchen"), 103));
    pbSchlNeu->setText(GetText(QStringLiteral("Neu"), 104));
    pbSchlEdit->setText(GetText(QStringLiteral("Ändern"), 105));
    pbSchlDel->setText(GetText(QStringLiteral("Löschen"), 106));
}

void KeyPane::pbSchlSuch_Click()
{
    KeyList::fill(lstSchluessel, dfSchlSuch->text());
}

void KeyPane::showKeys(Utf8Rows rows)
{
    lstSchluessel->setRows(std::move(rows));
}

void KeyPane::pbSchlNeu_Click()
{
    DlgSchluessel::open(this, QString());
    pbSchlSuch_Click();
}

void KeyPane::pbSchlEdit_Click()
{
    const QString schlNr = selectedKeyNumber();
    if (schlNr.isEmpty())
        return;
    DlgSchluessel::open(this, schlNr);
    pbSchlSuch_Click();
}

void KeyPane::pbSchlDel_Click()
{
    const QString schlNr = selectedKeyNumber();
    if (schlNr.isEmpty())
        return;
    SchlDel(schlNr);
    pbSchlSuch_Click(); // whatever the result
}

QString KeyPane::selectedKeyNumber() const
{
    const QList<QListWidgetItem*> selected = lstSchluessel->selectedItems();
    return selected.isEmpty() ? QString() : KeyList::keyNumberOf(selected.first()->text());
}

QStringList KeyPane::keyNumbers() const
{
    QStringList numbers;
    for (int i = 0; i < lstSchluessel->count(); ++i)
        numbers << KeyList::keyNumberOf(lstSchluessel->item(i)->text());
    return numbers;
}

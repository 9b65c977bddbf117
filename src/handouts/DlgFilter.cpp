#include "DlgFilter.h"

#include "core/Clock.h"
#include "core/Messages.h"
#include "core/Texts.h"
#include "widgets/ConnectClick.h"
#include "widgets/DialogButtons.h"
#include "widgets/DialogRunner.h"
#include "widgets/SelectAllText.h"
#include "widgets/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

DlgFilter::DlgFilter(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgFilter"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(tw(5460), tw(1635));

    Label1 = placeControl<QLabel>(this, "Label1", 120, 120, 1500, 255);
    dfVonDatum = placeControl<QLineEdit>(this, "dfVonDatum", 1680, 120, 2175, 285);
    Label2 = placeControl<QLabel>(this, "Label2", 120, 480, 1500, 255);
    dfBisDatum = placeControl<QLineEdit>(this, "dfBisDatum", 1680, 480, 2175, 285);
    Label3 = placeControl<QLabel>(this, "Label3", 120, 840, 1500, 255);
    dfSchlNr = placeControl<QLineEdit>(this, "dfSchlNr", 1680, 840, 2175, 285);
    Label4 = placeControl<QLabel>(this, "Label4", 120, 1200, 1500, 255);
    dfName = placeControl<QLineEdit>(this, "dfName", 1680, 1200, 2175, 285);
    pbOK = placeControl<QPushButton>(this, "pbOK", 4080, 240, 1215, 375);
    pbCancel = placeControl<QPushButton>(this, "pbCancel", 4080, 960, 1215, 375);

    setDialogDefault(this, pbOK);
    for (QLineEdit* field : {dfVonDatum, dfBisDatum, dfSchlNr, dfName})
        selectAllOnFocus(field);

    // The focus starts on OK; Tab goes through the four fields to Abbrechen.
    setTabOrder(pbOK, dfVonDatum);
    setTabOrder(dfVonDatum, dfBisDatum);
    setTabOrder(dfBisDatum, dfSchlNr);
    setTabOrder(dfSchlNr, dfName);
    setTabOrder(dfName, pbCancel);
    pbOK->setFocus();

    connectClick(pbOK, this, &DlgFilter::pbOK_Click);
    connectClick(pbCancel, this, &DlgFilter::pbCancel_Click);

    setTexts();
}

void DlgFilter::setTexts()
{
    setWindowTitle(GetText(QStringLiteral("Vergabeliste filtern"), 200));
    Label1->setText(GetText(QStringLiteral("Von Datum:"), 201));
    Label2->setText(GetText(QStringLiteral("Bis Datum:"), 202));
    Label3->setText(GetText(QStringLiteral("Schlüsselnummer:"), 203));
    Label4->setText(GetText(QStringLiteral("Person Name:"), 204));
    pbOK->setText(GetText(QStringLiteral("OK"), 205));
    pbCancel->setText(GetText(QStringLiteral("Abbrechen"), 206));
}

void DlgFilter::pbOK_Click()
{
    const auto checked =
        HandoutFilter::check(dfVonDatum->text(), dfBisDatum->text(), dfSchlNr->text(), dfName->text(), Clock::today());
    if (const auto* refusal = std::get_if<HandoutFilter::Refusal>(&checked)) {
        msgBox(refusal->message, Messages::Icon::Information);
        // Back to the field, its text selected for retyping; the dialog stays open.
        QLineEdit* field = refusal->field == HandoutFilter::Refusal::Field::VonDatum ? dfVonDatum : dfBisDatum;
        field->setFocus();
        SelectAllText(field);
        return;
    }
    filter = std::get<HandoutFilter>(checked);
    fltResponse = true;
    accept();
}

void DlgFilter::pbCancel_Click()
{
    reject();
}

void DlgFilter::reject()
{
    fltResponse = false;
    QDialog::reject();
}

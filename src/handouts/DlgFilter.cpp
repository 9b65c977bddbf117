#include "DlgFilter.h"

#include "core/Blanks.h"
#include "core/Clock.h"
#include "core/DateText.h"
#include "core/Messages.h"
#include "core/Sql.h"
#include "core/Texts.h"
#include "ui/ConnectClick.h"
#include "ui/DialogButtons.h"
#include "ui/DialogRunner.h"
#include "ui/SelectAllText.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

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

void DlgFilter::open(QWidget* parent)
{
    DlgFilter dialog(parent);
    DialogRunner::run(dialog);
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

DlgFilter::DateField DlgFilter::readDate(const QLineEdit* field)
{
    if (isBlank(field->text()))
        return {};
    const std::optional<QDate> day = DateText::parse(field->text(), Clock::today());
    return {day.has_value(), day};
}

void DlgFilter::refuse(const QString& message, QLineEdit* field)
{
    msgBox(message, Messages::Icon::Information);
    // Back to the field, its text selected for retyping.
    field->setFocus();
    SelectAllText(field);
}

void DlgFilter::pbOK_Click()
{
    // A date field gives no bound when blank, else a valid day in the user's form; the dialog stays
    // open on anything else. A date that passed is kept even when a later check refuses.
    const DateField von = readDate(dfVonDatum);
    if (!von.valid) {
        refuse(GetText(QStringLiteral("'Von Datum' enthält einen ungültigen Wert"), 250), dfVonDatum);
        return;
    }
    fltVonDatum = von.day ? Sql::dateLiteral(*von.day) : QString();
    const DateField bis = readDate(dfBisDatum);
    if (!bis.valid) {
        refuse(GetText(QStringLiteral("'Bis Datum' enthält einen ungültigen Wert"), 251), dfBisDatum);
        return;
    }
    fltBisDatum = bis.day ? Sql::dateLiteral(*bis.day) : QString();
    if (von.day && bis.day && *bis.day < *von.day) {
        refuse(GetText(QStringLiteral("Das 'Bis-Datum' darf nicht vor dem 'Von-Datum' liegen"), 252), dfVonDatum);
        return;
    }
    fltSchluessel = trimBlanks(dfSchlNr->text());
    fltPerson = trimBlanks(dfName->text());
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

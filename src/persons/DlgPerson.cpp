#include "DlgPerson.h"

#include "PersDel.h"
#include "PersonText.h"
#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Guard.h"
#include "core/Messages.h"
#include "core/RegisterChange.h"
#include "core/Sql.h"
#include "core/Texts.h"
#include "widgets/ConnectClick.h"
#include "widgets/DialogButtons.h"
#include "widgets/DialogRunner.h"
#include "widgets/SelectAllText.h"
#include "widgets/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

DlgPerson::DlgPerson(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgPerson"));
    setModal(true);
    setFixedSize(tw(6030), tw(2070));

    Label1 = placeControl<QLabel>(this, "Label1", 120, 120, 1815, 255);
    dfNachname = placeControl<QLineEdit>(this, "dfNachname", 2160, 120, 3615, 285);
    Label2 = placeControl<QLabel>(this, "Label2", 120, 600, 1815, 255);
    dfVorname = placeControl<QLineEdit>(this, "dfVorname", 2160, 600, 3615, 285);
    Label3 = placeControl<QLabel>(this, "Label3", 120, 1080, 1815, 255);
    dfPersNr = placeControl<QLineEdit>(this, "dfPersNr", 2160, 1080, 3615, 285);
    pbLoeschen = placeControl<QPushButton>(this, "pbLöschen", 120, 1560, 1695, 375);
    pbCancel = placeControl<QPushButton>(this, "pbCancel", 2160, 1560, 1695, 375);
    pbOK = placeControl<QPushButton>(this, "pbOK", 4080, 1560, 1695, 375);

    dfNachname->setMaxLength(50);
    dfVorname->setMaxLength(50);
    dfPersNr->setMaxLength(20);
    for (QLineEdit* field : {dfNachname, dfVorname, dfPersNr})
        selectAllOnFocus(field);

    setDialogDefault(this, pbOK);

    // The focus starts on OK; Tab goes on to Cancel, the three fields and the retire button.
    setTabOrder(pbOK, pbCancel);
    setTabOrder(pbCancel, dfNachname);
    setTabOrder(dfNachname, dfVorname);
    setTabOrder(dfVorname, dfPersNr);
    setTabOrder(dfPersNr, pbLoeschen);
    pbOK->setFocus();

    connectClick(pbOK, this, &DlgPerson::pbOK_Click);
    connectClick(pbCancel, this, &DlgPerson::pbCancel_Click);
    connectClick(pbLoeschen, this, &DlgPerson::pbLoeschen_Click);

    setTexts();
}

void DlgPerson::setTexts()
{
    setWindowTitle(GetText(QStringLiteral("Personenbearbeitung"), 400));
    Label1->setText(GetText(QStringLiteral("Nachname:"), 401));
    Label2->setText(GetText(QStringLiteral("Vorname:"), 402));
    Label3->setText(GetText(QStringLiteral("Personal-Nummer:"), 403));
    pbCancel->setText(GetText(QStringLiteral("Abbrechen"), 404));
    pbLoeschen->setText(GetText(QStringLiteral("Löschen"), 405));
    pbOK->setText(GetText(QStringLiteral("OK"), 406));
}

void DlgPerson::Init(qint32 persId)
{
    load(persId);
    DialogRunner::run(*this);
}

void DlgPerson::load(qint32 persId)
{
    dfNachname->clear();
    dfVorname->clear();
    dfPersNr->clear();
    m_loaded.clear();
    if (persId >= 1) {
        Recordset person =
            db().openRecordset(QStringLiteral("SELECT * FROM TBPersonen WHERE PersID=") + QString::number(persId));
        if (!person.eof()) {
            m_loaded.fill(dfNachname, person.field(QStringLiteral("Nachname")).toString(), Label1);
            m_loaded.fill(dfVorname,
                          PersonText::withoutAppendedBlank(person.field(QStringLiteral("Vorname")).toString()), Label2);
            m_loaded.fill(dfPersNr, PersonText::withoutAppendedBlank(person.field(QStringLiteral("PersNr")).toString()),
                          Label3);
        }
        person.close();
    }
    // Decided once: a person that exists can be retired from here; a new one cannot.
    pbLoeschen->setEnabled(!isBlank(dfNachname->text()));
    PersID = persId;
}

bool DlgPerson::confirmNoDuplicate()
{
    // A namesake, or a holder of the typed personnel number, among the persons not retired. The
    // engine ignores case and trailing blanks, so a stored number with its appended blank matches.
    QString sql = QStringLiteral("SELECT PersID FROM TBPersonen WHERE NOT Storniert AND (Nachname = '") +
                  Sql::sqlText(dfNachname->text()) + QLatin1Char('\'');
    if (!isBlank(dfPersNr->text()))
        sql += QStringLiteral(" OR PersNr = '") + Sql::sqlText(dfPersNr->text()) + QLatin1Char('\'');
    sql += QLatin1Char(')');

    Recordset found = db().openRecordset(sql);
    const bool duplicate = !found.eof();
    found.close();
    if (!duplicate)
        return true;
    const QString question =
        GetText(QStringLiteral("Eine Person mit diesem Namen oder dieser Personalnummer ist bereits vorhanden."), 451) +
        QStringLiteral("\r\n") + GetText(QStringLiteral("Trotzdem speichern?"), 452);
    return msgBox(question, Messages::Icon::Exclamation, Messages::Buttons::YesNo) == Messages::Answer::Yes;
}

void DlgPerson::focusNachname()
{
    // Selected at once: after a message box the dialog regains activation only later, and that
    // focus event does not select.
    dfNachname->setFocus();
    SelectAllText(dfNachname);
}

void DlgPerson::pbOK_Click()
{
    if (isBlank(dfNachname->text())) {
        msgBox(GetText(QStringLiteral("Der Nachname muß angegeben werden!"), 450), Messages::Icon::Information);
        focusNachname();
        return;
    }

    // Given name and personnel number carry one appended blank, so empty ones are stored as a blank.
    const QString nachname = Sql::sqlText(dfNachname->text());
    const QString vorname = Sql::sqlText(dfVorname->text());
    const QString persNr = Sql::sqlText(dfPersNr->text());
    // OK on a person left as it was changes nothing, also where a field could not show a stored value whole.
    if (PersID >= 1 && m_loaded.unchanged()) {
        accept();
        return;
    }
    if (PersID >= 1 && !m_loaded.confirmCut())
        return;
    QString sql;
    const bool created = PersID < 1;
    if (created) {
        if (!confirmNoDuplicate()) {
            focusNachname();
            return;
        }
        sql = QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('") + nachname +
              QStringLiteral("', '") + vorname + QStringLiteral(" ', '") + persNr + QStringLiteral(" ', False)");
    } else {
        sql = QStringLiteral("UPDATE TBPersonen SET Nachname = '") + nachname + QStringLiteral("', Vorname = '") +
              vorname + QStringLiteral(" ', PersNr = '") + persNr + QStringLiteral(" ' WHERE PersID = ") +
              QString::number(PersID);
    }
    using RegisterChange::Kind;
    const RowChange::Scope person =
        created ? RowChange::Scope{QStringLiteral("TBPersonen"), {}, true}
                : RowChange::Scope{QStringLiteral("TBPersonen"), QStringLiteral("PersID = ") + QString::number(PersID)};
    RegisterChange::make(created ? Kind::PersonAngelegt : Kind::PersonGeaendert, {person},
                         [&sql] { db().execute(sql, true); });
    accept();
}

void DlgPerson::pbCancel_Click()
{
    reject();
}

void DlgPerson::pbLoeschen_Click()
{
    if (PersDel(PersID))
        accept();
}

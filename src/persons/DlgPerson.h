#pragma once

#include "widgets/LoadedFields.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// dlgPerson: creates a key holder or changes one. Built for one use: Init fills it, shows it
// modally and returns when it has closed; the caller then refills the person list.
class DlgPerson : public QDialog
{
    Q_OBJECT
public:
    explicit DlgPerson(QWidget* parent = nullptr);

    // Below 1: a new person (the main window passes -1); otherwise the person with this PersID.
    // Shown through DialogRunner.
    void Init(qint32 persId);
    // Fills the fields for Init without showing the dialog.
    void load(qint32 persId);

    void setTexts();

    void pbOK_Click();
    void pbCancel_Click();
    void pbLoeschen_Click();

    // -1 (any value below 1) for a new person, else the person being changed.
    qint32 PersID = -1;

    QLabel* Label1 = nullptr;
    QLineEdit* dfNachname = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* dfVorname = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* dfPersNr = nullptr;
    QPushButton* pbLoeschen = nullptr;
    QPushButton* pbCancel = nullptr;
    QPushButton* pbOK = nullptr;

private:
    // True when the user may go on: no possible duplicate, or the user said Yes.
    bool confirmNoDuplicate();
    // Back to the family name after a refusal, its text selected for retyping.
    void focusNachname();

    LoadedFields m_loaded; // the person as the fields showed it
};

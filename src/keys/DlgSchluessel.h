#pragma once

#include "widgets/LoadedFields.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// Creates a key or edits one: number, function, stock, additional-number rule; shows the copies
// still free and offers the key's deletion. Writes only on OK (or through the deletion).
class DlgSchluessel : public QDialog
{
    Q_OBJECT
public:
    explicit DlgSchluessel(QWidget* parent = nullptr);

    // Fills the dialog for the key numbered schlNr, or for a new key when schlNr is blank, then shows it.
    void Init(const QString& schlNr);
    void load(const QString& schlNr);

    // Builds the dialog over parent and runs Init, which shows it through DialogRunner.
    static void open(QWidget* parent, const QString& schlNr);

    void setTexts();

    // Handlers
    void dfSchluesselNr_Change();
    void dfGesamt_LostFocus();
    void pbOK_Click();
    void pbCancel_Click();
    void pbLoeschen_Click();

    QString SchlNr;           // the key the dialog was opened for; empty for a new key
    qint16 AnzVergeben = 0;   // its copies out when the dialog was opened
    bool FilterAktiv = false; // the key-number filter is rewriting the field

    QLabel* Label1 = nullptr;
    QLineEdit* dfSchluesselNr = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* dfFunktion = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* dfGesamt = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* dfVerfuegbar = nullptr;
    QCheckBox* cbZusatzNr = nullptr;
    QPushButton* pbLoeschen = nullptr;
    QPushButton* pbCancel = nullptr;
    QPushButton* pbOK = nullptr;
    // What the key opens, read only, below the designed controls while the register has a locking plan.
    QLabel* lblZylinder = nullptr;
    QTableWidget* lstZylinder = nullptr;

    // The leading whole number of a text, as the stock field is read: "12 Stück" is 12, "x" is 0.
    static qint64 leadingNumber(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool numberTakenByAnotherKey(const QString& keyNumber) const;
    void showDoors(const QString& keyNumber);

    LoadedFields m_loaded; // the key as the fields showed it
};

#pragma once

#include "HandoutFilter.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Narrows the handout list to a date range, a key-number prefix and a family-name prefix. Built for one use,
// with empty fields; the refill reads its result when it has been hidden.
class DlgFilter : public QDialog
{
    Q_OBJECT
public:
    explicit DlgFilter(QWidget* parent = nullptr);

    void setTexts();

    void pbOK_Click();
    void pbCancel_Click();
    void reject() override; // Escape and the close box count as Abbrechen

    // The result: true after OK, with the filter it checked; false after Abbrechen or the close box.
    bool fltResponse = false;
    HandoutFilter filter;

    QLabel* Label1 = nullptr;
    QLineEdit* dfVonDatum = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* dfBisDatum = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* dfSchlNr = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* dfName = nullptr;
    QPushButton* pbOK = nullptr;
    QPushButton* pbCancel = nullptr;
};

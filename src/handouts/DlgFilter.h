#pragma once

#include <QDate>
#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// Narrows the handout list to a date range, a key-number prefix and a family-name prefix. The window is
// built for each use; its result lives in the static members for the whole run, until the next OK or
// Abbrechen changes them. The fields start empty every time.
class DlgFilter : public QDialog
{
    Q_OBJECT
public:
    explicit DlgFilter(QWidget* parent = nullptr);

    // Builds the dialog and shows it through DialogRunner; afterwards the members hold the result.
    static void open(QWidget* parent);

    void setTexts();

    void pbOK_Click();
    void pbCancel_Click();
    void reject() override; // Escape and the close box count as Abbrechen

    // Dates as statement literals without the number signs (3/1/26), or empty.
    static inline QString fltVonDatum;
    static inline QString fltBisDatum;
    static inline QString fltSchluessel; // trimmed key-number prefix
    static inline QString fltPerson;     // trimmed family-name prefix
    static inline bool fltResponse = false;

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

private:
    // A date field: blank (no bound), a day, or no valid date.
    struct DateField
    {
        bool valid = true;
        std::optional<QDate> day;
    };
    static DateField readDate(const QLineEdit* field);
    static void refuse(const QString& message, QLineEdit* field);
};

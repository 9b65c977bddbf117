#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

// The report of a register carried over from a Jet file: shown once after the carry-over, before the
// start goes on; it can be printed and saved as a text file.
class DlgUebernahme : public QDialog
{
    Q_OBJECT
public:
    explicit DlgUebernahme(const QStringList& report, QWidget* parent = nullptr);

    // Builds the window, shows it through DialogRunner and returns when it is closed.
    static void open(const QStringList& report);

    void setTexts();

    void pbDrucken_Click();
    void pbSpeichern_Click();
    void pbWeiter_Click();

    QPlainTextEdit* dfBericht = nullptr;
    QPushButton* pbDrucken = nullptr;
    QPushButton* pbSpeichern = nullptr;
    QPushButton* pbWeiter = nullptr;

private:
    QStringList m_report;
};

#pragma once

#include "widgets/SearchFrame.h"
#include "widgets/Utf8Rows.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TabListWidget;

// The key frame of the main window: the search, the list of keys sorted by its rows' text, and the buttons
// that create, change and delete a key. Controls at their designed places inside the frame, which the
// window's layout moves.
class KeyPane : public SearchFrame
{
    Q_OBJECT
public:
    explicit KeyPane(QWidget* parent = nullptr);

    void setTexts();

    void pbSchlSuch_Click();
    void showKeys(Utf8Rows rows); // sorted, none selected
    void pbSchlNeu_Click();
    void pbSchlEdit_Click();
    void pbSchlDel_Click();
    QString selectedKeyNumber() const; // key number of the selected key row; empty when none
    QStringList keyNumbers() const;    // of every row, in the list's order

    QLabel* Label2 = nullptr;
    QLineEdit* dfSchlSuch = nullptr;
    TabListWidget* lstSchluessel = nullptr; // sorted; tabs jump to tab stops
    QPushButton* pbSchlSuch = nullptr;
    QPushButton* pbSchlNeu = nullptr;
    QPushButton* pbSchlEdit = nullptr;
    QPushButton* pbSchlDel = nullptr;
};

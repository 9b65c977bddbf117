#pragma once

#include "PersEntry.h"
#include "PersonList.h"
#include "widgets/SearchFrame.h"

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The person frame of the main window: the search, the list of the persons not retired with the entries
// beside it, and the buttons that create, change and retire a person. Controls at their designed places
// inside the frame, which the window's layout moves.
class PersonPane : public SearchFrame
{
    Q_OBJECT
public:
    explicit PersonPane(QWidget* parent = nullptr);

    void setTexts();

    void pbPersSuch_Click();
    void showPersons(PersonList::Rows rows); // the list and its entries, none selected
    void pbPersNeu_Click();
    void pbPersEdit_Click();
    void pbPersDel_Click();
    // The selected person's line, or none: a current line that is not selected is no choice of the user.
    std::optional<PersEntry> selectedPerson() const;

    QLabel* Label1 = nullptr;
    QLineEdit* dfPersSuch = nullptr;
    QListWidget* lstPerson = nullptr;
    QPushButton* pbPersSuch = nullptr;
    QPushButton* pbPersNeu = nullptr;
    QPushButton* pbPersEdit = nullptr;
    QPushButton* pbPersDel = nullptr;

    // Beside lstPerson: entry i belongs to line i; one empty entry more than there are lines.
    PersListe persListe;
};

#pragma once

#include "persons/PersEntry.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class QFrame;
class VergabenModel;

// The main window. Its controls carry the names the whole program uses; its handlers are public so
// that tests call them directly. The handlers of each subsystem live beside that subsystem
// (persons/FrmMainPersons.cpp, keys/FrmMainKeys.cpp, handouts/FrmMainHandouts.cpp).
class FrmMain : public QWidget
{
    Q_OBJECT
public:
    explicit FrmMain(QWidget* parent = nullptr);
    ~FrmMain() override;

    // Load handler: accepted size, captions, person search, key search, handout list.
    void Form_Load();

    // Persons
    void pbPersSuch_Click();
    void pbPersNeu_Click();
    void pbPersEdit_Click();
    void pbPersDel_Click();

    // Keys
    void pbSchlSuch_Click();
    void pbSchlNeu_Click();
    void pbSchlEdit_Click();
    void pbSchlDel_Click();
    QString selectedKeyNumber() const;   // key number of the selected key row; empty when none

    // Handouts and printing
    void RefreshVergaben(bool askFilter);
    void pbVergabe_Click();
    void pbRueckgabe_Click();
    void pbFilter_Click();
    void pbListeDrucken_Click();
    void pbBestaetigung_Click();
    void pbFormular_Click();

    void pbExit_Click();
    void imgLogo_Click();

    // Controls
    QGroupBox* frPerson = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* dfPersSuch = nullptr;
    QListWidget* lstPerson = nullptr;
    QPushButton* pbPersSuch = nullptr;
    QPushButton* pbPersNeu = nullptr;
    QPushButton* pbPersEdit = nullptr;
    QPushButton* pbPersDel = nullptr;

    QGroupBox* frSchluessel = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* dfSchlSuch = nullptr;
    QListWidget* lstSchluessel = nullptr;
    QPushButton* pbSchlSuch = nullptr;
    QPushButton* pbSchlNeu = nullptr;
    QPushButton* pbSchlEdit = nullptr;
    QPushButton* pbSchlDel = nullptr;

    QLabel* imgLogo = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* dfZusatzNr = nullptr;
    QPushButton* pbVergabe = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* Label3 = nullptr;
    QTableView* sprVergaben = nullptr;
    VergabenModel* vergaben = nullptr;   // the grid's rows
    QPushButton* pbBestaetigung = nullptr;
    QPushButton* pbRueckgabe = nullptr;
    QPushButton* pbFilter = nullptr;
    QPushButton* pbListeDrucken = nullptr;
    QPushButton* pbFormular = nullptr;
    QPushButton* pbExit = nullptr;

    // Beside lstPerson: entry i belongs to line i; one empty entry more than there are lines.
    PersListe persListe;
};

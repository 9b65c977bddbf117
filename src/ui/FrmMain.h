#pragma once

#include "persons/PersEntry.h"
#include "ui/MainLayout.h"
#include "ui/MainLists.h"
#include "ui/TabListWidget.h"

#include <QWidget>
#include <optional>

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
    // Lists the load handler shows instead of reading them (the start reads them ahead).
    void setStartLists(MainLists lists) { m_startLists = std::move(lists); }

    // Persons
    void pbPersSuch_Click();
    void showPersons(PersonList::Rows rows); // the list and its entries, none selected
    void pbPersNeu_Click();
    void pbPersEdit_Click();
    void pbPersDel_Click();
    // The selected person's line, or none: a current line that is not selected is no choice of the user.
    std::optional<PersEntry> selectedPerson() const;

    // Keys
    void pbSchlSuch_Click();
    void pbSchlNeu_Click();
    void pbSchlEdit_Click();
    void pbSchlDel_Click();
    QString selectedKeyNumber() const; // key number of the selected key row; empty when none

    // Handouts and printing
    void RefreshVergaben(bool askFilter);
    void showVergaben(VergabenModel::Lines lines); // the grid's lines, the current row as a refill leaves it
    // A click on the grid: kind 1 is ignored, any other sorts by the column (1 to 6). A click on a
    // column header reports kind 0; a click on a cell only selects its line.
    void sprVergaben_Click(int kind, int col);
    void pbVergabe_Click();
    void pbRueckgabe_Click();
    void pbFilter_Click();
    void pbListeDrucken_Click();
    void pbBestaetigung_Click();
    void pbFormular_Click();

    void pbExit_Click();
    void imgLogo_Click();

    // History and export, from the lists' context menus; Ctrl+H opens the history (history/FrmMainHistory.cpp).
    void lstPerson_Verlauf();
    void lstPerson_Exportieren();
    void lstSchluessel_Verlauf();
    void lstSchluessel_Exportieren();
    void sprVergaben_Verlauf();       // of the active line's key
    void sprVergaben_VerlaufPerson(); // of the active line's person
    void sprVergaben_Exportieren();

    // Caption routine: every caption of the window in the current language.
    void setTexts();

    // Layout routine, run on every resize: keeps the controls in proportion to the window and
    // springs back below the smallest size.
    void Form_Resize();
    const MainLayout& layoutState() const { return m_layout; }

    // Mouse over the free surface of a frame: focus to its search field, its search button
    // becomes the default that Enter clicks.
    void frPerson_MouseMove();
    void frSchluessel_MouseMove();

    // The button Enter clicks when the focus is not on a button; none when the window opens.
    QPushButton* defaultButton() const { return m_defaultButton; }
    void setDefaultButton(QPushButton* button);

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
    TabListWidget* lstSchluessel = nullptr; // sorted; tabs jump to tab stops
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
    VergabenModel* vergaben = nullptr; // the grid's rows
    QPushButton* pbBestaetigung = nullptr;
    QPushButton* pbRueckgabe = nullptr;
    QPushButton* pbFilter = nullptr;
    QPushButton* pbListeDrucken = nullptr;
    QPushButton* pbFormular = nullptr;
    QPushButton* pbExit = nullptr;

    // Beside lstPerson: entry i belongs to line i; one empty entry more than there are lines.
    PersListe persListe;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyLayout(const MainLayoutResult& result);
    void addHistoryActions();
    void setHistoryTexts();
    void switchDefault(QLineEdit* field, QPushButton* button);
    void closeDialogs();

    MainLayout m_layout = MainLayout::designed();
    bool m_inLayout = false; // set while the layout routine moves controls
    bool m_loaded = false;
    std::optional<MainLists> m_startLists;
    QPushButton* m_defaultButton = nullptr;
};

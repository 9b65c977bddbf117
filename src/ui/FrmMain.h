#pragma once

#include "ui/MainLayout.h"
#include "ui/MainLists.h"

#include <QWidget>
#include <optional>

class HandoutPane;
class KeyPane;
class PersonPane;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The main window: the person frame, the key frame and the handout area (each a pane of its own folder,
// which owns its controls and handlers), the logo, the separating line and the exit button. The window
// lays them out by the proportional rule, gives Enter to the search of the frame the mouse last crossed,
// and wires the panes together: a handout asks the person pane and the key pane for their selections.
// Ctrl+Z and Ctrl+Y take back and make again the register's changes.
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

    void pbExit_Click();
    void imgLogo_Click();
    void mnuRueckgaengig_Click();
    void mnuWiederholen_Click();

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

    PersonPane* persons = nullptr;
    KeyPane* keys = nullptr;
    HandoutPane* handouts = nullptr;
    QLabel* imgLogo = nullptr;
    QFrame* Line1 = nullptr;
    QPushButton* pbExit = nullptr;
    QAction* mnuRueckgaengig = nullptr; // Ctrl+Z, also in the lists' context menus
    QAction* mnuWiederholen = nullptr;  // Ctrl+Y

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyLayout(const MainLayoutResult& result);
    void addUndoActions();
    void updateUndoActions();
    // Refills the lists that show the tables a change touched.
    void refillAfter(const QStringList& tables);
    void switchDefault(QLineEdit* field, QPushButton* button);
    void closeDialogs();

    MainLayout m_layout = MainLayout::designed();
    bool m_inLayout = false; // set while the layout routine moves controls
    bool m_loaded = false;
    std::optional<MainLists> m_startLists;
    QPushButton* m_defaultButton = nullptr;
};

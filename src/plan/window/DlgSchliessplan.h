#pragma once

#include <QDialog>
#include <QStringList>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;
class SchliessplanModel;

// The locking plan: keys as columns, cylinders as rows, the key numbers and the cylinders staying in
// sight while the matrix scrolls. A click on a crossing turns it on or off; the lower part shows who can
// open the current cylinder's door today. Imports the lock maker's plan, exports and prints it.
class DlgSchliessplan : public QDialog
{
    Q_OBJECT
public:
    explicit DlgSchliessplan(QWidget* parent = nullptr);

    // Builds the window over parent, fills it, shows the cylinders opened by keyNumber first when given,
    // and runs it through DialogRunner. Returns the tables changed meanwhile beyond the plan (changedTables).
    static QStringList open(QWidget* parent, const QString& keyNumber = {});

    // Fill step: the register's plan.
    void load();

    void setTexts();

    // Handlers
    void sprPlan_Click(int row, int column); // model row and column
    void setCurrentCylinder(int row);        // the row whose holders the lower part shows
    void pbSuchen_Click();                   // the next cylinder or door that holds the search text
    void pbEinlesen_Click();
    void pbExportieren_Click();
    void pbDrucken_Click();
    void pbSchliessen_Click();

    // The tables that changed while the window was open beside single crossings (keys created by an
    // import, any change taken back or made again), so that the main window's lists can follow.
    const QStringList& changedTables() const { return m_changed; }

    // The plan from a file, as pbEinlesen reads it after the file dialog.
    void importFile(const QString& path);

    QLabel* lblSuche = nullptr;
    QLineEdit* dfSuche = nullptr;
    QPushButton* pbSuchen = nullptr;
    QTableView* sprZylinder = nullptr; // the frozen cylinder and door columns
    QTableView* sprPlan = nullptr;     // the crossings
    SchliessplanModel* plan = nullptr;
    QLabel* lblBerechtigte = nullptr;      // whose door the lists below are about
    QTableWidget* sprInhaber = nullptr;    // who holds a copy of a key that opens it
    QTableWidget* sprSchluessel = nullptr; // the keys that open it, with the copies in the safe
    QLabel* lblAnzahl = nullptr;
    QPushButton* pbEinlesen = nullptr;
    QPushButton* pbExportieren = nullptr;
    QPushButton* pbDrucken = nullptr;
    QPushButton* pbSchliessen = nullptr;
    QAction* mnuRueckgaengig = nullptr; // Ctrl+Z: the register's last change taken back, as in the main window
    QAction* mnuWiederholen = nullptr;  // Ctrl+Y

private:
    void showCount();
    void showCrossing(const QString& cylinder, const QString& keyNumber, bool opens);
    void afterUndo(const QStringList& tables); // the plan read again, the current cylinder and key kept
    int m_current = -1;
    QStringList m_changed;
};

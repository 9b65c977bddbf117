#pragma once

#include <QDialog>

class QAbstractItemModel;

class QLabel;
class QPushButton;
class QTableView;
class ProtokollModel;
class VerlaufModel;

// The history of one person or one key: every movement, out and returned, newest first; a header click
// sorts by that column. "Änderungen" shows the journal's entries about it instead, and back. Reads only;
// the lines shown can be printed and exported as shown.
class DlgVerlauf : public QDialog
{
    Q_OBJECT
public:
    explicit DlgVerlauf(QWidget* parent = nullptr);

    // Build the window over parent, fill it and show it through DialogRunner.
    static void openForPerson(QWidget* parent, qint32 persId);
    static void openForKey(QWidget* parent, const QString& keyNumber);

    // Fill steps.
    void loadPerson(qint32 persId);
    void loadKey(const QString& keyNumber);

    void setTexts();

    void pbAenderungen_Click(); // the journal's entries, or back to the movements
    void pbDrucken_Click();
    void pbExportieren_Click();
    void pbSchliessen_Click();

    QLabel* lblBetreff = nullptr; // whose history: "Schlüssel: K11 Haupteingang"
    QTableView* sprVerlauf = nullptr;
    VerlaufModel* verlauf = nullptr;
    ProtokollModel* protokoll = nullptr; // filled when first shown
    QLabel* lblAnzahl = nullptr;         // "Zeilen: 3"
    QPushButton* pbAenderungen = nullptr;
    QPushButton* pbDrucken = nullptr;
    QPushButton* pbExportieren = nullptr;
    QPushButton* pbSchliessen = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Subject { None, Person, Key };
    int shownRows() const;
    void showModel(QAbstractItemModel* model);

    Subject m_subject = Subject::None;
    qint32 m_persId = 0;
    QString m_keyNumber;
    bool m_journalShown = false;
    QString m_subjectText; // the person's name, or the key number and function
    QString m_subjectTag;  // for the printout's file name: the person's name or the key number
};

// The main window's person frame: list, search, new, edit, retire.
#include "DlgPerson.h"
#include "PersDel.h"
#include "PersonText.h"
#include "core/AppState.h"
#include "core/Sql.h"
#include "ui/FrmMain.h"
#include "ui/WaitCursor.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

namespace {

// The selected line of the list, or -1. A current line that is not selected (the list takes one
// when it gets the focus) is no choice of the user and counts as none.
int selectedLine(const QListWidget* list, const PersListe& entries)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
        return -1;
    const int line = list->row(selected.first());
    return line < entries.size() - 1 ? line : -1;
}

} // namespace

void FrmMain::pbPersSuch_Click()
{
    WaitCursor wait;
    persListe = PersListe(1);
    lstPerson->clear();

    // The search text goes in as typed, blanks kept; its wildcards act as wildcards.
    QString sql = QStringLiteral("SELECT * FROM TBPersonen WHERE NOT Storniert");
    const QString search = dfPersSuch->text();
    if (!PersonText::trimBlanks(search).isEmpty()) {
        const QString t = Sql::sqlText(search);
        sql += QStringLiteral(" AND (Nachname LIKE '*") + t + QStringLiteral("*' OR ") +
               QStringLiteral("PersNr LIKE '*") + t + QStringLiteral("*')");
    }
    sql += QStringLiteral(" ORDER BY Nachname ASC, Vorname ASC");

    Recordset persons = db().openRecordset(sql);
    while (!persons.eof()) {
        PersEntry& entry = persListe.last();
        entry.PersID = persons.field(QStringLiteral("PersID")).toInt();
        entry.Name = PersonText::lineName(persons.field(QStringLiteral("Nachname")).toString(),
                                          persons.field(QStringLiteral("Vorname")).toString());
        persListe.append(PersEntry{});
        persons.moveNext();
    }
    persons.close();

    // One call for all lines: tens of thousands of persons fill as fast as a few.
    QStringList lines;
    lines.reserve(persListe.size() - 1);
    for (qsizetype i = 0; i + 1 < persListe.size(); ++i)
        lines.append(persListe.at(i).Name);
    lstPerson->addItems(lines);
    lstPerson->clearSelection();
    lstPerson->setCurrentRow(-1);
}

void FrmMain::pbPersNeu_Click()
{
    {
        DlgPerson dialog(this);
        dialog.Init(-1);
    }
    pbPersSuch_Click();
}

void FrmMain::pbPersEdit_Click()
{
    const int line = selectedLine(lstPerson, persListe);
    if (line < 0)
        return;
    {
        DlgPerson dialog(this);
        dialog.Init(persListe.at(line).PersID);
    }
    pbPersSuch_Click();
}

void FrmMain::pbPersDel_Click()
{
    const int line = selectedLine(lstPerson, persListe);
    if (line < 0)
        return;
    PersDel(persListe.at(line).PersID);
    pbPersSuch_Click();
}

// The main window's person frame: list, search, new, edit, retire.
#include "DlgPerson.h"
#include "PersDel.h"
#include "PersonText.h"
#include "core/AppState.h"
#include "core/Sql.h"
#include "ui/FrmMain.h"
#include "ui/ListRows.h"
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

    // The search text goes in as typed, blanks kept; its wildcards act as wildcards.
    QString sql = QStringLiteral("SELECT * FROM TBPersonen WHERE NOT Storniert");
    const QString search = dfPersSuch->text();
    if (!PersonText::trimBlanks(search).isEmpty()) {
        const QString t = Sql::sqlText(search);
        sql += QStringLiteral(" AND (Nachname LIKE '*") + t + QStringLiteral("*' OR ") +
               QStringLiteral("PersNr LIKE '*") + t + QStringLiteral("*')");
    }
    sql += QStringLiteral(" ORDER BY Nachname ASC, Vorname ASC");

    // Read first, so that the list and its entries always belong together, even after a refused query.
    PersListe entries;
    entries.reserve(persListe.size());
    QStringList lines;
    lines.reserve(persListe.size());
    Recordset persons = db().openRecordset(sql);
    if (!persons.eof()) {
        const int persId = persons.fieldIndex(QStringLiteral("PersID"));
        const int nachname = persons.fieldIndex(QStringLiteral("Nachname"));
        const int vorname = persons.fieldIndex(QStringLiteral("Vorname"));
        for (; !persons.eof(); persons.moveNext()) {
            const QString name =
                PersonText::lineName(persons.field(nachname).toString(), persons.field(vorname).toString());
            entries.append(PersEntry{persons.field(persId).toInt(), name});
            lines.append(name);
        }
    }
    persons.close();
    entries.append(PersEntry{}); // the empty entry behind the last line

    persListe = std::move(entries);
    setListRows(lstPerson, lines); // tens of thousands of lines in one step, none selected
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

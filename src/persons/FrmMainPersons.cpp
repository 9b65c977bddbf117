// The main window's person frame: list, search, new, edit, retire.
#include "DlgPerson.h"
#include "PersDel.h"
#include "PersonText.h"
#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Sql.h"
#include "ui/FrmMain.h"
#include "ui/ListRows.h"
#include "ui/WaitCursor.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

void FrmMain::pbPersSuch_Click()
{
    WaitCursor wait;

    // The search text goes in as typed, blanks kept; its wildcards act as wildcards.
    QString sql = QStringLiteral("SELECT * FROM TBPersonen WHERE NOT Storniert");
    const QString search = dfPersSuch->text();
    if (!isBlank(search)) {
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

std::optional<PersEntry> FrmMain::selectedPerson() const
{
    const QList<QListWidgetItem*> selected = lstPerson->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const int line = lstPerson->row(selected.first());
    if (line < 0 || line >= persListe.size() - 1)
        return std::nullopt;
    return persListe.at(line);
}

void FrmMain::pbPersEdit_Click()
{
    const std::optional<PersEntry> person = selectedPerson();
    if (!person)
        return;
    {
        DlgPerson dialog(this);
        dialog.Init(person->PersID);
    }
    pbPersSuch_Click();
}

void FrmMain::pbPersDel_Click()
{
    const std::optional<PersEntry> person = selectedPerson();
    if (!person)
        return;
    PersDel(person->PersID);
    pbPersSuch_Click();
}

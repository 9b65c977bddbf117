// The main window's person frame: list, search, new, edit, retire.
#include "DlgPerson.h"
#include "PersDel.h"
#include "PersonText.h"
#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Sql.h"
#include "ui/FrmMain.h"
#include "ui/WaitCursor.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

void FrmMain::pbPersSuch_Click()
{
    WaitCursor wait;
    persListe = PersListe(1);
    lstPerson->clear();

    // The search text goes in as typed, blanks kept; its wildcards act as wildcards.
    QString sql = QStringLiteral("SELECT * FROM TBPersonen WHERE NOT Storniert");
    const QString search = dfPersSuch->text();
    if (!isBlank(search)) {
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

// The main window's history and export entries: context menus of the person and key lists, Ctrl+H.
#include "CsvSave.h"
#include "DlgVerlauf.h"
#include "Export.h"
#include "core/Guard.h"
#include "core/Texts.h"
#include "keys/KeyList.h"
#include "ui/FrmMain.h"

#include <QAction>
#include <QListWidget>

namespace {

// "Verlauf…" with Ctrl+H and "Exportieren…", shown as the list's context menu; the shortcut works
// while the list has the focus.
void addListActions(QWidget* list, FrmMain* window, void (FrmMain::*history)(), void (FrmMain::*exporter)())
{
    auto* verlauf = new QAction(list);
    verlauf->setObjectName(QStringLiteral("mnuVerlauf"));
    verlauf->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    verlauf->setShortcutContext(Qt::WidgetShortcut);
    auto* exportieren = new QAction(list);
    exportieren->setObjectName(QStringLiteral("mnuExportieren"));
    QObject::connect(verlauf, &QAction::triggered, window,
                     [window, history] { guarded([=] { (window->*history)(); }); });
    QObject::connect(exportieren, &QAction::triggered, window,
                     [window, exporter] { guarded([=] { (window->*exporter)(); }); });
    list->addAction(verlauf);
    list->addAction(exportieren);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
}

// The selected person, or -1: a line the user selected, not merely the current one.
qint32 selectedPersId(const QListWidget* list, const PersListe& entries)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    const int line = selected.isEmpty() ? -1 : list->row(selected.first());
    return line >= 0 && line < entries.size() - 1 ? entries.at(line).PersID : -1;
}

} // namespace

void FrmMain::addHistoryActions()
{
    addListActions(lstPerson, this, &FrmMain::lstPerson_Verlauf, &FrmMain::lstPerson_Exportieren);
    addListActions(lstSchluessel, this, &FrmMain::lstSchluessel_Verlauf, &FrmMain::lstSchluessel_Exportieren);
}

// The menu texts belong to the window's captions; they follow the language like the rest.
void FrmMain::setHistoryTexts()
{
    for (QWidget* list : {static_cast<QWidget*>(lstPerson), static_cast<QWidget*>(lstSchluessel)}) {
        for (QAction* action : list->actions()) {
            if (action->objectName() == QLatin1String("mnuVerlauf"))
                action->setText(GetText(QStringLiteral("Verlauf…"), 800));
            else if (action->objectName() == QLatin1String("mnuExportieren"))
                action->setText(GetText(QStringLiteral("Exportieren…"), 801));
        }
    }
}

void FrmMain::lstPerson_Verlauf()
{
    const qint32 persId = selectedPersId(lstPerson, persListe);
    if (persId >= 0)
        DlgVerlauf::openForPerson(this, persId);
}

void FrmMain::lstPerson_Exportieren()
{
    QVector<qint32> ids;
    for (qsizetype i = 0; i + 1 < persListe.size(); ++i)
        ids.append(persListe.at(i).PersID);
    saveCsvAs(this, Export::kPersonsFile, Export::persons(ids));
}

void FrmMain::lstSchluessel_Verlauf()
{
    const QString keyNumber = selectedKeyNumber();
    if (!keyNumber.isEmpty())
        DlgVerlauf::openForKey(this, keyNumber);
}

void FrmMain::lstSchluessel_Exportieren()
{
    QStringList numbers;
    for (int i = 0; i < lstSchluessel->count(); ++i)
        numbers << KeyList::keyNumberOf(lstSchluessel->item(i)->text());
    saveCsvAs(this, Export::kKeysFile, Export::keys(numbers));
}

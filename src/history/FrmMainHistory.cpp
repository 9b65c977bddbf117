// The main window's history and export entries: context menus of the person list, the key list and
// the handout grid; Ctrl+H opens the history of what is selected.
#include "CsvSave.h"
#include "DlgVerlauf.h"
#include "Export.h"
#include "core/AppState.h"
#include "core/Guard.h"
#include "core/Texts.h"
#include "handouts/VergabenModel.h"
#include "keys/KeyList.h"
#include "ui/FrmMain.h"

#include <QAction>
#include <QListWidget>
#include <QTableView>

namespace {

QAction* addAction(QWidget* list, const char* name, FrmMain* window, void (FrmMain::*handler)())
{
    auto* action = new QAction(list);
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, window,
                     [window, handler] { guarded([=] { (window->*handler)(); }); });
    list->addAction(action);
    return action;
}

// "Verlauf…" with Ctrl+H (and for the grid "Verlauf der Person…") and "Exportieren…", shown as the
// list's context menu; the shortcut works while the list has the focus.
void addListActions(QWidget* list, FrmMain* window, void (FrmMain::*history)(), void (FrmMain::*exporter)(),
                    void (FrmMain::*personHistory)() = nullptr)
{
    QAction* verlauf = addAction(list, "mnuVerlauf", window, history);
    verlauf->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    verlauf->setShortcutContext(Qt::WidgetShortcut);
    if (personHistory)
        addAction(list, "mnuVerlaufPerson", window, personHistory);
    addAction(list, "mnuExportieren", window, exporter);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
}

// A column of the movement on the grid's active line; null when there is none.
QVariant movementOfActiveLine(const VergabenModel& grid, const QString& column)
{
    const QVariant bewId = grid.cellValue(grid.activeRow(), VergabenModel::ID);
    if (!bewId.isValid())
        return {};
    Recordset movement =
        db().openRecordset(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM TBBewegungen WHERE BewID = ") +
                           QString::number(bewId.toInt()));
    const QVariant value = movement.eof() ? QVariant() : movement.field(0);
    movement.close();
    return value;
}

} // namespace

void FrmMain::addHistoryActions()
{
    addListActions(lstPerson, this, &FrmMain::lstPerson_Verlauf, &FrmMain::lstPerson_Exportieren);
    addListActions(lstSchluessel, this, &FrmMain::lstSchluessel_Verlauf, &FrmMain::lstSchluessel_Exportieren);
    addListActions(sprVergaben, this, &FrmMain::sprVergaben_Verlauf, &FrmMain::sprVergaben_Exportieren,
                   &FrmMain::sprVergaben_VerlaufPerson);
}

// The menu texts belong to the window's captions; they follow the language like the rest.
void FrmMain::setHistoryTexts()
{
    for (QWidget* list :
         {static_cast<QWidget*>(lstPerson), static_cast<QWidget*>(lstSchluessel), static_cast<QWidget*>(sprVergaben)}) {
        for (QAction* action : list->actions()) {
            if (action->objectName() == QLatin1String("mnuVerlauf"))
                action->setText(GetText(QStringLiteral("Verlauf…"), 800));
            else if (action->objectName() == QLatin1String("mnuVerlaufPerson"))
                action->setText(GetText(QStringLiteral("Verlauf der Person…"), 810));
            else if (action->objectName() == QLatin1String("mnuExportieren"))
                action->setText(GetText(QStringLiteral("Exportieren…"), 801));
        }
    }
}

void FrmMain::lstPerson_Verlauf()
{
    if (const std::optional<PersEntry> person = selectedPerson())
        DlgVerlauf::openForPerson(this, person->PersID);
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

void FrmMain::sprVergaben_Verlauf()
{
    // Through the movement, not the shown text: the key may have been renumbered since the refill.
    const QVariant keyNumber = movementOfActiveLine(*vergaben, QStringLiteral("SchluesselNr"));
    if (keyNumber.isValid())
        DlgVerlauf::openForKey(this, keyNumber.toString());
}

void FrmMain::sprVergaben_VerlaufPerson()
{
    const QVariant persId = movementOfActiveLine(*vergaben, QStringLiteral("PersonID"));
    if (persId.isValid())
        DlgVerlauf::openForPerson(this, persId.toInt());
}

void FrmMain::sprVergaben_Exportieren()
{
    saveCsvAs(this, Export::kCopiesOutFile, Export::copiesOut(*vergaben));
}

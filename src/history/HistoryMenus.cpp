#include "HistoryMenus.h"

#include "CsvSave.h"
#include "DlgVerlauf.h"
#include "Export.h"
#include "core/AppState.h"
#include "core/Guard.h"
#include "core/Texts.h"
#include "handouts/HandoutPane.h"
#include "keys/KeyPane.h"
#include "persons/PersonPane.h"
#include "widgets/TabListWidget.h"

#include <QAction>
#include <QListWidget>
#include <QTableView>

namespace HistoryMenus {

namespace {

template <typename Pane> QAction* addAction(QWidget* list, const char* name, Pane& pane, void (*handler)(Pane&))
{
    auto* action = new QAction(list);
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, list, [&pane, handler] { guarded([&] { handler(pane); }); });
    list->addAction(action);
    return action;
}

template <typename Pane>
void addListActions(QWidget* list, Pane& pane, void (*history)(Pane&), void (*exporter)(Pane&),
                    void (*personHistory)(Pane&) = nullptr)
{
    QAction* verlauf = addAction(list, "mnuVerlauf", pane, history);
    verlauf->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    verlauf->setShortcutContext(Qt::WidgetShortcut);
    if (personHistory)
        addAction(list, "mnuVerlaufPerson", pane, personHistory);
    addAction(list, "mnuExportieren", pane, exporter);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
}

// A column of the movement on the grid's active line; null when there is none.
QVariant movementOfActiveLine(const HandoutPane& handouts, const QString& column)
{
    const std::optional<qint32> bewId = handouts.vergaben->movement(handouts.activeRow());
    if (!bewId)
        return {};
    Recordset movement =
        db().openRecordset(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM TBBewegungen WHERE BewID = ") +
                           QString::number(*bewId));
    const QVariant value = movement.eof() ? QVariant() : movement.field(0);
    movement.close();
    return value;
}

} // namespace

void add(PersonPane& persons, KeyPane& keys, HandoutPane& handouts)
{
    addListActions(persons.lstPerson, persons, &lstPerson_Verlauf, &lstPerson_Exportieren);
    addListActions(keys.lstSchluessel, keys, &lstSchluessel_Verlauf, &lstSchluessel_Exportieren);
    addListActions(handouts.sprVergaben, handouts, &sprVergaben_Verlauf, &sprVergaben_Exportieren,
                   &sprVergaben_VerlaufPerson);
}

void setTexts(PersonPane& persons, KeyPane& keys, HandoutPane& handouts)
{
    for (QWidget* list : {static_cast<QWidget*>(persons.lstPerson), static_cast<QWidget*>(keys.lstSchluessel),
                          static_cast<QWidget*>(handouts.sprVergaben)}) {
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

void lstPerson_Verlauf(PersonPane& persons)
{
    if (const std::optional<PersEntry> person = persons.selectedPerson())
        DlgVerlauf::openForPerson(&persons, person->PersID);
}

void lstPerson_Exportieren(PersonPane& persons)
{
    QVector<qint32> ids;
    for (qsizetype i = 0; i + 1 < persons.persListe.size(); ++i)
        ids.append(persons.persListe.at(i).PersID);
    saveCsvAs(&persons, Export::kPersonsFile, Export::persons(ids));
}

void lstSchluessel_Verlauf(KeyPane& keys)
{
    const QString keyNumber = keys.selectedKeyNumber();
    if (!keyNumber.isEmpty())
        DlgVerlauf::openForKey(&keys, keyNumber);
}

void lstSchluessel_Exportieren(KeyPane& keys)
{
    saveCsvAs(&keys, Export::kKeysFile, Export::keys(keys.keyNumbers()));
}

void sprVergaben_Verlauf(HandoutPane& handouts)
{
    // Through the movement, not the shown text: the key may have been renumbered since the refill.
    const QVariant keyNumber = movementOfActiveLine(handouts, QStringLiteral("SchluesselNr"));
    if (keyNumber.isValid())
        DlgVerlauf::openForKey(&handouts, keyNumber.toString());
}

void sprVergaben_VerlaufPerson(HandoutPane& handouts)
{
    const QVariant persId = movementOfActiveLine(handouts, QStringLiteral("PersonID"));
    if (persId.isValid())
        DlgVerlauf::openForPerson(&handouts, persId.toInt());
}

void sprVergaben_Exportieren(HandoutPane& handouts)
{
    saveCsvAs(&handouts, Export::kCopiesOutFile, Export::copiesOut(*handouts.vergaben));
}

} // namespace HistoryMenus

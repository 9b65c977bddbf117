#include "PlanMenus.h"

#include "DlgSchliessplan.h"
#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Clock.h"
#include "core/Guard.h"
#include "core/Messages.h"
#include "core/Texts.h"
#include "handouts/HandoutPane.h"
#include "keys/KeyPane.h"
#include "plan/Verlust.h"
#include "widgets/Printout.h"
#include "widgets/QtLinePrinter.h"
#include "widgets/TabListWidget.h"

#include <QAction>
#include <QPrinter>
#include <QTableView>

namespace PlanMenus {

namespace {

const char* const kPlan = "mnuSchliessplan";
const char* const kLoss = "mnuVerlustMelden";

QAction* addAction(QWidget* on, const char* name, const std::function<void()>& handler)
{
    auto* action = new QAction(on);
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, on, [handler] { guarded(handler); });
    on->addAction(action);
    return action;
}

void setText(QWidget* on, const char* name, const QString& text)
{
    for (QAction* action : on->actions()) {
        if (action->objectName() == QLatin1String(name))
            action->setText(text);
    }
}

} // namespace

void add(QWidget& window, KeyPane& keys, HandoutPane& handouts,
         const std::function<void(const QStringList& tables)>& refill)
{
    // One action in the window (its shortcut works anywhere in it) and in the key list's menu.
    QAction* plan = addAction(&window, kPlan, [&keys, refill] { refill(lstSchluessel_Schliessplan(keys)); });
    plan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    plan->setShortcutContext(Qt::WindowShortcut);
    keys.lstSchluessel->addAction(plan);
    addAction(handouts.sprVergaben, kLoss, [&handouts] { sprVergaben_VerlustMelden(handouts); });
}

void setTexts(QWidget& window, HandoutPane& handouts)
{
    setText(&window, kPlan, GetText(QStringLiteral("Schließplan…"), 1972));
    setText(handouts.sprVergaben, kLoss, GetText(QStringLiteral("Verlust melden…"), 1973));
}

QStringList lstSchluessel_Schliessplan(KeyPane& keys)
{
    return DlgSchliessplan::open(&keys, keys.selectedKeyNumber());
}

void sprVergaben_VerlustMelden(HandoutPane& handouts)
{
    const int row = handouts.activeRow();
    const std::optional<qint32> bewId = handouts.vergaben->movement(row);
    if (!bewId)
        return;
    const VergabenModel::Values line = handouts.vergaben->line(row);
    QString copy = line.schluesselNr;
    if (!isBlank(line.zusatzNr))
        copy += QLatin1Char('/') + trimTrailingBlanks(line.zusatzNr);
    if (msgBox(GetText(QStringLiteral("Soll der Schlüssel %1 von %2 als verloren gemeldet werden? Er verlässt die "
                                      "Liste, und der Gesamtstand des Schlüssels sinkt um eins."),
                       1974)
                   .arg(copy, trimTrailingBlanks(line.person)),
               Messages::Icon::Question, Messages::Buttons::YesNo) != Messages::Answer::Yes)
        return;
    const bool recorded = Verlust::record(db(), *bewId, Clock::today());
    handouts.RefreshVergaben(false);
    if (!recorded) {
        msgBox(GetText(QStringLiteral("Dieser Schlüssel ist nicht mehr ausgegeben."), 1975),
               Messages::Icon::Exclamation);
        return;
    }
    const std::optional<Verlust::Report> report = Verlust::report(db(), *bewId);
    const QString title = GetText(QStringLiteral("Verlustmeldung"), 1920);
    // The file is named as a confirmation is: key number and additional number joined by a dash.
    Printout::run(QStringLiteral("Verlustmeldung"), QString(copy).replace(QLatin1Char('/'), QLatin1Char('-')),
                  title + QLatin1Char(' ') + copy, QMarginsF(1417, 1134, 850, 1134), [&](QPrinter& printer) {
                      QtLinePrinter printout(printer);
                      Verlust::print(printout, *report, app().AnlagenNr);
                      return !printout.failed();
                  });
}

} // namespace PlanMenus

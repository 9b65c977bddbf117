#pragma once

#include <QStringList>
#include <functional>

class HandoutPane;
class KeyPane;
class QWidget;

// The locking plan's entries in the main window: "Schließplan…" in the key list's context menu and as
// the window's shortcut Ctrl+L, "Verlust melden…" in the context menu of the list of copies out.
namespace PlanMenus {

// refill: the main window's lists follow the tables changed in the plan window.
void add(QWidget& window, KeyPane& keys, HandoutPane& handouts,
         const std::function<void(const QStringList& tables)>& refill);
// The entries' texts follow the language like the rest of the window.
void setTexts(QWidget& window, HandoutPane& handouts);

// What the entries do.
// The plan, at the selected key's column when one is selected; returns the tables changed meanwhile.
QStringList lstSchluessel_Schliessplan(KeyPane& keys);
// Asks, records the loss of the copy on the active line, refills the list and prints the loss report.
void sprVergaben_VerlustMelden(HandoutPane& handouts);

} // namespace PlanMenus

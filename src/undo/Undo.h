#pragma once

#include <QStringList>
#include <functional>
#include <utility>

class QAction;
class QUndoStack;
class QWidget;

// The program's one undo stack. Every change made to the register (RegisterChange) becomes a command on it
// for the whole run: undo takes the newest back, redo makes it again. Each checks first that the rows the
// change touched are still as it left them, then puts the other side back in one transaction, the journal
// recording what happened; when the rows have changed since, it is refused with a message and nothing is
// written. The stack is moved only through undo() and redo().
namespace Undo {

// Starts keeping the register's changes on an empty stack.
void keepChanges();
// Forgets every change and keeps no more (the register is closed).
void forget();

QUndoStack& stack();

// The tables the change touched, for the lists that show them; empty when there was nothing to do or the
// change was refused.
QStringList undo();
QStringList redo();

// "Rückgängig: Rückgabe", "Wiederholen: Vergabe", or the bare word when there is nothing to do; in the
// current language.
QString undoText();
QString redoText();

// Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) as actions of the window ("mnuRückgängig", "mnuWiederholen"), each
// named after the change it would take back or make again and enabled while there is one; after either,
// refill gets the tables that changed.
std::pair<QAction*, QAction*> addActions(QWidget& window, const std::function<void(const QStringList& tables)>& refill);
// Names the two again, in the current language.
void retitle(QAction& undoAction, QAction& redoAction);

} // namespace Undo

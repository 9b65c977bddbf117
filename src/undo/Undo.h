#pragma once

#include <QStringList>

class QUndoStack;

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

} // namespace Undo

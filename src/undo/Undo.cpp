#include "Undo.h"

#include "core/Messages.h"
#include "core/RegisterChange.h"
#include "core/Texts.h"

#include <QUndoStack>

namespace Undo {

namespace {

// One change on the stack. The stack's own undo() and redo() only move its index: the rows are put back
// first, by takeBack() or makeAgain(), which may be refused.
class Command : public QUndoCommand
{
public:
    Command(RegisterChange::Kind kind, RowChange change) : m_kind(kind), m_change(std::move(change)) {}

    void undo() override {}
    void redo() override {}

    RegisterChange::Kind kind() const { return m_kind; }
    QStringList tables() const { return m_change.tables(); }

    bool takeBack() const { return RegisterChange::takeBack(m_kind, m_change); }
    bool makeAgain() const { return RegisterChange::makeAgain(m_change); }

private:
    RegisterChange::Kind m_kind;
    RowChange m_change;
};

const Command* commandAt(int index)
{
    return index >= 0 && index < stack().count() ? static_cast<const Command*>(stack().command(index)) : nullptr;
}

} // namespace

QUndoStack& stack()
{
    static QUndoStack s;
    return s;
}

void keepChanges()
{
    stack().clear();
    RegisterChange::setKeeper(
        [](RegisterChange::Kind kind, RowChange change) { stack().push(new Command(kind, std::move(change))); });
}

void forget()
{
    RegisterChange::setKeeper({});
    stack().clear();
}

QStringList undo()
{
    const Command* command = commandAt(stack().index() - 1);
    if (!command)
        return {};
    if (!command->takeBack()) {
        msgBox(GetText(QStringLiteral("Rückgängig nicht möglich: die Daten wurden seither geändert."), 912),
               Messages::Icon::Exclamation);
        return {};
    }
    stack().undo();
    return command->tables();
}

QStringList redo()
{
    const Command* command = commandAt(stack().index());
    if (!command)
        return {};
    if (!command->makeAgain()) {
        msgBox(GetText(QStringLiteral("Wiederholen nicht möglich: die Daten wurden seither geändert."), 913),
               Messages::Icon::Exclamation);
        return {};
    }
    stack().redo();
    return command->tables();
}

QString undoText()
{
    const QString word = GetText(QStringLiteral("Rückgängig"), 910);
    const Command* command = commandAt(stack().index() - 1);
    return command ? word + QStringLiteral(": ") + RegisterChange::label(command->kind()) : word;
}

QString redoText()
{
    const QString word = GetText(QStringLiteral("Wiederholen"), 911);
    const Command* command = commandAt(stack().index());
    return command ? word + QStringLiteral(": ") + RegisterChange::label(command->kind()) : word;
}

} // namespace Undo

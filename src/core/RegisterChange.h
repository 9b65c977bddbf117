#pragma once

#include "RowChange.h"

#include <QList>
#include <functional>

// Every change the program makes to the register passes through here: its kind, the rows it touches and
// the statements that make it. The statements run in one transaction; a change that throws is rolled back
// whole. Whoever keeps the changes (the undo stack) is handed each one that changed a row, with its rows
// before and after, once it has been made; while nobody keeps them, no rows are read.
namespace RegisterChange {

enum class Kind {
    Vergabe,
    Rueckgabe,
    PersonAngelegt,
    PersonGeaendert,
    PersonStorniert,
    SchluesselAngelegt,
    SchluesselGeaendert,
    SchluesselGeloescht,
    Anlagennummer,
    Bestaetigung,
};

using Keeper = std::function<void(Kind, RowChange)>;
void setKeeper(Keeper keeper); // an empty keeper keeps nothing

void make(Kind kind, QList<RowChange::Scope> scopes, const std::function<void()>& statements);

// Takes a kept change back: its rows as they were before it, in one transaction, the journal recording the
// taking back itself (a "... zurückgenommen" entry) rather than the statements that do it. False, with
// nothing written, when the rows are no longer as the change left them.
bool takeBack(Kind kind, const RowChange& change);
// Makes it again: its rows as the change left them, the journal recording them as it recorded the change.
// False, with nothing written, when the rows are no longer as taking it back left them.
bool makeAgain(const RowChange& change);

// What the change is called in the current language ("Rückgabe").
QString label(Kind kind);

} // namespace RegisterChange

#pragma once

#include "persons/PersEntry.h"

#include <QDate>
#include <QString>
#include <optional>

class Database;

// What the handout button decides: a refusal, or the question to ask and the statement to run on Yes.
struct HandoutDecision
{
    enum class Focus { None, ZusatzNr, SchlSuch };

    QString refusal; // the message in the current language; empty when the handout may go ahead
    Focus focus = Focus::None;
    bool keyGone = false; // the selected key is no longer in the file: the key list needs a refill

    QString question; // in the current language
    QString insert;   // the movement to record

    bool refused() const { return !refusal.isEmpty(); }
};

// The checks of a handout in their order: a person selected, a key selected (and still there), the
// additional number the key requires and not out with another copy of it, a copy left in stock.
// keyNumber is empty when no key is selected; typedNumber is the additional-number field as typed.
HandoutDecision decideHandout(Database& db, const std::optional<PersEntry>& person, const QString& keyNumber,
                              const QString& typedNumber, const QDate& today);

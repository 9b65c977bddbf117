#pragma once

#include <QDate>
#include <QString>
#include <QVector>

// One movement in a history: a copy of a key handed out to a person, and whether and when it came back.
struct HistoryLine
{
    enum class Back { Out, Returned, Unknown }; // Unknown: returned before the journal was kept

    QDate out;
    Back back = Back::Out;
    QDate returned; // with Back::Returned
    QString keyNumber;
    QString zusatzNr;
    QString function;
    QString person;         // family name, a blank, given name
    QString personalNumber; // tells namesakes apart
    qint32 bewId = 0;
};

// One entry of the journal as the history window lists it: its local time ("2026-12-06 14:03:59"), its
// kind and its description in the current language.
struct JournalLine
{
    QString time;
    QString kind;
    QString description;
};

// Every movement of a person or a key, returned ones and those removed with their key included, newest
// first (by handout day, then by the order of the handouts). Read from the movements and the journal.
namespace History {

QVector<HistoryLine> ofPerson(qint32 persId);
QVector<HistoryLine> ofKey(const QString& keyNumber); // as the key is numbered now
QVector<HistoryLine> all();

// The journal's entries about a person (the person's own and those of its movements) or a key (its own
// under this number and the numbers it had before, and those of its movements), newest first.
QVector<JournalLine> entriesOfPerson(qint32 persId);
QVector<JournalLine> entriesOfKey(const QString& keyNumber);
QVector<JournalLine> entries();

} // namespace History

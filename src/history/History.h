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
    QString person; // family name, a blank, given name
    qint32 bewId = 0;
};

// Every movement of a person or a key, returned ones and those removed with their key included, newest
// first (by handout day, then by the order of the handouts). Read from the movements and the journal.
namespace History {

QVector<HistoryLine> ofPerson(qint32 persId);
QVector<HistoryLine> ofKey(const QString& keyNumber); // as the key is numbered now
QVector<HistoryLine> all();

} // namespace History

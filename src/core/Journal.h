#pragma once

#include <QString>
#include <QStringList>

// The register's journal, TBVerlauf: one row per handout, return, person or key change, written by
// triggers inside the file, so that every write records itself, from this program or from any other
// tool that opens the file. Rows are only ever added.
//
// Columns: VerlaufID, Zeitpunkt (local date and time as ISO text, "2026-12-06 14:03:59"), Ereignis
// (one of the kinds below), PersID, SchluesselNr and BewID where the entry concerns them, a readable
// German summary in Beschreibung, and, for movements, the copy's additional number, its handout day and
// the key's function as they were then (so a movement removed with its key stays in the history).
namespace Journal {

inline const QString kVergabe = QStringLiteral("Vergabe");
inline const QString kRueckgabe = QStringLiteral("Rückgabe");
inline const QString kBewegungGeloescht = QStringLiteral("Bewegung gelöscht");
inline const QString kPersonAngelegt = QStringLiteral("Person angelegt");
inline const QString kPersonGeaendert = QStringLiteral("Person geändert");
inline const QString kPersonStorniert = QStringLiteral("Person storniert");
inline const QString kSchluesselAngelegt = QStringLiteral("Schlüssel angelegt");
inline const QString kSchluesselGeaendert = QStringLiteral("Schlüssel geändert");
inline const QString kSchluesselGeloescht = QStringLiteral("Schlüssel gelöscht");

// The table, its indexes and its triggers: one schema upgrade. Released files hold exactly these
// statements, so they never change; a later upgrade that rebuilds one of the four tables must create
// that table's triggers again (triggerStatements).
QStringList createStatements();

// The triggers alone, for such an upgrade.
QStringList triggerStatements();

} // namespace Journal

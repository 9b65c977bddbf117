#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class VergabenModel;
class ProtokollModel;
class VerlaufModel;

// The lists as spreadsheet tables: a header row in the current language and the lines in the order
// given. Text loses the trailing blanks that saving appends (a spreadsheet would keep them and a
// filter on "Tor" would miss "Tor ").
struct CsvTable
{
    QStringList header;
    QList<QStringList> rows;
};

namespace Export {

inline const QString kPersonsFile = QStringLiteral("Personen.csv");
inline const QString kKeysFile = QStringLiteral("Schluessel.csv");
inline const QString kCopiesOutFile = QStringLiteral("Vergaben.csv");
inline const QString kHistoryFile = QStringLiteral("Verlauf.csv");
inline const QString kJournalFile = QStringLiteral("Protokoll.csv");

// Family name, given name, personnel number of the persons with these ids, in this order.
CsvTable persons(const QVector<qint32>& ids);
// The person list as it fills with an empty search.
QVector<qint32> personListIds();

// Key number, function, total, copies out and free copies of these keys, in this order.
CsvTable keys(const QStringList& keyNumbers);
// The key list as it fills with an empty search, in its order.
QStringList keyListNumbers();

// The shown columns of the handout grid as it shows them: its header texts, its lines in its order.
CsvTable copiesOut(const VergabenModel& grid);

// The lines of a history window as it shows them: its movements, or the journal's entries.
CsvTable history(const VerlaufModel& model);
CsvTable journal(const ProtokollModel& model);

// `clavaro --export-csv DIR`: opens app().databasePath like a start (openRegister) and writes the person list, the key
// list, the copies out (unfiltered, in the list's order), the history of every movement and the journal's entries.
// Reports to stderr; returns the exit code.
int toDirectory(const QString& dir);

} // namespace Export

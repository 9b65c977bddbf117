#pragma once

#include "JetFile.h"
#include "core/RegisterCheck.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Carrying a register kept by the Jet engine (its TBDB.MDB) over into a new register file of this program.
// Every row of the four tables is carried with its values; what the file holds that the register does not
// allow is decided per case and named in the report, never dropped silently:
// - rows that break the register's consistency (a movement's person or key is gone, more copies out than
//   exist, more than one header row) are carried as they are; clavaro --check names exactly these;
// - a text longer than its column is cut to the column, a character of code 0 is removed, a date's time of
//   day is dropped (the register keeps days), a date outside the years 1 to 9999 or a number that is no
//   whole 32-bit number is carried empty; a person or movement whose number is taken or missing gets the
//   next free number;
// - a key whose number equals that of a key carried before (in another case, or with blanks at its end) or
//   that has no number is not carried;
// - tables and columns the register does not know are not carried.
// The Jet file is only read.
namespace JetImport {

struct Report
{
    QString jetPath;
    QString registerPath;
    JetFile::Format format = JetFile::Format::Jet4;
    QList<QPair<QString, qint64>> carried; // each table and its rows carried
    RegisterCheck::Findings faulty;        // carried as they are
    QStringList changed;                   // one line each, in the user's language
    QStringList notCarried;
    QStringList ignored;
    qint64 moreChanged = 0; // beyond the lines listed
    qint64 moreNotCarried = 0;

    // The report as the user reads it, in the current language.
    QStringList lines() const;
};

// Writes the register carried over from the Jet file at jetPath into a new file at newPath, first under a
// temporary name beside it, renamed at the end: a failure leaves nothing that looks like a register. With
// asidePath, newPath is the Jet file's own place: the Jet file is renamed to asidePath just before the new
// register takes its place (and back when that fails). Throws JetError when the file cannot be carried over,
// SqlError when the new file cannot be written; nothing is left then.
Report carryOver(const QString& jetPath, const QString& newPath, const QString& asidePath = {});

// The message for a file that cannot be carried over: which file, why, and that it was left as it was.
QString refusal(const QString& jetPath, const JetError& error);

} // namespace JetImport

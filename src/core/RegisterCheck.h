#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class Database;

// clavaro --check FILE: what an administrator wants to know of a register before trusting it. The
// engine's integrity check, the text order its indexes were written in, and the register's own
// consistency: movements whose person or key is gone, keys with more copies out than exist, more than
// the one header row. The file is opened for reading only; nothing is written.
class RegisterCheck
{
public:
    struct Result
    {
        QStringList report; // lines for the terminal, the last one the verdict
        int problems = 0;   // 0: all is well
    };

    // One row that breaks the register's consistency, with the values that name it.
    struct Finding
    {
        enum class Kind {
            PersonGone, // BewID, SchluesselNr, PersonID
            KeyGone,    // BewID, SchluesselNr
            TooManyOut, // SchluesselNr, copies out, Gesamt
            HeaderRows, // the number of header rows, when more than one
        };
        Kind kind;
        QVariantList values;
        bool operator==(const Finding&) const = default;
    };

    // The findings of the consistency rules: the first ones of each kind, in the order run() reports them,
    // and how many there are of each kind.
    struct Findings
    {
        QList<Finding> listed;
        QList<qint64> counts = QList<qint64>(4); // by Finding::Kind
        qint64 total() const { return counts[0] + counts[1] + counts[2] + counts[3]; }
        bool operator==(const Findings&) const = default;
    };

    static Result run(const QString& path);

    // At most listedPerKind of each kind are kept, so a register with a million faulty rows costs little.
    static Findings consistency(Database& db, int listedPerKind);

    // A finding as the report shows it, in the current language.
    static QString line(const Finding& finding);
    // "... and 7 more", after the lines listed.
    static QString more(qint64 count);
};

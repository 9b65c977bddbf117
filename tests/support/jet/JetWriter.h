#pragma once
// A writer of Jet database files (the 1997 format and the 2000/2003 format) holding chosen tables and rows,
// for the import's tests and benchmark. It starts from an empty database of the format and adds the tables,
// their catalog rows and their data pages; it writes no indexes.
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

namespace JetWriter {

enum class Format { Jet3, Jet4 };

// Boolean: yes/no; Byte; Integer: 16-bit; Long: 32-bit; Double; DateTime; Text: `size` characters; Memo: long text.
enum class Type { Boolean, Byte, Integer, Long, Double, DateTime, Text, Memo };

struct Column
{
    QString name;
    Type type;
    int size = 0;
    bool autoNumber = false;
};

struct Table
{
    QString name;
    QList<Column> columns;
    qint64 rowCount = 0;
    // Row i (0-based), one QVariant per column: QString, bool, int/qint64, double, QDate or QDateTime;
    // a null QVariant() is Null. Called once per row, in order, so large tables stream.
    std::function<QVariantList(qint64 row)> row;
};

// Writes a new file (refuses to overwrite) holding these tables on top of the empty template of the format.
// Returns an empty string on success, else what went wrong.
QString write(const QString& path, Format format, const QList<Table>& tables);

// The four tables of a key register with the column types a site's file has, empty rows; fill rowCount/row.
QList<Table> registerTables();

// mdbtools' own reading of a table, to check a file against: the rows `mdb-export` gives, each value as it
// prints it (dates as 2026-12-05 14:30:00, yes/no as 1 and 0, numbers as C's printf), Null as a null QString.
// mdb-export prints an empty text as it prints Null, so an empty text comes back null too.
struct Export
{
    QStringList columns;
    QList<QStringList> rows;
    QString error; // empty when mdb-export read the table
};
Export exportTable(const QString& path, const QString& table);

} // namespace JetWriter

#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

class Database;

// The rows one change touched, as the engine stored them before and after it (every value with its storage
// class, and the row's rowid), so that the change can be taken back and made again exactly. The rows are
// named by scopes, read once before the change and once after it.
class RowChange
{
public:
    // Rows of one table: those the condition (the engine's own SQL) matches; with inserts, also the row the
    // change inserts into the table. The condition is read again after the change, so a row that comes to
    // match it (a new number typed for a key) belongs to the change too.
    struct Scope
    {
        QString table;
        QString where; // empty: no rows before the change
        bool inserts = false;
    };

    // A value as stored.
    struct Value
    {
        int type = 5; // the engine's storage class; 5 is null
        qint64 integer = 0;
        double real = 0;
        QByteArray bytes; // text as UTF-8, or a blob
        bool operator==(const Value&) const = default;
    };
    using Row = QVector<Value>; // in the table's column order

    // Reads the scopes' rows as they are before the change.
    void readBefore(Database& db, QList<Scope> scopes);
    // Reads the same rows (and the inserted ones) as the change left them.
    void readAfter(Database& db);

    enum class Side { Before, After };
    // Puts the rows back as they were on one side of the change, table by table in the scopes' order:
    // rows the other side lacks are inserted with their rowid, changed columns updated, rows this side lacks
    // deleted. False, with nothing written, when the rows are no longer as the other side left them. Throws
    // SqlError when the engine refuses a statement; the caller's transaction then rolls everything back.
    bool restore(Database& db, Side side) const;

    // False when every row is as it was: the statements changed nothing.
    bool changedRows() const;

    // The tables the change touched, in the scopes' order.
    QStringList tables() const;
    // A table's rows on one side, by rowid.
    const QMap<qint64, Row>& rows(const QString& table, Side side) const;
    // The table's column names, in the order of a row's values.
    QStringList columns(const QString& table) const;

private:
    struct Table
    {
        Scope scope;
        QStringList columns;
        int rowidColumn = -1; // the column that is the rowid itself (INTEGER PRIMARY KEY), else -1
        QMap<qint64, Row> before;
        QMap<qint64, Row> after;
    };
    const Table& table(const QString& name) const;

    QList<Table> m_tables;
};

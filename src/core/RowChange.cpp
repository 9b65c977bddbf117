#include "RowChange.h"

#include "Database.h"
#include "Statement.h"

#include <QSet>
#include <algorithm>
#include <functional>
#include <sqlite3.h>

namespace {

Statement prepare(Database& db, const QString& sql)
{
    return Statement(db.handle(), sql.toUtf8().constData());
}

void bind(Statement& statement, int index, const RowChange::Value& v)
{
    sqlite3_stmt* stmt = statement.handle();
    switch (v.type) {
    case SQLITE_INTEGER:
        sqlite3_bind_int64(stmt, index, v.integer);
        break;
    case SQLITE_FLOAT:
        sqlite3_bind_double(stmt, index, v.real);
        break;
    case SQLITE_TEXT:
        sqlite3_bind_text(stmt, index, v.bytes.constData(), int(v.bytes.size()), SQLITE_STATIC);
        break;
    case SQLITE_BLOB:
        sqlite3_bind_blob(stmt, index, v.bytes.constData(), int(v.bytes.size()), SQLITE_STATIC);
        break;
    default:
        sqlite3_bind_null(stmt, index);
    }
}

RowChange::Value valueAt(sqlite3_stmt* stmt, int column)
{
    RowChange::Value v;
    v.type = sqlite3_column_type(stmt, column);
    switch (v.type) {
    case SQLITE_INTEGER:
        v.integer = sqlite3_column_int64(stmt, column);
        break;
    case SQLITE_FLOAT:
        v.real = sqlite3_column_double(stmt, column);
        break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        const void* data = v.type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_column_text(stmt, column))
                                                 : sqlite3_column_blob(stmt, column);
        v.bytes = QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt, column));
        break;
    }
    default:
        break;
    }
    return v;
}

// The rows a statement of the form "SELECT rowid, * ..." yields, by rowid.
void readRows(Statement& select, QMap<qint64, RowChange::Row>& into)
{
    sqlite3_stmt* stmt = select.handle();
    const int columns = sqlite3_column_count(stmt);
    while (select.next()) {
        RowChange::Row row;
        row.reserve(columns - 1);
        for (int c = 1; c < columns; ++c)
            row.append(valueAt(stmt, c));
        into.insert(sqlite3_column_int64(stmt, 0), std::move(row));
    }
}

// Runs work(first, count) over n rows in groups that take at most kParameters parameters of width each:
// thousands of rows in a few statements rather than one each. Every statement of a transaction on a table
// with triggers keeps a journal of its own, which costs more than the row.
void inGroups(qsizetype n, int width, const std::function<void(qsizetype, qsizetype)>& work)
{
    constexpr qsizetype kParameters = 999; // the least any build of the engine allows
    const qsizetype group = std::max<qsizetype>(1, kParameters / width);
    for (qsizetype first = 0; first < n; first += group)
        work(first, std::min(group, n - first));
}

// "?, ?, ?" for one value each, or "(?, ?), (?, ?)" for rows of width values.
QString placeholders(qsizetype rows, int width)
{
    const QString row = QStringList(width, QStringLiteral("?")).join(QStringLiteral(", "));
    if (width == 1)
        return QStringList(rows, row).join(QStringLiteral(", "));
    return QStringList(rows, QLatin1Char('(') + row + QLatin1Char(')')).join(QStringLiteral(", "));
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString selectRows(const QString& table)
{
    return QStringLiteral("SELECT rowid, * FROM ") + quoted(table);
}

} // namespace

void RowChange::readBefore(Database& db, QList<Scope> scopes)
{
    m_tables.clear();
    for (Scope& scope : scopes) {
        Table& t = m_tables.emplace_back();
        Statement info = prepare(db, QStringLiteral("PRAGMA table_info(") + quoted(scope.table) + QLatin1Char(')'));
        int keyColumns = 0;
        while (info.next()) {
            t.columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.handle(), 1)));
            if (sqlite3_column_int(info.handle(), 5) > 0) {
                ++keyColumns;
                const QByteArray type(reinterpret_cast<const char*>(sqlite3_column_text(info.handle(), 2)));
                t.rowidColumn = type.compare("INTEGER", Qt::CaseInsensitive) == 0 ? int(t.columns.size()) - 1 : -1;
            }
        }
        if (keyColumns != 1)
            t.rowidColumn = -1;
        if (!scope.where.isEmpty()) {
            Statement select = prepare(db, selectRows(scope.table) + QStringLiteral(" WHERE ") + scope.where);
            readRows(select, t.before);
        }
        t.scope = std::move(scope);
    }
}

void RowChange::readAfter(Database& db)
{
    for (Table& t : m_tables) {
        t.after.clear();
        if (!t.scope.where.isEmpty()) {
            Statement select = prepare(db, selectRows(t.scope.table) + QStringLiteral(" WHERE ") + t.scope.where);
            readRows(select, t.after);
        }
        QList<qint64> rowids = t.before.keys();
        if (t.scope.inserts)
            rowids.append(sqlite3_last_insert_rowid(db.handle()));
        Statement byRowid = prepare(db, selectRows(t.scope.table) + QStringLiteral(" WHERE rowid = ?"));
        for (const qint64 rowid : std::as_const(rowids)) {
            if (t.after.contains(rowid))
                continue;
            byRowid.number(1, rowid);
            readRows(byRowid, t.after);
        }
    }
}

bool RowChange::restore(Database& db, Side side) const
{
    // First look, then write: the rows must all be as the other side left them.
    for (const Table& t : m_tables) {
        const QMap<qint64, Row>& now = side == Side::Before ? t.after : t.before;
        const QMap<qint64, Row>& then = side == Side::Before ? t.before : t.after;
        QSet<qint64> rowids(now.keyBegin(), now.keyEnd());
        for (auto it = then.keyBegin(); it != then.keyEnd(); ++it)
            rowids.insert(*it);
        Statement byRowid = prepare(db, selectRows(t.scope.table) + QStringLiteral(" WHERE rowid = ?"));
        for (const qint64 rowid : std::as_const(rowids)) {
            byRowid.number(1, rowid);
            QMap<qint64, Row> found;
            readRows(byRowid, found);
            const auto expected = now.constFind(rowid);
            if (found.isEmpty() != (expected == now.cend()) || (!found.isEmpty() && found.first() != *expected))
                return false;
        }
    }

    for (const Table& t : m_tables) {
        const QMap<qint64, Row>& now = side == Side::Before ? t.after : t.before;
        const QMap<qint64, Row>& then = side == Side::Before ? t.before : t.after;
        const QString table = quoted(t.scope.table);
        // Deletes first, so that a value that must be unique is free again before it comes back.
        QList<qint64> gone;
        for (auto it = now.keyBegin(); it != now.keyEnd(); ++it) {
            if (!then.contains(*it))
                gone << *it;
        }
        inGroups(gone.size(), 1, [&](qsizetype first, qsizetype count) {
            Statement remove = prepare(db, QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE rowid IN (") +
                                               placeholders(count, 1) + QLatin1Char(')'));
            for (qsizetype i = 0; i < count; ++i)
                remove.number(int(i) + 1, gone.at(first + i));
            remove.run();
        });
        for (auto it = then.cbegin(); it != then.cend(); ++it) {
            const auto current = now.constFind(it.key());
            if (current == now.cend())
                continue;
            // Only the columns that differ, so that a trigger on an unchanged column does not run.
            QStringList set;
            QList<int> changed;
            for (int c = 0; c < t.columns.size(); ++c) {
                if (current->at(c) != it->at(c)) {
                    set << quoted(t.columns.at(c)) + QStringLiteral(" = ?");
                    changed << c;
                }
            }
            if (changed.isEmpty())
                continue;
            Statement update = prepare(db, QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                                               set.join(QStringLiteral(", ")) + QStringLiteral(" WHERE rowid = ?"));
            for (int i = 0; i < changed.size(); ++i)
                bind(update, i + 1, it->at(changed.at(i)));
            update.number(int(changed.size()) + 1, it.key());
            update.run();
        }
        // A table whose rowid is a column of its own gets it through that column.
        QStringList names;
        for (const QString& column : t.columns)
            names << quoted(column);
        const bool rowidApart = t.rowidColumn < 0;
        if (rowidApart)
            names.prepend(QStringLiteral("rowid"));
        QList<QMap<qint64, Row>::const_iterator> back;
        for (auto it = then.cbegin(); it != then.cend(); ++it) {
            if (!now.contains(it.key()))
                back << it;
        }
        const int width = int(names.size());
        inGroups(back.size(), width, [&](qsizetype first, qsizetype count) {
            Statement insert = prepare(db, QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
                                               names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES ") +
                                               placeholders(count, width));
            int index = 1;
            for (qsizetype i = first; i < first + count; ++i) {
                if (rowidApart)
                    insert.number(index++, back.at(i).key());
                for (const Value& v : *back.at(i))
                    bind(insert, index++, v);
            }
            insert.run();
        });
    }
    return true;
}

bool RowChange::changedRows() const
{
    return std::any_of(m_tables.cbegin(), m_tables.cend(), [](const Table& t) { return t.before != t.after; });
}

QStringList RowChange::tables() const
{
    QStringList names;
    for (const Table& t : m_tables) {
        if (t.before != t.after)
            names << t.scope.table;
    }
    return names;
}

const RowChange::Table& RowChange::table(const QString& name) const
{
    for (const Table& t : m_tables) {
        if (t.scope.table == name)
            return t;
    }
    static const Table none;
    return none;
}

const QMap<qint64, RowChange::Row>& RowChange::rows(const QString& table, Side side) const
{
    const Table& t = this->table(table);
    return side == Side::Before ? t.before : t.after;
}

QStringList RowChange::columns(const QString& table) const
{
    return this->table(table).columns;
}

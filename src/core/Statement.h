#pragma once

#include "SqlError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <sqlite3.h>

// One prepared statement of the engine's own SQL, run many times with new values: for writing or reading
// many rows at once (the demo data, converting a register, carrying one over from a Jet file, putting back
// the rows of a change), where the program's statement texts would be translated and prepared anew for every row.
class Statement
{
public:
    Statement(sqlite3* db, const char* sql) : m_db(db) { check(sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr)); }
    Statement(sqlite3* db, const QString& sql) : Statement(db, sql.toUtf8().constData()) {}
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // The buffers must live until run() returns.
    void text(int index, QByteArrayView value)
    {
        check(sqlite3_bind_text(m_stmt, index, value.constData(), static_cast<int>(value.size()), SQLITE_STATIC));
    }
    void number(int index, qint64 value) { check(sqlite3_bind_int64(m_stmt, index, value)); }
    void null(int index) { check(sqlite3_bind_null(m_stmt, index)); }
    // A value as the program reads it: Null, a number, or text (anything else as its text).
    void bind(int index, const QVariant& value)
    {
        if (value.isNull())
            check(sqlite3_bind_null(m_stmt, index));
        else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
                 value.typeId() == QMetaType::Bool)
            check(sqlite3_bind_int64(m_stmt, index, value.toLongLong()));
        else
            check(sqlite3_bind_text(m_stmt, index, value.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT));
    }
    void run()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_DONE)
            check(rc);
        sqlite3_reset(m_stmt);
    }
    // Runs and returns the engine's extended result code, SQLITE_DONE when the row was written: for loads
    // that decide per row what a refused value (a constraint) means.
    int tryRun()
    {
        int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_DONE)
            rc = sqlite3_extended_errcode(m_db);
        sqlite3_reset(m_stmt);
        return rc;
    }
    // For a query: true while it yields a row, whose columns are read through handle(); false at its end,
    // when it is ready to run again.
    bool next()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        sqlite3_reset(m_stmt);
        if (rc != SQLITE_DONE)
            check(rc);
        return false;
    }
    sqlite3_stmt* handle() const { return m_stmt; }
    // A text column of the current row without a copy: valid until the next step. A key that outlives
    // the row must be copied (QByteArray(view.constData(), view.size())).
    QByteArray textView(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return QByteArray::fromRawData(text, sqlite3_column_bytes(m_stmt, column));
    }

private:
    void check(int rc) const
    {
        if (rc != SQLITE_OK)
            throw SqlError(rc & 0xff, QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

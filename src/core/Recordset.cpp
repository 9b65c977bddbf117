#include "Recordset.h"

#include "SqlError.h"
#include "Utf8.h"

#include <QDate>
#include <limits>
#include <sqlite3.h>
#include <utility>

Recordset::Recordset(sqlite3_stmt* statement, const QString& sql) : m_stmt(statement), m_sql(sql), m_eof(false)
{
    const int columns = sqlite3_column_count(m_stmt);
    for (int i = 0; i < columns; ++i) {
        m_names.append(Utf8::decode(sqlite3_column_name(m_stmt, i)));
        const QByteArray type = QByteArray(sqlite3_column_decltype(m_stmt, i)).toUpper();
        m_kinds.append(type == "DATE" ? Kind::Date : type == "BOOLEAN" ? Kind::YesNo : Kind::Plain);
    }
    step();
}

Recordset::Recordset(Recordset&& other) noexcept
{
    *this = std::move(other);
}

Recordset& Recordset::operator=(Recordset&& other) noexcept
{
    std::swap(m_stmt, other.m_stmt);
    std::swap(m_sql, other.m_sql);
    std::swap(m_names, other.m_names);
    std::swap(m_kinds, other.m_kinds);
    std::swap(m_eof, other.m_eof);
    std::swap(m_count, other.m_count);
    return *this;
}

Recordset::~Recordset()
{
    close();
}

void Recordset::close()
{
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_eof = true;
}

void Recordset::fail(int rc)
{
    sqlite3* db = sqlite3_db_handle(m_stmt);
    const SqlError error(rc & 0xff, Utf8::decode(sqlite3_errmsg(db)), m_sql);
    close();
    throw error;
}

void Recordset::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        ++m_count;
    } else if (rc == SQLITE_DONE) {
        // The rows are gone; release the statement at once rather than when the set is closed.
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_eof = true;
    } else {
        fail(rc);
    }
}

void Recordset::moveNext()
{
    if (m_eof)
        throw SqlError(SQLITE_MISUSE, QStringLiteral("no current record"), m_sql);
    step();
}

int Recordset::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    // "TBSchluessel.SchluesselNr" is named "SchluesselNr" in the result.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? indexOf(name.mid(dot + 1)) : -1;
}

QVariant Recordset::field(const QString& name) const
{
    return field(fieldIndex(name));
}

int Recordset::fieldIndex(const QString& name) const
{
    const int index = indexOf(name);
    if (index < 0)
        throw SqlError(SQLITE_RANGE, QStringLiteral("item not found in this collection: %1").arg(name), m_sql);
    return index;
}

void Recordset::checkField(int index) const
{
    if (m_eof)
        throw SqlError(SQLITE_MISUSE, QStringLiteral("no current record"), m_sql);
    if (index < 0 || index >= m_names.size())
        throw SqlError(SQLITE_RANGE, QStringLiteral("item not found in this collection: %1").arg(index), m_sql);
}

QVariant Recordset::field(int index) const
{
    checkField(index);
    const Kind kind = m_kinds[index];
    switch (sqlite3_column_type(m_stmt, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER: {
        const qint64 value = sqlite3_column_int64(m_stmt, index);
        if (kind == Kind::YesNo)
            return value != 0;
        if (value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max())
            return static_cast<int>(value);
        return value;
    }
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, index);
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, index));
        return QByteArray(data, sqlite3_column_bytes(m_stmt, index));
    }
    default: {
        const QByteArrayView bytes = textBytes(index);
        if (kind == Kind::Date) {
            if (const std::optional<QDate> day = isoDate(bytes))
                return *day;
        }
        return Utf8::decode(bytes);
    }
    }
}

QByteArrayView Recordset::bytes(int index) const
{
    checkField(index);
    return textBytes(index);
}

QByteArrayView Recordset::textBytes(int index) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
    return data ? QByteArrayView(data, sqlite3_column_bytes(m_stmt, index)) : QByteArrayView();
}

std::optional<QDate> Recordset::isoDate(QByteArrayView text)
{
    // 'yyyy-MM-dd', as the dialect writes every date; read by hand, since this runs for every row of a
    // long list and the general date parser costs many times more.
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return std::nullopt;
            parts[p] = parts[p] * 10 + (text[i] - '0');
        }
    }
    const QDate day(parts[0], parts[1], parts[2]);
    return day.isValid() ? std::optional<QDate>(day) : std::nullopt;
}

QString Recordset::text(int index) const
{
    checkField(index);
    const QByteArrayView bytes = textBytes(index);
    return bytes.data() ? Utf8::decode(bytes) : QString();
}

QDate Recordset::date(int index) const
{
    checkField(index);
    return isoDate(textBytes(index)).value_or(QDate());
}

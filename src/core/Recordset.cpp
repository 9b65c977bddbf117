#include "Recordset.h"

// Placeholder until the store lands.
Recordset::Recordset(sqlite3_stmt* statement, const QString& sql) : m_stmt(statement), m_sql(sql) {}
Recordset::Recordset(Recordset&& other) noexcept { *this = std::move(other); }
Recordset& Recordset::operator=(Recordset&& other) noexcept
{
    std::swap(m_stmt, other.m_stmt);
    std::swap(m_sql, other.m_sql);
    std::swap(m_names, other.m_names);
    std::swap(m_eof, other.m_eof);
    std::swap(m_count, other.m_count);
    return *this;
}
Recordset::~Recordset() = default;
QVariant Recordset::field(int) const { return {}; }
QVariant Recordset::field(const QString&) const { return {}; }
void Recordset::moveNext() {}
void Recordset::close() {}
void Recordset::step() {}

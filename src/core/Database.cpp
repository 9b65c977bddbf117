#include "Database.h"

#include "SqlError.h"

// Placeholder until the store lands.
std::unique_ptr<Database> Database::open(const QString&) { throw SqlError(1, QStringLiteral("not implemented")); }
void Database::create(const QString&) { throw SqlError(1, QStringLiteral("not implemented")); }
Database::Database(sqlite3* db) : m_db(db) {}
Database::~Database() = default;
void Database::execute(const QString&, bool) { throw SqlError(1, QStringLiteral("not implemented")); }
Recordset Database::openRecordset(const QString&) { throw SqlError(1, QStringLiteral("not implemented")); }
QString Database::translate(const QString& sql) const { return sql; }
void Database::runPlain(const char*) {}
Database::Transaction::Transaction(Database& db) : m_db(db) {}
Database::Transaction::~Transaction() = default;
void Database::Transaction::commit() { m_done = true; }

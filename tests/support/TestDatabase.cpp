#include "TestDatabase.h"

#include "core/AppState.h"
#include "core/Database.h"

TestDatabase::TestDatabase() : m_path(m_dir.filePath(QStringLiteral("TBDB.MDB")))
{
    Database::create(m_path);
    app().DB = Database::open(m_path);
    app().Sprache = QStringLiteral("DE");
    app().AnlagenNr = QStringLiteral("4711");
    app().databasePath = m_path;
}

TestDatabase::~TestDatabase()
{
    app().DB.reset();
}

void TestDatabase::exec(const QString& sql)
{
    app().DB->execute(sql);
}

QVariant TestDatabase::scalar(const QString& sql)
{
    Recordset rs = app().DB->openRecordset(sql);
    return rs.eof() ? QVariant() : rs.field(0);
}

int TestDatabase::count(const QString& table, const QString& where)
{
    QString sql = QStringLiteral("SELECT Count(*) FROM ") + table;
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    return scalar(sql).toInt();
}

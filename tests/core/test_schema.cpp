// A register written by an earlier version is brought up to date at open, once, and then holds the same
// tables, indexes and triggers as a register created new.
#include "core/AppState.h"
#include "core/Schema.h"
#include "support/TestMain.h"

#include <QTemporaryDir>

class TestSchema : public QObject
{
    Q_OBJECT

    static QStringList schema(Database& db)
    {
        QStringList objects;
        Recordset rs = db.openRecordset(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name"));
        for (; !rs.eof(); rs.moveNext())
            objects << rs.field(0).toString() + ' ' + rs.field(1).toString() + ' ' + rs.field(2).toString();
        return objects;
    }
    static int version(Database& db)
    {
        return db.openRecordset(QStringLiteral("PRAGMA user_version")).field(0).toInt();
    }

private Q_SLOTS:
    void everyOlderVersionIsUpgradedOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new.MDB"));
        Database::create(path);
        const QStringList current = schema(*Database::open(path));
        for (int from = 0; from < Schema::version(); ++from) {
            const QString older = dir.filePath(QStringLiteral("v%1.MDB").arg(from));
            Database::createAtVersion(older, from);
            auto db = Database::open(older);
            QCOMPARE(version(*db), from);
            Schema::upgrade(*db);
            QCOMPARE(schema(*db), current);
            QCOMPARE(version(*db), Schema::version());

            QStringList statements;
            db->setObserver([&](const QString& written, const QString&) { statements << written; });
            Schema::upgrade(*db);
            QCOMPARE(statements, QStringList{QStringLiteral("PRAGMA user_version")});
        }
    }
};

CLAVARO_TEST_MAIN(TestSchema)
#include "test_schema.moc"

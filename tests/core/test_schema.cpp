// An older register is upgraded once, to exactly the schema of a register created new.
#include "core/Schema.h"
#include "support/Query.h"
#include "support/TestMain.h"

#include <QTemporaryDir>

class TestSchema : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyOlderVersionIsUpgradedOnce()
    {
        const QString objects =
            QStringLiteral("SELECT printf('%s %s %s', type, name, sql) FROM sqlite_master ORDER BY name");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new.MDB"));
        Database::create(path);
        const QString current = column(*Database::open(path), objects);
        for (int from = 0; from < Schema::version(); ++from) {
            const QString older = dir.filePath(QStringLiteral("v%1.MDB").arg(from));
            Database::createAtVersion(older, from);
            auto db = Database::open(older);
            QCOMPARE(column(*db, "PRAGMA user_version"), QString::number(from));
            Schema::upgrade(*db);
            QCOMPARE(column(*db, objects), current);
            QCOMPARE(column(*db, "PRAGMA user_version"), QString::number(Schema::version()));

            // Once up to date, nothing is written again.
            const QString schema = column(*db, "PRAGMA schema_version");
            Schema::upgrade(*db);
            QCOMPARE(column(*db, "PRAGMA schema_version"), schema);
        }
    }
};

CLAVARO_TEST_MAIN(TestSchema)
#include "test_schema.moc"

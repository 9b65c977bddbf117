// An older register is upgraded once, to exactly the schema of a register created new; the text limits the
// program reads are those the register's CHECKs hold.
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
        // An index and a trigger may share a name; their places in sqlite_master move when the file is compacted.
        const QString objects =
            QStringLiteral("SELECT printf('%s %s %s', type, name, sql) FROM sqlite_master ORDER BY name, type");
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

    void textLimitsAreTheChecks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new.MDB"));
        Database::create(path);
        auto db = Database::open(path);
        int keys = 0;
        for (const QString& table : Schema::tables()) {
            const QStringList texts =
                column(*db, "SELECT name FROM pragma_table_info('" + table + "') WHERE type = 'TEXT'").split(u'|');
            for (const QString& name : texts) {
                const int limit = Schema::textLimit(table, name);
                // A key needs its number; every other column goes in alone.
                const bool key = table == "TBSchluessel" && name != "SchluesselNr";
                const auto insert = [&](int length) {
                    return refusal([&] {
                        db->execute(QStringLiteral("INSERT INTO %1 (%2%3) VALUES ('%4'%5)")
                                        .arg(table, name, key ? ", SchluesselNr" : "", QString(length, u'ü'),
                                             key ? QStringLiteral(", 'K%1'").arg(++keys) : QString()));
                    });
                };
                QCOMPARE(insert(limit > 0 ? limit : 1000), QString());
                QCOMPARE(insert(limit > 0 ? limit + 1 : 1000).isEmpty(), limit == 0);
            }
        }
    }
};

CLAVARO_TEST_MAIN(TestSchema)
#include "test_schema.moc"

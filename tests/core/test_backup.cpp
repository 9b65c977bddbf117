// The daily copy of the register at the start: which copies stay, and the copies themselves.
#include "core/Backup.h"
#include "core/Clock.h"
#include "core/Startup.h"
#include "support/Query.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <memory>

class TestBackup : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    QString m_path;

    bool start(const QDate& day)
    {
        Clock::setToday(day);
        const bool opened = OpenDb();
        app().DB.reset();
        return opened;
    }

    QStringList copies() const { return QDir(Backup::folderFor(m_path)).entryList(QDir::Files, QDir::Name); }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_db->exec("INSERT INTO TBKopfdaten (AnlagenNr) VALUES('4711')");
        app().DB.reset();
        m_path = m_db->path();
    }
    void cleanup()
    {
        m_db.reset();
        app().backupAtStart = true;
        Clock::setToday(std::nullopt);
    }

    // Daily starts from 2026: at the end the last 14 days and each of the 12 months' newest copy (from firstMonth).
    void rotationOverASimulatedYear_data()
    {
        QTest::addColumn<QDate>("end");
        QTest::addColumn<bool>("holiday"); // closed from 10 December to 20 January
        QTest::addColumn<int>("firstMonth");
        QTest::addColumn<QList<int>>("monthly");
        QTest::newRow("every day") << QDate(2027, 2, 5) << false << 2
                                   << QList<int>{28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        QTest::newRow("long holiday") << QDate(2027, 1, 25) << true << 1
                                      << QList<int>{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 9};
    }
    void rotationOverASimulatedYear()
    {
        QFETCH(QDate, end);
        QFETCH(bool, holiday);
        QFETCH(int, firstMonth);
        QFETCH(QList<int>, monthly);
        QList<QDate> kept;
        QList<QDate> expected;
        for (int i = 0; i < monthly.size(); ++i)
            expected << QDate(2026, firstMonth + i, monthly[i]);
        for (QDate today(2026, 1, 1); today <= end; today = today.addDays(1)) {
            if (holiday && today >= QDate(2026, 12, 10) && today <= QDate(2027, 1, 20))
                continue;
            kept << today;
            for (const QDate& day : Backup::expired(kept, today)) {
                QVERIFY2(day < today.addDays(-13), qPrintable(day.toString(Qt::ISODate)));
                kept.removeOne(day);
            }
            if (today > end.addDays(-14))
                expected << today;
        }
        QCOMPARE(kept, expected);
    }

    // A copy dated after today (the clock was off) stays; older than a year goes, however few copies there are.
    void strayCopies()
    {
        QCOMPARE(Backup::expired({QDate(2027, 3, 1), QDate(2025, 11, 30), QDate(2025, 12, 31)}, QDate(2026, 12, 6)),
                 QList<QDate>{QDate(2025, 11, 30)});
    }

    // One copy a day as the register was at the day's first start; a failed copy: one message, nothing removed.
    void startsAndTheirCopies()
    {
        ScriptedMessages messages;
        app().backupAtStart = false;
        QVERIFY(start(QDate(2026, 12, 5)));
        const QDir folder(Backup::folderFor(m_path));
        QVERIFY(!folder.exists());
        app().backupAtStart = true;
        QVERIFY(start(QDate(2026, 12, 6)));
        Database::open(m_path)->execute("INSERT INTO TBPersonen (Nachname, Storniert) VALUES('Meier', False)");
        for (const QDate& day : {QDate(2026, 12, 6), QDate(2026, 12, 7), QDate(2026, 12, 9)})
            QVERIFY(start(day));
        const QStringList three{"TBDB-2026-12-06.MDB", "TBDB-2026-12-07.MDB", "TBDB-2026-12-09.MDB"};
        QCOMPARE(copies(), three);
        QVERIFY(messages.shown.isEmpty());
        for (const auto& [name, persons] : {std::pair{"TBDB-2026-12-06.MDB", 0}, std::pair{"TBDB-2026-12-09.MDB", 1}}) {
            auto copy = Database::open(folder.filePath(QString::fromLatin1(name)));
            QCOMPARE(column(*copy, "PRAGMA integrity_check"), "ok");
            QCOMPARE(column(*copy, "SELECT Count(*) FROM TBPersonen"), QString::number(persons));
        }

        QVERIFY(QDir().mkpath(folder.filePath("TBDB-2026-12-10.MDB.partial/x")));
        QVERIFY(QFile(folder.filePath("TBDB-2024-01-31.MDB")).open(QIODevice::WriteOnly));
        QVERIFY(start(QDate(2026, 12, 10)));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.lastText().startsWith("Die Sicherungskopie des Registers konnte nicht angelegt werden:\r\n"));
        QCOMPARE(copies(), QStringList{"TBDB-2024-01-31.MDB"} + three);
    }
};

CLAVARO_TEST_MAIN(TestBackup)
#include "test_backup.moc"

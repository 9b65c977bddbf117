// The daily copy of the register at the start: which copies stay, and the copies themselves.
#include "core/AppState.h"
#include "core/Backup.h"
#include "core/Clock.h"
#include "core/Database.h"
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

    // A start every day (or every working day, or with a long holiday) from January 2026 on; each start adds
    // its copy and removes what has expired. At the end: the last 14 days, and the newest copy of each of the 12
    // months before (the days of those months given from firstMonth of 2026 on).
    void rotationOverASimulatedYear_data()
    {
        QTest::addColumn<QDate>("end");
        QTest::addColumn<bool>("weekdaysOnly");
        QTest::addColumn<bool>("holiday"); // closed from 10 December to 20 January
        QTest::addColumn<int>("firstMonth");
        QTest::addColumn<QList<int>>("monthly");
        QTest::newRow("every day") << QDate(2027, 2, 5) << false << false << 2
                                   << QList<int>{28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        QTest::newRow("working days") << QDate(2027, 2, 5) << true << false << 2
                                      << QList<int>{27, 31, 30, 29, 30, 31, 31, 30, 30, 30, 31};
        QTest::newRow("long holiday") << QDate(2027, 1, 25) << false << true << 1
                                      << QList<int>{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 9};
    }
    void rotationOverASimulatedYear()
    {
        QFETCH(QDate, end);
        QFETCH(bool, weekdaysOnly);
        QFETCH(bool, holiday);
        QFETCH(int, firstMonth);
        QFETCH(QList<int>, monthly);
        QList<QDate> kept;
        QList<QDate> expected;
        for (int i = 0; i < monthly.size(); ++i)
            expected << QDate(2026, firstMonth + i, monthly[i]);
        for (QDate today(2026, 1, 1); today <= end; today = today.addDays(1)) {
            if ((weekdaysOnly && today.dayOfWeek() > 5) ||
                (holiday && today >= QDate(2026, 12, 10) && today <= QDate(2027, 1, 20)))
                continue;
            kept << today;
            for (const QDate& day : Backup::expired(kept, today)) {
                QVERIFY2(day < today.addDays(-13), qPrintable(day.toString(Qt::ISODate)));
                kept.removeOne(day);
            }
            QVERIFY(kept.size() <= 26);
            if (today > end.addDays(-14))
                expected << today;
        }
        QCOMPARE(kept, expected);
    }

    // A copy dated after today (the clock was off) stays; older than a year goes, however few copies there are.
    void strayCopies()
    {
        const QDate today(2026, 12, 6);
        QCOMPARE(Backup::expired({QDate(2027, 3, 1), QDate(2025, 11, 30), QDate(2025, 12, 31)}, today),
                 QList<QDate>{QDate(2025, 11, 30)});
    }

    // Three starts on three days leave three copies, each the register as it was at that start; a second
    // start on a day keeps the day's first copy, and a start without backups leaves none.
    void threeStartsThreeCopies()
    {
        ScriptedMessages messages;
        app().backupAtStart = false;
        QVERIFY(start(QDate(2026, 12, 5)));
        QVERIFY(!QFileInfo::exists(Backup::folderFor(m_path)));
        app().backupAtStart = true;
        QVERIFY(start(QDate(2026, 12, 6)));
        Database::open(m_path)->execute("INSERT INTO TBPersonen (Nachname, Storniert) VALUES('Meier', False)");
        for (const QDate& day : {QDate(2026, 12, 6), QDate(2026, 12, 7), QDate(2026, 12, 9)})
            QVERIFY(start(day));
        QCOMPARE(copies(), (QStringList{"TBDB-2026-12-06.MDB", "TBDB-2026-12-07.MDB", "TBDB-2026-12-09.MDB"}));
        QVERIFY(messages.shown.isEmpty());
        for (const auto& [name, persons] : {std::pair{"TBDB-2026-12-06.MDB", 0}, std::pair{"TBDB-2026-12-09.MDB", 1}}) {
            auto copy = Database::open(QDir(Backup::folderFor(m_path)).filePath(QString::fromLatin1(name)));
            QCOMPARE(column(*copy, "PRAGMA integrity_check"), "ok");
            QCOMPARE(column(*copy, "SELECT Count(*) FROM TBPersonen"), QString::number(persons));
        }
    }

    // A copy that cannot be written: one message, a normal start, and no older copy removed for it.
    void failedBackupStartsNormally()
    {
        const QString folder = Backup::folderFor(m_path);
        QVERIFY(QDir().mkpath(folder + "/TBDB-2026-12-06.MDB.partial/x"));
        QVERIFY(QFile(folder + "/TBDB-2024-01-31.MDB").open(QIODevice::WriteOnly));
        ScriptedMessages messages;
        Clock::setToday(QDate(2026, 12, 6));
        QVERIFY(OpenDb() && app().DB);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().icon, Messages::Icon::Exclamation);
        QVERIFY(messages.lastText().startsWith("Die Sicherungskopie des Registers konnte nicht angelegt werden:\r\n"));
        QCOMPARE(copies(), QStringList{"TBDB-2024-01-31.MDB"});
    }
};

CLAVARO_TEST_MAIN(TestBackup)
#include "test_backup.moc"

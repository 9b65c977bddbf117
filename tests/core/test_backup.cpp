// The daily copy of the register at the start: which copies stay, and the copies themselves.
#include "core/AppState.h"
#include "core/Backup.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Startup.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <memory>

namespace {

bool open(const QDate& day, bool weekdaysOnly)
{
    return !weekdaysOnly || day.dayOfWeek() <= 5;
}

// The last day of a month of 2026 with a start.
QDate lastStart(int month, bool weekdaysOnly)
{
    QDate day = QDate(2026, month, 1).addMonths(1).addDays(-1);
    while (!open(day, weekdaysOnly))
        day = day.addDays(-1);
    return day;
}

} // namespace

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

    // A start every day (or every working day, or with a long holiday) from January 2026 on; each start
    // adds its copy and removes what has expired. At the end: the last 14 days, and the newest copy of
    // each of the 12 months before.
    void rotationOverASimulatedYear_data()
    {
        QTest::addColumn<QDate>("end");
        QTest::addColumn<bool>("weekdaysOnly");
        QTest::addColumn<bool>("holiday"); // closed from 10 December to 20 January
        QTest::addColumn<QList<QDate>>("expected");
        const auto expect = [](int firstMonth, int lastMonth, const QDate& dailyFrom, const QDate& end, bool weekdays) {
            QList<QDate> days;
            for (int month = firstMonth; month <= lastMonth; ++month)
                days << lastStart(month, weekdays);
            for (QDate day = dailyFrom; day <= end; day = day.addDays(1))
                days << day;
            days.removeIf([&](const QDate& day) { return !open(day, weekdays); });
            return days;
        };
        const QDate end(2027, 2, 5);
        QTest::newRow("every day") << end << false << false << expect(2, 12, QDate(2027, 1, 23), end, false);
        QTest::newRow("working days") << end << true << false << expect(2, 12, QDate(2027, 1, 23), end, true);
        // December keeps its 9th, the daily window holds only 21 to 25 January.
        QTest::newRow("long holiday") << QDate(2027, 1, 25) << false << true
                                      << expect(1, 11, QDate(2026, 12, 9), QDate(2026, 12, 9), false) +
                                             expect(1, 0, QDate(2027, 1, 21), QDate(2027, 1, 25), false);
    }
    void rotationOverASimulatedYear()
    {
        QFETCH(QDate, end);
        QFETCH(bool, weekdaysOnly);
        QFETCH(bool, holiday);
        QFETCH(QList<QDate>, expected);

        QList<QDate> kept;
        for (QDate today(2026, 1, 1); today <= end; today = today.addDays(1)) {
            if (!open(today, weekdaysOnly) || (holiday && today >= QDate(2026, 12, 10) && today <= QDate(2027, 1, 20)))
                continue;
            kept << today;
            for (const QDate& day : Backup::expired(kept, today)) {
                QVERIFY2(day < today.addDays(-13), qPrintable(day.toString(Qt::ISODate)));
                kept.removeOne(day);
            }
            QVERIFY(kept.size() <= 26);
        }
        std::sort(expected.begin(), expected.end());
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
            QCOMPARE(copy->openRecordset("PRAGMA integrity_check").field(0).toString(), QStringLiteral("ok"));
            QCOMPARE(copy->openRecordset("SELECT Count(*) FROM TBPersonen").field(0).toInt(), persons);
        }
    }

    // The folder cannot be made, or the copy cannot be written: one message, a normal start, and no older
    // copy is removed for a copy that was not made.
    void failedBackupStartsNormally_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::newRow("folder cannot be made") << true;
        QTest::newRow("copy cannot be written") << false;
    }
    void failedBackupStartsNormally()
    {
        QFETCH(bool, folderIsAFile);
        const QString folder = Backup::folderFor(m_path);
        if (folderIsAFile)
            QVERIFY(QFile(folder).open(QIODevice::WriteOnly));
        else
            QVERIFY(QDir().mkpath(folder + "/TBDB-2026-12-06.MDB.partial/x") &&
                    QFile(folder + "/TBDB-2024-01-31.MDB").open(QIODevice::WriteOnly));
        ScriptedMessages messages;
        Clock::setToday(QDate(2026, 12, 6));
        QVERIFY(OpenDb() && app().DB);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().icon, Messages::Icon::Exclamation);
        QVERIFY(messages.lastText().startsWith("Die Sicherungskopie des Registers konnte nicht angelegt werden:\r\n"));
        if (!folderIsAFile)
            QCOMPARE(copies(), QStringList{"TBDB-2024-01-31.MDB"});
    }
};

CLAVARO_TEST_MAIN(TestBackup)
#include "test_backup.moc"

// The daily copy of the register at the start: which copies stay, and the copies themselves.
#include "core/AppState.h"
#include "core/Backup.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Startup.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

namespace {

QList<QDate> sorted(QList<QDate> days)
{
    std::sort(days.begin(), days.end());
    return days;
}

QDate lastOfMonth(int year, int month)
{
    const QDate first(year, month, 1);
    return first.addDays(first.daysInMonth() - 1);
}

QDate lastWeekdayOfMonth(int year, int month)
{
    QDate day = lastOfMonth(year, month);
    while (day.dayOfWeek() > 5)
        day = day.addDays(-1);
    return day;
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;
    int m_files = 0;

    void newRegister()
    {
        m_path = m_dir.filePath(QStringLiteral("r%1/TBDB.MDB").arg(++m_files));
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        Database::create(m_path);
        auto database = Database::open(m_path);
        database->execute("INSERT INTO TBKopfdaten (AnlagenNr) VALUES('4711')");
        app().databasePath = m_path;
    }

    bool start(const QDate& day)
    {
        Clock::setToday(day);
        const bool opened = OpenDb();
        app().DB.reset();
        return opened;
    }

    QStringList copies() const { return QDir(Backup::folderFor(m_path)).entryList(QDir::Files, QDir::Name); }

private Q_SLOTS:
    void cleanup()
    {
        app().DB.reset();
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
        QTest::addColumn<QDate>("holidayFrom");
        QTest::addColumn<QDate>("holidayTo");
        QTest::addColumn<QList<QDate>>("expected");

        QList<QDate> daily;
        for (QDate d(2027, 1, 23); d <= QDate(2027, 2, 5); d = d.addDays(1))
            daily << d;
        for (int m = 2; m <= 12; ++m)
            daily << lastOfMonth(2026, m);
        QTest::newRow("every day") << QDate(2027, 2, 5) << false << QDate() << QDate() << sorted(daily);

        QList<QDate> weekdays;
        for (QDate d(2027, 1, 23); d <= QDate(2027, 2, 5); d = d.addDays(1))
            if (d.dayOfWeek() <= 5)
                weekdays << d;
        for (int m = 2; m <= 12; ++m)
            weekdays << lastWeekdayOfMonth(2026, m);
        QTest::newRow("working days") << QDate(2027, 2, 5) << true << QDate() << QDate() << sorted(weekdays);

        // Closed from 10 December to 20 January: December keeps its 9th, the daily window holds only
        // 21 to 25 January.
        QList<QDate> holiday = {QDate(2026, 12, 9), QDate(2027, 1, 21), QDate(2027, 1, 22),
                                QDate(2027, 1, 23), QDate(2027, 1, 24), QDate(2027, 1, 25)};
        for (int m = 1; m <= 11; ++m)
            holiday << lastOfMonth(2026, m);
        QTest::newRow("long holiday") << QDate(2027, 1, 25) << false << QDate(2026, 12, 10) << QDate(2027, 1, 20)
                                      << sorted(holiday);
    }
    void rotationOverASimulatedYear()
    {
        QFETCH(QDate, end);
        QFETCH(bool, weekdaysOnly);
        QFETCH(QDate, holidayFrom);
        QFETCH(QDate, holidayTo);
        QFETCH(QList<QDate>, expected);

        QList<QDate> kept;
        for (QDate today(2026, 1, 1); today <= end; today = today.addDays(1)) {
            if ((weekdaysOnly && today.dayOfWeek() > 5) || (today >= holidayFrom && today <= holidayTo))
                continue;
            kept << today;
            const QList<QDate> gone = Backup::expired(kept, today);
            for (const QDate& day : gone) {
                QVERIFY2(day < today.addDays(-13), qPrintable(day.toString(Qt::ISODate)));
                kept.removeOne(day);
            }
            QVERIFY(kept.size() <= 26);
        }
        QCOMPARE(sorted(kept), expected);
    }

    void strayCopiesStay()
    {
        const QDate today(2026, 12, 6);
        // A copy from a day after today (the clock was off) and one of the month just begun stay.
        QCOMPARE(Backup::expired({QDate(2027, 3, 1), today, QDate(2026, 12, 1)}, today), QList<QDate>{});
        // Older than a year goes, however few copies there are.
        QCOMPARE(Backup::expired({QDate(2025, 11, 30), QDate(2025, 12, 31)}, today), QList<QDate>{QDate(2025, 11, 30)});
    }

    // Three starts on three days leave three copies, each the register as it was at that start; a
    // second start on a day keeps the day's first copy.
    void threeStartsThreeCopies()
    {
        newRegister();
        ScriptedMessages messages;
        QVERIFY(start(QDate(2026, 12, 6)));
        app().DB = Database::open(m_path);
        db().execute("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Meier', ' ', ' ', False)");
        app().DB.reset();
        QVERIFY(start(QDate(2026, 12, 6)));
        QVERIFY(start(QDate(2026, 12, 7)));
        QVERIFY(start(QDate(2026, 12, 9)));
        QCOMPARE(copies(), (QStringList{"TBDB-2026-12-06.MDB", "TBDB-2026-12-07.MDB", "TBDB-2026-12-09.MDB"}));
        QVERIFY(messages.shown.isEmpty());

        for (const auto& [name, persons] : {std::pair{"TBDB-2026-12-06.MDB", 0}, std::pair{"TBDB-2026-12-09.MDB", 1}}) {
            auto copy = Database::open(QDir(Backup::folderFor(m_path)).filePath(QString::fromLatin1(name)));
            Recordset check = copy->openRecordset("PRAGMA integrity_check");
            QCOMPARE(check.field(0).toString(), QStringLiteral("ok"));
            check.close();
            Recordset count = copy->openRecordset("SELECT Count(*) FROM TBPersonen");
            QCOMPARE(count.field(0).toInt(), persons);
        }
    }

    void noBackupLeavesNone()
    {
        newRegister();
        app().backupAtStart = false;
        QVERIFY(start(QDate(2026, 12, 6)));
        QVERIFY(!QFileInfo::exists(Backup::folderFor(m_path)));
    }

    // The folder cannot be made, or the copy cannot be written: one message, a normal start, and no
    // older copy is removed for a copy that was not made.
    void failedBackupStartsNormally_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::newRow("folder cannot be made") << true;
        QTest::newRow("copy cannot be written") << false;
    }
    void failedBackupStartsNormally()
    {
        QFETCH(bool, folderIsAFile);
        newRegister();
        const QString folder = Backup::folderFor(m_path);
        if (folderIsAFile) {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkpath(folder + QStringLiteral("/TBDB-2026-12-06.MDB.partial/x")));
            QFile old(folder + QStringLiteral("/TBDB-2024-01-31.MDB"));
            QVERIFY(old.open(QIODevice::WriteOnly));
        }
        ScriptedMessages messages;
        Clock::setToday(QDate(2026, 12, 6));
        QVERIFY(OpenDb());
        QVERIFY(app().DB);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().icon, Messages::Icon::Exclamation);
        QVERIFY(messages.lastText().startsWith(
            QStringLiteral("Die Sicherungskopie des Registers konnte nicht angelegt werden:\r\n")));
        if (!folderIsAFile)
            QCOMPARE(copies(), QStringList{"TBDB-2024-01-31.MDB"});
    }
};

CLAVARO_TEST_MAIN(TestBackup)
#include "test_backup.moc"

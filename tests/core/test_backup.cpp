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

    // A start of the program on that day, its copy made whole and checked.
    bool start(const QDate& day)
    {
        Clock::setToday(day);
        const bool opened = OpenDb();
        finishDailyCopy();
        closeRegister();
        return opened;
    }

    QString inFolder(const QString& name) const { return QDir(Backup::folderFor(m_path)).filePath(name); }

    // Everything in the folder: files, folders, links (broken ones too).
    QStringList copies() const
    {
        return QDir(Backup::folderFor(m_path))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden, QDir::Name);
    }

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
        QCOMPARE(copies(), QStringList{"TBDB-2024-01-31.MDB"} + three + QStringList{"TBDB-2026-12-10.MDB.partial"});
    }

    // A change right after the start waits until the day's copy holds the whole register: the copy is the
    // register before it.
    void writesWaitForTheCopy()
    {
        Database::open(m_path)->executeNative(
            "INSERT INTO TBBewegungen (PersonID, SchluesselNr, Von, Status) WITH RECURSIVE n(i) AS (SELECT 1 UNION "
            "ALL SELECT i + 1 FROM n WHERE i < 50000) SELECT i, 'K' || i, '2026-01-01', 1 FROM n");
        Clock::setToday(QDate(2026, 12, 6));
        ScriptedMessages messages;
        QVERIFY(OpenDb());
        db().execute("INSERT INTO TBPersonen (Nachname, Storniert) VALUES('Neu', False)");
        finishDailyCopy();
        closeRegister();
        QCOMPARE(column(*Database::open(inFolder("TBDB-2026-12-06.MDB")), "SELECT Count(*) FROM TBPersonen"), "0");
        QCOMPARE(column(*Database::open(m_path), "SELECT Count(*) FROM TBPersonen"), "1");
        QVERIFY(messages.shown.isEmpty());
    }

    // What interrupted copies left is removed, of any day; only regular files under a copy's names.
    void leftoversOfEveryDay()
    {
        QVERIFY(QDir().mkpath(Backup::folderFor(m_path)));
        const QStringList leftovers{"TBDB-2026-11-30.MDB.partial", "TBDB-2026-12-01.MDB.partial-journal",
                                    "TBDB-2026-12-06.MDB.partial"};
        const QStringList others{"notes.partial", "TBDB-2026-12-02.MDB.partial.txt"};
        for (const QString& name : leftovers + others)
            QVERIFY(QFile(inFolder(name)).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(inFolder("notes.partial"), inFolder("TBDB-2026-12-03.MDB.partial")));
        QVERIFY(start(QDate(2026, 12, 6)));
        QCOMPARE(copies(), QStringList({"TBDB-2026-12-02.MDB.partial.txt", "TBDB-2026-12-03.MDB.partial",
                                        "TBDB-2026-12-06.MDB", "notes.partial"}));
    }

    // Only a regular file that opens as a register counts as a copy: anything else under a copy's name
    // is neither trusted nor removed, and under today's name it is told once instead of the copy.
    void onlyCopiesCount_data()
    {
        QTest::addColumn<QString>("today"); // what lies under today's name
        QTest::newRow("nothing") << QString();
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to a copy") << "link";
        QTest::newRow("broken file") << "broken";
    }
    void onlyCopiesCount()
    {
        QFETCH(QString, today);
        ScriptedMessages messages;
        QVERIFY(start(QDate(2026, 10, 20)));                                        // October's real copy
        QVERIFY(QFile(inFolder("TBDB-2026-10-31.MDB")).open(QIODevice::WriteOnly)); // empty: no copy
        const QString name = inFolder("TBDB-2026-12-06.MDB");
        if (today == "folder")
            QVERIFY(QDir().mkpath(name));
        else if (today == "link")
            QVERIFY(QFile::link(inFolder("TBDB-2026-10-20.MDB"), name));
        else if (today == "broken")
            QVERIFY(QFile(name).open(QIODevice::WriteOnly) && QFile(name).resize(4096));

        QVERIFY(start(QDate(2026, 12, 6)));
        QCOMPARE(copies(), QStringList({"TBDB-2026-10-20.MDB", "TBDB-2026-10-31.MDB", "TBDB-2026-12-06.MDB"}));
        QCOMPARE(Backup::isCopy(name), today.isEmpty());
        QCOMPARE(messages.shown.size(), today.isEmpty() ? 0 : 1);
        if (!today.isEmpty())
            QVERIFY(messages.lastText().contains(name + ": "));
    }
};

CLAVARO_TEST_MAIN(TestBackup)
#include "test_backup.moc"

#include "core/AppState.h"
#include "core/Backup.h"
#include "core/Clock.h"
#include "core/CollationVersion.h"
#include "core/Database.h"
#include "core/RegisterLocation.h"
#include "core/Schema.h"
#include "core/Startup.h"
#include "core/TextCollation.h"
#include "support/Query.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sqlite3.h>

// Opening the register at the start: system number, refused files, text order, where the register lives; the
// daily copy of the register: which copies stay, and the copies themselves.
class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;
    std::unique_ptr<TestDatabase> m_db; // the register the copies are made of, at m_path
    QString m_path;

    // A new register with the statements run on it, closed again, as the file OpenDb opens.
    QString prepare(const QStringList& statements = {}, int version = -1)
    {
        const QString path = m_dir.filePath(QStringLiteral("%1.MDB").arg(++m_files));
        version < 0 ? Database::create(path) : Database::createAtVersion(path, version);
        auto database = Database::open(path);
        for (const QString& sql : statements)
            database->execute(sql);
        app().databasePath = path;
        return path;
    }

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
        app().Sprache = QStringLiteral("DE");
        Clock::setToday(QDate(2026, 12, 5));
        m_db = std::make_unique<TestDatabase>();
        m_db->exec("INSERT INTO TBKopfdaten (AnlagenNr) VALUES('4711')");
        app().DB.reset();
        m_path = m_db->path();
    }
    void cleanup()
    {
        closeRegister();
        m_db.reset();
        app().backupAtStart = true;
        Clock::setToday(std::nullopt);
    }

    // Asked until answered (Cancel and blanks ask again), kept as typed, the header row replaced by one.
    void systemNumber_data()
    {
        QTest::addColumn<QString>("stored");    // the header row's AnlagenNr; no row when null
        QTest::addColumn<QStringList>("typed"); // null for Cancel
        QTest::addColumn<QString>("header");
        const QStringList typed{QString(), QStringLiteral("   "), QStringLiteral(" O'Neill 7 ")};
        const QString asked = QStringLiteral("'2026-12-05','by user',' O''Neill 7 ','1','',''");
        QTest::newRow("no header row") << QString() << typed << asked;
        QTest::newRow("Null") << "null" << typed << asked;
        QTest::newRow("blanks only") << "'   '" << typed << asked;
        QTest::newRow("stored, kept") << "' 12 '" << QStringList() << "NULL,NULL,' 12 ',NULL,NULL,'Alt'";
    }
    void systemNumber()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, typed);
        QFETCH(QString, header);
        const QString path = prepare(
            stored.isNull()
                ? QStringList()
                : QStringList{"INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES(" + stored + ", 'Alt')"});
        const QByteArray before = fileContent(path);
        ScriptedMessages messages;
        for (const QString& text : typed)
            messages.queueInput(text.isNull() ? std::nullopt : std::optional(text));
        openDbAhead(); // while the start window shows; OpenDb goes on with that connection
        const Database* ahead = app().DB.get();
        QVERIFY(ahead && OpenDb());
        QCOMPARE(app().DB.get(), ahead);
        QCOMPARE(messages.prompts, QStringList(typed.size(), QStringLiteral("Anlagennummer eingeben:")));
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(
            column("SELECT printf('%Q,%Q,%Q,%Q,%Q,%Q', Erstellt, Quelle, AnlagenNr, Version, Stempel, Bestätigung) "
                   "FROM TBKopfdaten"),
            header);
        QCOMPARE(app().AnlagenNr, column("SELECT AnlagenNr FROM TBKopfdaten"));
        closeRegister();
        QCOMPARE(fileContent(path) == before, typed.isEmpty()); // nothing asked, nothing written
    }

    // One message with the engine's number and text, and the file left byte for byte as it was, nothing
    // beside it: no register, one of a newer program, a WAL file of another program, a folder, a pipe.
    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("content"); // none when null; or what to make: "register", "newer", ...
        QTest::addColumn<QString>("detail");     // %1 the folder, %2 the file
        QTest::newRow("missing") << QByteArray() << "14 (unable to open database file)";
        QTest::newRow("garbage") << QByteArray("not a register file at all, just bytes\x01\x02", 40)
                                 << "26 (file is not a database)";
        const QString noRegister = QStringLiteral("26 (file is not a key register (missing tables: TBKopfdaten, "
                                                  "TBPersonen, TBSchluessel, TBBewegungen))");
        QTest::newRow("empty file") << QByteArray("") << noRegister;
        QTest::newRow("WAL file of another program") << QByteArray("wal") << noRegister;
        QTest::newRow("register of a newer program")
            << QByteArray("newer")
            << QStringLiteral("26 (The register was written by a newer version of the program (register version %1; "
                              "this program reads up to version %2). Please open it with the newer version.)")
                   .arg(Schema::version() + 1)
                   .arg(Schema::version());
        const QString notAFile =
            QStringLiteral("14 (The database is not a regular file but a folder, a device or a pipe: %2)");
        QTest::newRow("folder") << QByteArray("folder") << notAFile;
        QTest::newRow("named pipe") << QByteArray("pipe") << notAFile;
        QTest::newRow("read-only folder") << QByteArray("register")
                                          << "8 (The database's folder is write-protected. The program must create a "
                                             "helper file there, or it cannot save any change: %1)";
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, detail);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("TBDB.MDB"));
        QFile file(path);
        if (content == "register" || content == "newer") {
            Database::create(path);
            if (content == "newer")
                Database::open(path)->executeNative(
                    QStringLiteral("PRAGMA user_version = %1").arg(Schema::version() + 1));
        } else if (content == "wal") {
            sqlite3* other = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &other);
            QCOMPARE(sqlite3_exec(other, "PRAGMA journal_mode = WAL; CREATE TABLE t (x); INSERT INTO t VALUES (1)",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(other);
        } else if (content == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (content == "pipe") {
            if (QProcess::execute(QStringLiteral("mkfifo"), {path}) != 0)
                QSKIP("no mkfifo here");
        } else if (!content.isNull()) {
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        }
        file.close();
        const bool regular = QFileInfo(path).isFile();
        const QByteArray before = regular ? fileContent(path) : QByteArray();
        const QStringList beside = QDir(folder.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
        const auto permissions = QFile::permissions(folder.path());
        const auto restore = qScopeGuard([&] { QFile::setPermissions(folder.path(), permissions); });
        if (content == "register") {
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
            if (QFile(folder.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly))
                QSKIP("this user may write into a read-only folder (root), and so may the engine");
        }
        app().databasePath = path;
        app().Sprache = QStringLiteral("EN");

        ScriptedMessages messages;
        openDbAhead(); // tells nothing: OpenDb tries again and tells
        QVERIFY(!OpenDb() && !app().DB);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.lastText(),
                 "Error while opening the database:\r\n" +
                     detail.replace(QLatin1String("%1"), folder.path()).replace(QLatin1String("%2"), path));
        if (regular)
            QCOMPARE(fileContent(path).toHex(), before.toHex());
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), beside);
    }

    // An index written in another text order (as under another Qt's Unicode tables) is rebuilt at open.
    void textOrderRebuiltAtOpen()
    {
        ScriptedMessages messages;
        const QString path = prepare({QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr) VALUES('1')")}, 0);
        {
            auto database = Database::open(path);
            const auto backwards = [](void*, int na, const void* a, int nb, const void* b) {
                return -TextCollation::compare(QByteArrayView(static_cast<const char*>(a), na),
                                               QByteArrayView(static_cast<const char*>(b), nb));
            };
            sqlite3_create_collation_v2(database->handle(), TextCollation::name, SQLITE_UTF8, nullptr, backwards,
                                        nullptr);
            database->execute("INSERT INTO TBPersonen (Nachname) VALUES ('Adler'), ('Bauer'), ('Cramer')");
        }
        QVERIFY(OpenDb());
        QCOMPARE(column("PRAGMA integrity_check"), "ok");
        QCOMPARE(CollationVersion::stored(db()), TextCollation::version());
    }

    // The data folder unless a register lies beside the program; asked first, No writes nothing, Yes goes on.
    void firstStart()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString programDir = m_dir.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(programDir));
        QCOMPARE(RegisterLocation::defaultPath(programDir),
                 QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("TBDB.MDB"));
        Database::create(programDir + QStringLiteral("/TBDB.MDB"));
        QCOMPARE(RegisterLocation::defaultPath(programDir), programDir + QStringLiteral("/TBDB.MDB"));

        app().Sprache = QStringLiteral("EN");
        ScriptedMessages messages;
        const QString path = m_dir.filePath(QStringLiteral("new/data/TBDB.MDB"));
        messages.queueAnswer(Messages::Answer::No);
        QVERIFY(!RegisterLocation::offerToCreate(path));
        QCOMPARE(messages.lastText(), "There is no database at the default place yet:\r\n" +
                                          QDir::toNativeSeparators(path) + "\r\n\r\nCreate an empty database there?");
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("new"))));

        const QString plainFile = m_dir.filePath(QStringLiteral("plain-file"));
        QVERIFY(QFile(plainFile).open(QIODevice::WriteOnly));
        QVERIFY(!RegisterLocation::offerToCreate(plainFile + QStringLiteral("/TBDB.MDB")));
        QVERIFY(messages.lastText().startsWith("The database could not be created:\r\n" + plainFile));

        QVERIFY(RegisterLocation::offerToCreate(path));
        messages.queueInput(QStringLiteral("4711"));
        app().databasePath = path;
        QVERIFY(OpenDb());
        QCOMPARE(messages.prompts, QStringList{QStringLiteral("Enter system number :")});
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

    // A register let go without closing while its day's copy waits: the copy stops and goes before the
    // connection closes, and leaves nothing half written.
    void droppedWhileTheCopyWaits()
    {
        Clock::setToday(QDate(2026, 12, 6));
        openRegisterAhead(true);
        QVERIFY(dailyCopy());
        app().DB.reset();
        QVERIFY(!dailyCopy());
        QVERIFY(!copies().join(' ').contains("partial"));
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

CLAVARO_TEST_MAIN(TestStartup)
#include "test_startup.moc"

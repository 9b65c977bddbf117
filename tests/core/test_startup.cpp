#include "core/AppState.h"
#include "core/Clock.h"
#include "core/CollationVersion.h"
#include "core/Database.h"
#include "core/RegisterLocation.h"
#include "core/Schema.h"
#include "core/Startup.h"
#include "core/TextCollation.h"
#include "support/Query.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sqlite3.h>

// Opening the register at the start: system number, refused files, text order, where the register lives.
class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

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

private Q_SLOTS:
    void init()
    {
        app().Sprache = QStringLiteral("DE");
        Clock::setToday(QDate(2026, 12, 5));
    }
    void cleanup()
    {
        closeRegister();
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
};

CLAVARO_TEST_MAIN(TestStartup)
#include "test_startup.moc"

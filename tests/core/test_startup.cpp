#include "core/AppState.h"
#include "core/Clock.h"
#include "core/CollationVersion.h"
#include "core/Database.h"
#include "core/RegisterLocation.h"
#include "core/Startup.h"
#include "core/TextCollation.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <sqlite3.h>

// Opening the register file and the header row with the system number.
class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    // Arranges the header table of a fresh file, then leaves the file closed for OpenDb.
    void prepare(const QStringList& statements)
    {
        m_path = m_dir.filePath(QString::number(++m_files) + QStringLiteral(".MDB"));
        Database::create(m_path);
        {
            auto database = Database::open(m_path);
            for (const QString& sql : statements)
                database->execute(sql);
        }
        app().databasePath = m_path;
    }

    QVariant header(const QString& column, int* rows = nullptr)
    {
        Recordset rs = db().openRecordset(QStringLiteral("SELECT * FROM TBKopfdaten"));
        const QVariant value = rs.eof() ? QVariant() : rs.field(column);
        while (!rs.eof())
            rs.moveNext();
        if (rows)
            *rows = rs.recordCount();
        return value;
    }

    int m_files = 0;

private Q_SLOTS:
    void init()
    {
        app().Sprache = QStringLiteral("DE");
        app().AnlagenNr.clear();
        Clock::setToday(QDate(2026, 12, 5));
    }
    void cleanup()
    {
        app().DB.reset();
        Clock::setToday(std::nullopt);
    }

    void asksWhenSystemNumberMissing_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("no header row") << QString();
        QTest::newRow("Null") << QStringLiteral("null");
        QTest::newRow("empty") << QStringLiteral("''");
        QTest::newRow("blanks only") << QStringLiteral("'   '");
    }
    void asksWhenSystemNumberMissing()
    {
        QFETCH(QString, stored);
        QStringList arrange;
        if (!stored.isNull())
            arrange << QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES(%1, 'Alt')").arg(stored);
        prepare(arrange);

        ScriptedMessages messages;
        messages.queueInput(std::nullopt);              // Cancel
        messages.queueInput(QStringLiteral("   "));     // blanks
        messages.queueInput(QStringLiteral(" 47 11 ")); // kept as typed
        QVERIFY(OpenDb());

        QCOMPARE(messages.prompts, QStringList(3, QStringLiteral("Anlagennummer eingeben:")));
        QCOMPARE(messages.inputTitles.first(), QStringLiteral("Clavaro"));
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(app().AnlagenNr, QStringLiteral(" 47 11 "));

        int rows = 0;
        QCOMPARE(header(QStringLiteral("AnlagenNr"), &rows).toString(), QStringLiteral(" 47 11 "));
        QCOMPARE(rows, 1);
        QCOMPARE(header(QStringLiteral("Erstellt")).toDate(), QDate(2026, 12, 5));
        QCOMPARE(header(QStringLiteral("Quelle")).toString(), QStringLiteral("by user"));
        QCOMPARE(header(QStringLiteral("Version")).toInt(), 1);
        QCOMPARE(header(QStringLiteral("Stempel")).toString(), QString());
        QCOMPARE(header(QStringLiteral("Bestätigung")).toString(), QString());
    }

    void keepsAStoredSystemNumber()
    {
        prepare({QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES(' 12 ', 'Vorlage')")});
        ScriptedMessages messages;
        QVERIFY(OpenDb());
        QVERIFY(messages.prompts.isEmpty());
        QCOMPARE(app().AnlagenNr, QStringLiteral(" 12 "));
        QCOMPARE(header(QStringLiteral("Bestätigung")).toString(), QStringLiteral("Vorlage"));
    }

    // A system number with a quote used to break the insert and leave no header row.
    void systemNumberWithQuote()
    {
        prepare({});
        ScriptedMessages messages;
        messages.queueInput(QStringLiteral("O'Neill 7"));
        QVERIFY(OpenDb());
        QCOMPARE(header(QStringLiteral("AnlagenNr")).toString(), QStringLiteral("O'Neill 7"));
    }

    // One message with the engine's number and text, no prompt, and the file left as it was: a file that
    // is no register gets no first page, and the folder of a register must take the journal of a change.
    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::addColumn<QString>("detail");
        QTest::newRow("missing") << QByteArray() << false << "14 (unable to open database file)";
        QTest::newRow("garbage") << QByteArray("this is not a register file at all, just bytes\x01\x02", 49) << false
                                 << "26 (file is not a database)";
        QTest::newRow("empty file") << QByteArray("") << false
                                    << "26 (file is not a key register (missing tables: TBKopfdaten, TBPersonen, "
                                       "TBSchluessel, TBBewegungen))";
        QTest::newRow("read-only folder") << QByteArray("register") << true
                                          << "8 (The database's folder is write-protected. The program must create a "
                                             "helper file there, or it cannot save any change: %1)";
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, readOnlyFolder);
        QFETCH(QString, detail);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("TBDB.MDB"));
        if (content == "register")
            Database::create(path);
        else if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QFile file(path);
        const bool exists = file.exists();
        if (exists) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            content = file.readAll();
            file.close();
        }
        const auto permissions = QFile::permissions(folder.path());
        const auto restore = qScopeGuard([&] { QFile::setPermissions(folder.path(), permissions); });
        if (readOnlyFolder) {
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
            if (QFile(folder.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly))
                QSKIP("this user may write into a read-only folder (root), and so may the engine");
        }
        app().databasePath = path;
        app().Sprache = QStringLiteral("EN");

        ScriptedMessages messages;
        QVERIFY(!OpenDb());
        QVERIFY(!app().DB);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().icon, Messages::Icon::Exclamation);
        QCOMPARE(messages.shown.first().text, QStringLiteral("Error while opening the database:\r\n") +
                                                  (readOnlyFolder ? detail.arg(folder.path()) : detail));
        QVERIFY(messages.prompts.isEmpty());
        if (exists) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll().toHex(), content.toHex());
        }
    }

    // A register from before versions were kept, its index written in another text order (as under
    // another Qt's Unicode tables), is upgraded and reindexed at open; one already in the running
    // order is not written to at all.
    void textOrderRebuiltAtOpen_data()
    {
        QTest::addColumn<bool>("otherOrder");
        QTest::newRow("written in another order") << true;
        QTest::newRow("written in this order") << false;
    }
    void textOrderRebuiltAtOpen()
    {
        QFETCH(bool, otherOrder);
        ScriptedMessages messages;
        if (otherOrder) {
            m_path = m_dir.filePath(QStringLiteral("old.MDB"));
            Database::createAtVersion(m_path, 0);
            app().databasePath = m_path;
            sqlite3* raw = nullptr;
            QCOMPARE(sqlite3_open_v2(QFile::encodeName(m_path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr),
                     SQLITE_OK);
            const auto backwards = [](void*, int na, const void* a, int nb, const void* b) {
                return -TextCollation::compare(QByteArrayView(static_cast<const char*>(a), na),
                                               QByteArrayView(static_cast<const char*>(b), nb));
            };
            sqlite3_create_collation_v2(raw, TextCollation::name, SQLITE_UTF8, nullptr, backwards, nullptr);
            QCOMPARE(sqlite3_exec(raw,
                                  "INSERT INTO TBKopfdaten (AnlagenNr) VALUES('1'); "
                                  "INSERT INTO TBPersonen (Nachname) VALUES ('Adler'), ('Bauer'), ('Cramer')",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(raw);
        } else {
            prepare({QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr) VALUES('1')")});
            QVERIFY(OpenDb());
            app().DB.reset();
        }
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        QVERIFY(OpenDb());
        Recordset check = db().openRecordset(QStringLiteral("PRAGMA integrity_check"));
        QCOMPARE(check.field(0).toString(), QStringLiteral("ok"));
        QCOMPARE(CollationVersion::stored(db()), TextCollation::version());
        app().DB.reset();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll() == before, !otherOrder);
    }

    // An installed program's directory holds no register: the data folder does, unless one lies beside it.
    void defaultPlace()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString programDir = m_dir.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(programDir));
        QCOMPARE(RegisterLocation::defaultPath(programDir),
                 QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("TBDB.MDB"));
        Database::create(programDir + QStringLiteral("/TBDB.MDB"));
        QCOMPARE(RegisterLocation::defaultPath(programDir), programDir + QStringLiteral("/TBDB.MDB"));
    }

    void firstStart_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<Messages::Answer>("answer");
        QTest::addColumn<QString>("shownLast");
        QTest::newRow("yes: folders made, then the system number")
            << QStringLiteral("new/data/TBDB.MDB") << Messages::Answer::Yes << QString();
        QTest::newRow("no: nothing written")
            << QStringLiteral("declined/TBDB.MDB") << Messages::Answer::No << QString();
        QTest::newRow("folder cannot be made") << QStringLiteral("plain-file/TBDB.MDB") << Messages::Answer::Yes
                                               << QStringLiteral("The database could not be created:");
    }
    void firstStart()
    {
        QFETCH(QString, place);
        QFETCH(Messages::Answer, answer);
        QFETCH(QString, shownLast);
        QFile plain(m_dir.filePath(QStringLiteral("plain-file")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const QString path = m_dir.filePath(place);
        app().Sprache = QStringLiteral("EN");

        ScriptedMessages messages;
        messages.queueAnswer(answer);
        messages.queueInput(QStringLiteral("4711"));
        const bool created = RegisterLocation::offerToCreate(path);

        const ScriptedMessages::Shown& question = messages.shown.first();
        QCOMPARE(question.text, QStringLiteral("There is no database at the default place yet:\r\n%1\r\n\r\n"
                                               "Create an empty database there?")
                                    .arg(QDir::toNativeSeparators(path)));
        QCOMPARE(question.buttons, Messages::Buttons::YesNo);
        QCOMPARE(created, shownLast.isNull() && answer == Messages::Answer::Yes);
        QCOMPARE(QFileInfo::exists(path), created);
        if (!shownLast.isNull())
            QVERIFY2(messages.lastText().startsWith(shownLast + QStringLiteral("\r\n") + path),
                     qPrintable(messages.lastText()));
        if (created) {
            app().databasePath = path;
            QVERIFY(OpenDb());
            QCOMPARE(messages.prompts, QStringList{QStringLiteral("Enter system number :")});
        }
    }

    // Opened ahead of the start window: OpenDb keeps that connection; a file that cannot be opened is
    // reported by OpenDb, not ahead.
    void openedAhead()
    {
        prepare({});
        ScriptedMessages messages;
        openDbAhead();
        const Database* ahead = app().DB.get();
        QVERIFY(ahead);
        messages.queueInput(QStringLiteral("4711"));
        QVERIFY(OpenDb());
        QCOMPARE(app().DB.get(), ahead);
        QCOMPARE(header(QStringLiteral("AnlagenNr")).toString(), QStringLiteral("4711"));
        app().DB.reset();

        app().databasePath = m_dir.filePath(QStringLiteral("missing.MDB"));
        openDbAhead();
        QVERIFY(!app().DB);
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(!OpenDb());
        QVERIFY(messages.lastText().startsWith(QStringLiteral("Fehler beim Öffnen der Datenbank:")));
    }

    void promptInEnglish()
    {
        prepare({});
        app().Sprache = QStringLiteral("EN");
        ScriptedMessages messages;
        messages.queueInput(QStringLiteral("4711"));
        QVERIFY(OpenDb());
        QCOMPARE(messages.prompts, QStringList{QStringLiteral("Enter system number :")});
    }
};

CLAVARO_TEST_MAIN(TestStartup)
#include "test_startup.moc"

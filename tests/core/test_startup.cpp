#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/RegisterLocation.h"
#include "core/Startup.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

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
        messages.queueInput(std::nullopt);               // Cancel
        messages.queueInput(QStringLiteral("   "));      // blanks
        messages.queueInput(QStringLiteral(" 47 11 "));  // kept as typed
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

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("garbage") << QByteArray("this is not a register file at all, just bytes\x01\x02", 49) << true;
        QTest::newRow("empty file") << QByteArray() << true;
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        const QString path = m_dir.filePath(QStringLiteral("refused-%1.MDB").arg(QTest::currentDataTag()));
        if (exists) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        app().databasePath = path;
        app().Sprache = QStringLiteral("EN");

        ScriptedMessages messages;
        QVERIFY(!OpenDb());
        QVERIFY(!app().DB);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().icon, Messages::Icon::Exclamation);
        const QString text = messages.shown.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("Error while opening the database:\r\n")), qPrintable(text));
        // "number (description)"
        const QString detail = text.section(QStringLiteral("\r\n"), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+ \\(.+\\)$")).match(detail).hasMatch(), qPrintable(detail));
        QVERIFY(messages.prompts.isEmpty());
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

// clavaro --check FILE, run as the administrator runs it: no display, the report on stdout, the verdict in
// the exit code.
#include "core/CollationVersion.h"
#include "core/Database.h"
#include "core/TextCollation.h"
#include "support/TestMain.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

class TestCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void check_data()
    {
        QTest::addColumn<QStringList>("arrange"); // statements on a fresh register, or the file's content
        QTest::addColumn<QStringList>("findings");
        QTest::addColumn<int>("exitCode");
        const QStringList clean{
            "INSERT INTO TBKopfdaten (AnlagenNr) VALUES('4711')",
            "INSERT INTO TBPersonen (Nachname, Storniert) VALUES('Meier', False)",
            "INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('A1', 'Tor ', 1, False)",
            // a returned copy does not count against the stock; the key number matches without case
            "INSERT INTO TBBewegungen (PersonID, SchluesselNr, Von, Status) VALUES(1, 'a1 ', #1/2/26#, 0)",
            "INSERT INTO TBBewegungen (PersonID, SchluesselNr, Von, Status) VALUES(1, 'A1', #1/2/26#, 1)"};
        const QString version = TextCollation::version();
        const QStringList consistent{"Movements whose person is gone: none", "Movements whose key is gone: none",
                                     "Keys with more copies out than exist: none", "Header rows: 1"};
        QTest::newRow("clean") << clean
                               << QStringList{"Engine integrity check: ok",
                                              "Text order of the indexes: " + version + ", this program " + version} +
                                      consistent + QStringList{"No problems found."}
                               << 0;
        // The check reports a differing order and leaves the rebuild to the program's next open.
        QTest::newRow("older text order")
            << clean + QStringList{"UPDATE TBSystem SET Wert = '0.0'"}
            << QStringList{"Engine integrity check: ok", "Text order of the indexes: 0.0, this program " + version +
                                                             " (rebuilt when the program next opens it)"} +
                   consistent + QStringList{"No problems found."}
            << 0;
        QTest::newRow("planted")
            << clean +
                   QStringList{
                       "INSERT INTO TBBewegungen (PersonID, SchluesselNr, Von, Status) VALUES(9, 'A1', #1/2/26#, 0)",
                       "INSERT INTO TBBewegungen (PersonID, SchluesselNr, Von, Status) VALUES(1, 'ZZ', #1/2/26#, 1)",
                       "INSERT INTO TBKopfdaten (AnlagenNr) VALUES('4712')"}
            << QStringList{"Engine integrity check: ok",
                           "Text order of the indexes: " + version + ", this program " + version,
                           "Movements whose person is gone: 1",
                           "  movement 3 (key A1): person 9 does not exist",
                           "Movements whose key is gone: 1",
                           "  movement 4: key ZZ does not exist",
                           "Keys with more copies out than exist: 1",
                           "  key A1: 2 out, 1 in total",
                           "Header rows: 2 (the program keeps exactly one)",
                           "4 problem(s) found."}
            << 1;
        QTest::newRow("no register") << QStringList{"garbage"}
                                     << QStringList{"Cannot check the file: 26 (file is not a database)",
                                                    "1 problem(s) found."}
                                     << 1;
    }
    void check()
    {
        QFETCH(QStringList, arrange);
        QFETCH(QStringList, findings);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
        QFile file(path);
        if (arrange == QStringList{"garbage"}) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
            file.close();
        } else {
            Database::create(path);
            auto db = Database::open(path);
            CollationVersion::refresh(*db);
            for (const QString& sql : arrange)
                db->execute(sql);
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.start(qEnvironmentVariable("CLAVARO_BINARY"), {QStringLiteral("--check"), path});
        QVERIFY(process.waitForFinished(30000));
        const QStringList report = QString::fromUtf8(process.readAllStandardOutput()).trimmed().split('\n');
        QCOMPARE(report.mid(1), findings);
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == before); // looked at, never written
    }
};

CLAVARO_TEST_MAIN(TestCheck)
#include "test_check.moc"

// clavaro --check FILE without a display: the report on stdout, the verdict in the exit code, nothing written.
#include "core/CollationVersion.h"
#include "core/Database.h"
#include "core/TextCollation.h"
#include "support/Query.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QTemporaryDir>

class TestCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void check_data()
    {
        QTest::addColumn<QStringList>("arrange"); // statements on a fresh register; none for a file of garbage
        QTest::addColumn<QString>("locale");      // the report speaks the locale's language, German by default
        QTest::addColumn<QString>("findings");
        const QStringList clean{
            "INSERT INTO TBKopfdaten (AnlagenNr) VALUES('4711')",
            "INSERT INTO TBPersonen (Nachname, Storniert) VALUES('Meier', False)",
            "INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('A1', 'Tor ', 1, False)",
            // a returned copy does not count against the stock; the key number matches without case
            "INSERT INTO TBBewegungen (PersonID, SchluesselNr, Von, Status) VALUES(1, 'a1 ', #1/2/26#, 0), "
            "(1, 'A1', #1/2/26#, 1)"};
        // The report's lines after its title, joined by "|".
        QTest::newRow("clean") << clean << "en_GB.UTF-8"
                               << "Engine integrity check: ok|Text order of the indexes: %1, this program %1|Movements "
                                  "whose person is gone: none|Movements whose key is gone: none|Keys with more copies "
                                  "out than exist: none|Header rows: 1|No problems found.";
        // A differing text order is no problem: the program rebuilds the indexes when it next opens the file.
        QTest::newRow("planted")
            << clean + QStringList{"INSERT INTO TBBewegungen (PersonID, SchluesselNr, Von, Status) VALUES(9, 'A1', "
                                   "#1/2/26#, 0), (1, 'ZZ', #1/2/26#, 1)",
                                   "INSERT INTO TBKopfdaten (AnlagenNr) VALUES('4712')",
                                   "UPDATE TBSystem SET Wert = '0.0'"}
            << "en_US.UTF-8"
            << "Engine integrity check: ok|Text order of the indexes: 0.0, this program %1 (rebuilt when the program "
               "next opens it)|Movements whose person is gone: 1|  movement 3 (key A1): person 9 does not exist|"
               "Movements whose key is gone: 1|  movement 4: key ZZ does not exist|Keys with more copies out than "
               "exist: 1|  key A1: 2 out, 1 in total|Header rows: 2 (the program keeps exactly one)|4 problem(s) "
               "found.";
        QTest::newRow("no register") << QStringList() << "fr_FR.UTF-8"
                                     << "Impossible de vérifier le fichier : 26 (file is not a database)|1 "
                                        "problème(s) trouvé(s).";
        QTest::newRow("German by default")
            << clean << "C"
            << "Integritätsprüfung der Datenbank: in Ordnung|Textordnung der Indizes: %1, dieses Programm %1|"
               "Bewegungen ohne Person: keine|Bewegungen ohne Schlüssel: keine|Schlüssel mit mehr ausgegebenen als "
               "vorhandenen Exemplaren: keine|Kopfzeilen: 1|Keine Probleme gefunden.";
    }
    void check()
    {
        QFETCH(QStringList, arrange);
        QFETCH(QString, locale);
        QFETCH(QString, findings);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
        QFile garbage(path);
        if (arrange.isEmpty())
            QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'x')) == 4096 &&
                    garbage.flush());
        else
            Database::create(path);
        for (const QString& sql : arrange)
            Database::open(path)->execute(sql);
        const QByteArray before = fileContent(path);

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY"); // needs no display
        environment.remove("QT_QPA_PLATFORM");
        environment.insert("LC_ALL", locale);
        process.setProcessEnvironment(environment);
        process.start(qEnvironmentVariable("CLAVARO_BINARY"), {QStringLiteral("--check"), path});
        QVERIFY(process.waitForFinished(30000));
        const QStringList report = QString::fromUtf8(process.readAllStandardOutput()).trimmed().split(u'\n');
        QCOMPARE(report.mid(1).join(u'|'), findings.replace(QLatin1String("%1"), TextCollation::version()));
        const bool clean = findings.endsWith(QLatin1String("No problems found.")) ||
                           findings.endsWith(QLatin1String("Keine Probleme gefunden."));
        QCOMPARE(process.exitCode(), clean ? 0 : 1);
        QVERIFY(fileContent(path) == before);
    }

    // A new register in a folder that is not there: one line that names the file once and says why.
    void createInMissingFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/TBDB.MDB"));
        QProcess process;
        process.start(qEnvironmentVariable("CLAVARO_BINARY"), {QStringLiteral("--create-database"), path});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
                 QStringLiteral("clavaro: cannot create %1: No such file or directory\n").arg(path));
        QVERIFY(!QFileInfo::exists(path));
    }
};

CLAVARO_TEST_MAIN(TestCheck)
#include "test_check.moc"

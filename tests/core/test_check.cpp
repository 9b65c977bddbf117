// clavaro --check FILE without a display: the report on stdout, the verdict in the exit code, nothing written.
#include "core/CollationVersion.h"
#include "core/Database.h"
#include "core/Schema.h"
#include "core/TextCollation.h"
#include "support/Program.h"
#include "support/Query.h"
#include "support/TestMain.h"

#include <QDir>
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
        const QString allWell = "Engine integrity check: ok|Text order of the indexes: %1, this program %1|Movements "
                                "whose person is gone: none|Movements whose key is gone: none|Keys with more copies "
                                "out than exist: none|Header rows: 1|No problems found.";
        QTest::newRow("clean") << clean << "en_GB.UTF-8" << allWell;
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
        // Made by other tools: a register in WAL mode is read as it lies and gets no -wal or -shm beside it.
        QTest::newRow("register in WAL mode") << clean + QStringList{"#wal"} << "en_GB.UTF-8" << allWell;
        QTest::newRow("register of a newer program")
            << QStringList{"#newer"} << "C"
            << QStringLiteral("Die Datei kann nicht geprüft werden: 26 (Das Register wurde von einer neueren Version "
                              "des Programms geschrieben (Registerversion %1; dieses Programm liest bis Version %2). "
                              "Bitte öffnen Sie es mit der neueren Version.)|1 Problem(e) gefunden.")
                   .arg(Schema::version() + 1)
                   .arg(Schema::version());
        QTest::newRow("named pipe") << QStringList{"#pipe"} << "en_GB.UTF-8"
                                    << "Cannot check the file: 14 (The database is not a regular file but a folder, "
                                       "a device or a pipe: %2)|1 problem(s) found.";
    }
    void check()
    {
        QFETCH(QStringList, arrange);
        QFETCH(QString, locale);
        QFETCH(QString, findings);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
        QFile garbage(path);
        const bool pipe = arrange.value(0) == "#pipe";
        if (arrange.isEmpty()) {
            QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'x')) == 4096 &&
                    garbage.flush());
        } else if (pipe) {
            if (QProcess::execute(QStringLiteral("mkfifo"), {path}) != 0)
                QSKIP("no mkfifo here");
        } else {
            Database::create(path);
        }
        for (const QString& sql : arrange) {
            if (sql == "#wal" || sql == "#newer")
                Database::open(path)->executeNative(
                    sql == "#wal" ? QStringLiteral("PRAGMA journal_mode = WAL")
                                  : QStringLiteral("PRAGMA user_version = %1").arg(Schema::version() + 1));
            else if (!sql.startsWith(u'#'))
                Database::open(path)->execute(sql);
        }
        const QByteArray before = pipe ? QByteArray() : fileContent(path);

        QProcess process;
        QVERIFY(runProgram(process, {QStringLiteral("--check"), path}, locale));
        const QStringList report = QString::fromUtf8(process.readAllStandardOutput()).trimmed().split(u'\n');
        QCOMPARE(report.mid(1).join(u'|'),
                 findings.replace(QLatin1String("%1"), TextCollation::version()).replace(QLatin1String("%2"), path));
        const bool clean = findings.endsWith(QLatin1String("No problems found.")) ||
                           findings.endsWith(QLatin1String("Keine Probleme gefunden."));
        QCOMPARE(process.exitCode(), clean ? 0 : 1);
        if (!pipe)
            QVERIFY(fileContent(path) == before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden), QStringList{"TBDB.MDB"});
    }

    // A new register in a folder that is not there: one line that names the file once and says why.
    void createInMissingFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/TBDB.MDB"));
        QProcess process;
        QVERIFY(runProgram(process, {QStringLiteral("--create-database"), path}));
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
                 QStringLiteral("clavaro: cannot create %1: No such file or directory\n").arg(path));
        QVERIFY(!QFileInfo::exists(path));
    }
};

CLAVARO_TEST_MAIN(TestCheck)
#include "test_check.moc"

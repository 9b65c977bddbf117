// Crash safety: a writer killed with SIGKILL at random moments loses no committed step and leaves a sound
// file. CLAVARO_CRASH_CYCLES sets the number of kills (make soak runs many more).
#include "core/Database.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

// Each step's template repeats its tag this often: a commit of some fifty pages, so that a kill lands in the
// middle of writing them often enough.
constexpr int kTemplateRepeats = 40000;

class TestCrash : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedWhileWriting()
    {
        const int cycles = qEnvironmentVariableIsSet("CLAVARO_CRASH_CYCLES")
                               ? qEnvironmentVariableIntValue("CLAVARO_CRASH_CYCLES")
                               : 50;
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        qInfo("%d cycles, seed %u", cycles, seed);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
        Database::create(path);
        Database::open(path)->execute("INSERT INTO TBSchluessel (SchluesselNr, Gesamt) VALUES('K', 0)");
        Database::open(path)->execute("INSERT INTO TBKopfdaten (Stempel, Bestätigung) VALUES('', '')");

        QStringList reported;
        for (int cycle = 1; cycle <= (cycles); ++cycle) {
            QProcess writer;
            writer.start(CLAVARO_CRASH_WRITER, {path, QString::number(cycle), QString::number(kTemplateRepeats)});
            QVERIFY2(writer.waitForReadyRead(30000), qPrintable(writer.readAllStandardError()));
            QThread::usleep(random.bounded(20000)); // into the middle of some later step
            writer.kill();                          // SIGKILL: no chance to finish or clean up
            QVERIFY(writer.waitForFinished(30000));
            const QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
            for (qsizetype i = 0; i + 1 < lines.size(); ++i) // the last piece has no line end
                reported.append(QString::fromUtf8(lines[i]));

            // The next open rolls back the step that was cut off: each step is whole or absent, the template
            // the last whole step's, never a mix of two.
            const auto db = Database::open(path);
            QCOMPARE(db->openRecordset("PRAGMA integrity_check").field(0).toString(), QStringLiteral("ok"));
            QSet<QString> persons;
            for (Recordset rs = db->openRecordset("SELECT Vorname FROM TBPersonen"); !rs.eof(); rs.moveNext())
                persons.insert(rs.field(0).toString());
            for (const QString& step : std::as_const(reported))
                QVERIFY2(persons.contains(step), qPrintable(QStringLiteral("committed step %1 lost").arg(step)));
            Recordset rs = db->openRecordset(
                "SELECT (SELECT Count(*) FROM TBBewegungen), Gesamt, Stempel, Bestätigung, (SELECT Vorname FROM "
                "TBPersonen ORDER BY PersID DESC LIMIT 1) FROM TBSchluessel, TBKopfdaten");
            QCOMPARE(rs.field(0).toInt(), persons.size());
            QCOMPARE(rs.field(1).toInt(), persons.size());
            QCOMPARE(rs.field(2).toString(), rs.field(4).toString());
            QVERIFY(rs.field(3).toString() == rs.field(2).toString().repeated(kTemplateRepeats));
        }
    }
};

CLAVARO_TEST_MAIN(TestCrash)
#include "test_crash.moc"

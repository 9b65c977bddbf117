// Crash safety: a writer killed with SIGKILL at random moments loses no committed step and leaves a sound
// file. CLAVARO_CRASH_CYCLES sets the number of kills (make soak runs many more).
#include "core/Database.h"
#include "support/Query.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

// Each step's template repeats its tag this often: some fifty pages per commit, for kills to land inside.
constexpr int kTemplateRepeats = 40000;

class TestCrash : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedWhileWriting()
    {
        const QByteArray asked = qgetenv("CLAVARO_CRASH_CYCLES");
        const int cycles = asked.isEmpty() ? 50 : asked.toInt();
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        qInfo("%d cycles, seed %u", cycles, seed);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
        Database::create(path);
        Database::open(path)->execute("INSERT INTO TBSchluessel (SchluesselNr, Gesamt) VALUES('K', 0)");
        Database::open(path)->execute("INSERT INTO TBKopfdaten (Stempel, Bestätigung) VALUES('', '')");

        QStringList reported;
        for (int cycle = 1; cycle <= cycles; ++cycle) {
            QProcess writer;
            writer.start(CLAVARO_CRASH_WRITER, {path, QString::number(cycle), QString::number(kTemplateRepeats)});
            QVERIFY2(writer.waitForReadyRead(30000), qPrintable(writer.readAllStandardError()));
            QThread::usleep(random.bounded(20000)); // into the middle of some later step
            writer.kill();                          // SIGKILL: no chance to finish or clean up
            QVERIFY(writer.waitForFinished(30000));
            const QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
            for (qsizetype i = 0; i + 1 < lines.size(); ++i) // the last piece has no line end
                reported.append(QString::fromUtf8(lines[i]));

            // The next open rolls back the step cut off: each step is whole or absent, never a mix of two.
            const auto db = Database::open(path);
            QCOMPARE(column(*db, "PRAGMA integrity_check"), "ok");
            const QStringList persons = column(*db, "SELECT Vorname FROM TBPersonen ORDER BY PersID").split(u'|');
            for (const QString& step : std::as_const(reported))
                QVERIFY2(persons.contains(step), qPrintable(QStringLiteral("committed step %1 lost").arg(step)));
            QCOMPARE(column(*db, "SELECT (SELECT Count(*) FROM TBBewegungen) || ' ' || Gesamt FROM TBSchluessel"),
                     QStringLiteral("%1 %1").arg(persons.size()));
            QVERIFY(column(*db, "SELECT Bestätigung FROM TBKopfdaten") == persons.last().repeated(kTemplateRepeats));
        }
    }
};

CLAVARO_TEST_MAIN(TestCrash)
#include "test_crash.moc"

// Helper for test_crash: writes through Database in a loop until it is killed, and reports each step on
// stdout only after its commit has returned. Each step is one transaction of four statements, so a
// step is either wholly in the file or not at all; the long template makes each commit write many pages.
#include "core/Database.h"
#include "core/SqlError.h"

#include <QString>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: crash_writer FILE TAG TEMPLATE_REPEATS\n");
        return 2;
    }
    try {
        const auto db = Database::open(QString::fromLocal8Bit(argv[1]));
        const QString tag = QString::fromLocal8Bit(argv[2]);
        const int repeats = QString::fromLocal8Bit(argv[3]).toInt();
        for (int n = 1;; ++n) {
            const QString step = QStringLiteral("%1-%2").arg(tag).arg(n);
            Database::Transaction transaction(*db);
            db->execute(QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) "
                                       "VALUES('Crash', '%1', ' ', False)")
                            .arg(step));
            db->execute(QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                                       "VALUES((SELECT max(PersID) FROM TBPersonen), 'K', '%1', #1/2/26#, 0, null)")
                            .arg(step));
            db->execute(QStringLiteral("UPDATE TBSchluessel SET Gesamt = Gesamt + 1 WHERE SchluesselNr = 'K'"));
            db->execute(QStringLiteral("UPDATE TBKopfdaten SET Stempel = '%1', Bestätigung = '%2'")
                            .arg(step, step.repeated(repeats)));
            transaction.commit();
            // One write per line: the line reaches the pipe whole or not at all.
            const QByteArray line = step.toUtf8() + '\n';
            std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
            std::fflush(stdout);
        }
    } catch (const SqlError& e) {
        std::fprintf(stderr, "%d %s\n", e.number(), e.what());
        return 1;
    }
}

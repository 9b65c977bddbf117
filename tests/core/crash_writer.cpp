// Helper for test_crash: writes through Database until it is killed, and reports each step on stdout only
// after its commit has returned. A step is one transaction of four statements; the long template makes
// each commit write many pages. Arguments: FILE TAG TEMPLATE_REPEATS.
#include "core/Database.h"
#include "core/SqlError.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    try {
        const auto db = Database::open(QString::fromLocal8Bit(argv[1]));
        for (int n = 1;; ++n) {
            const QString step = QStringLiteral("%1-%2").arg(QString::fromLocal8Bit(argv[2])).arg(n);
            Database::Transaction transaction(*db);
            db->execute("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Crash', '" + step +
                        "', ' ', False)");
            db->execute("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES((SELECT "
                        "max(PersID) FROM TBPersonen), 'K', '" +
                        step + "', #1/2/26#, 0, null)");
            db->execute("UPDATE TBSchluessel SET Gesamt = Gesamt + 1 WHERE SchluesselNr = 'K'");
            db->execute("UPDATE TBKopfdaten SET Stempel = '" + step + "', Bestätigung = '" +
                        step.repeated(std::atoi(argv[3])) + "'");
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

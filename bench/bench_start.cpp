// The start on the largest site as the user sees it, from the moment the program is started: the start
// window painted, then the main window painted with its three lists filled, counted from the user's
// answer to the start window: half a second after it showed (a quick reader), and at once (no one is
// that quick; the program then has had no time to read ahead). The first start of a day makes the day's
// copy of the register meanwhile; it is timed beside a later start of the day and beside the engine's own
// online backup and check of the same file. Then the file's size, split into its parts. The program runs
// as a second process of this one, so that loading and starting it counts.
#include "BenchSite.h"
#include "core/AppState.h"
#include "core/Backup.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/SqlError.h"
#include "core/SqlFunctions.h"
#include "core/Startup.h"
#include "ui/BasMain.h"
#include "ui/FrmMain.h"
#include "ui/FrmSplash.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <sqlite3.h>

namespace {

const QString kChild = QStringLiteral("--as-program");

// Says on stdout when the start window and the main window have finished their first paint, and when the
// day's copy holds the whole register and when it has been checked; answers the start window answerMs
// after its paint, as a user who presses a key. Quits when the main window is painted and the copy is
// whole, or checked too when told to wait for that.
class FirstPaints : public QObject
{
public:
    FirstPaints(int answerMs, bool untilChecked) : m_answerMs(answerMs), m_untilChecked(untilChecked)
    {
        connect(&m_copy, &QTimer::timeout, this, [this] {
            const Backup* copy = dailyCopy();
            const Backup::Phase phase = copy ? copy->phase() : Backup::Phase::Done;
            if (phase != Backup::Phase::Copying && !m_copied) {
                m_copied = true;
                QTextStream(stdout) << "copied" << Qt::endl;
                quitWhenDone();
            }
            if (phase == Backup::Phase::Done && !m_checked) {
                m_checked = true;
                QTextStream(stdout) << "checked" << Qt::endl;
                quitWhenDone();
            }
        });
        m_copy.start(5);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            if (auto* splash = qobject_cast<FrmSplash*>(watched); splash && !m_splash) {
                m_splash = true;
                // Queued behind the paint of the window and its children.
                QTimer::singleShot(0, splash, [this, splash] {
                    QTextStream(stdout) << "splash" << Qt::endl;
                    QTimer::singleShot(m_answerMs, splash, [splash] {
                        QTextStream(stdout) << "answer" << Qt::endl;
                        splash->accept();
                    });
                });
            } else if (qobject_cast<FrmMain*>(watched) && !m_main) {
                m_main = true;
                QTimer::singleShot(0, qApp, [this] {
                    QTextStream(stdout) << "main" << Qt::endl;
                    quitWhenDone();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void quitWhenDone()
    {
        if (m_main && (m_untilChecked ? m_checked : m_copied))
            QCoreApplication::quit();
    }

    QTimer m_copy;
    int m_answerMs;
    bool m_untilChecked;
    bool m_splash = false;
    bool m_main = false;
    bool m_copied = false;
    bool m_checked = false;
};

// The program's own start (main.cpp without its options) on the register at path, with its daily copy.
int runProgram(int argc, char** argv, const QString& path, int answerMs, bool untilChecked)
{
    QApplication application(argc, argv);
    app().databasePath = path;
    app().backupAtStart = true;
    FirstPaints paints(answerMs, untilChecked);
    application.installEventFilter(&paints);
    return Main(application);
}

struct Start
{
    double splash = -1;  // from the start to the start window painted
    double main = -1;    // from the answer to the main window painted
    double copied = -1;  // from the start to the copy holding the whole register (writes go on from here)
    double checked = -1; // from the start to the copy checked
};

// One start; firstOfDay removes today's copy before, so that the start makes it. A later start finds
// today's copy: the one an earlier start made whole (its check cut short when that start was stopped).
Start start(const QString& program, const QString& site, int answerMs, bool firstOfDay, bool untilChecked = false)
{
    const QString copy = QDir(Backup::folderFor(site)).filePath(Backup::copyName(site, Clock::today()));
    if (firstOfDay) {
        QFile::remove(copy);
        QFile::remove(copy + QStringLiteral(".partial"));
    } else if (!QFileInfo::exists(copy)) {
        QFile::rename(copy + QStringLiteral(".partial"), copy);
    }
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(program, {kChild, site, QString::number(answerMs), untilChecked ? QStringLiteral("1") : QString()});
    Start times;
    double answered = -1;
    const auto done = [&] { return times.main >= 0 && (untilChecked ? times.checked : times.copied) >= 0; };
    while (!done() && child.waitForReadyRead(300000)) {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            const double now = clock.nsecsElapsed() / 1e6;
            if (line == "splash")
                times.splash = now;
            else if (line == "answer")
                answered = now;
            else if (line == "main")
                times.main = now - answered;
            else if (line == "copied")
                times.copied = now;
            else if (line == "checked")
                times.checked = now;
        }
    }
    // Quitting while the copy is checked waits for the check; a start measured only to its copy need not.
    if (!untilChecked)
        child.kill();
    child.waitForFinished();
    if (times.splash < 0 || answered < 0 || times.main < 0)
        throw SqlError(1, QStringLiteral("the program did not show its windows: ") +
                              QString::fromLocal8Bit(child.readAllStandardError()));
    return times;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// First and later starts of the day by turns, so that the machine's moods fall on both alike: the
// median of each.
std::pair<Start, Start> firstAndLater(const QString& program, const QString& site, int answerMs, int pairs)
{
    QList<double> splash[2], main[2];
    for (int run = 0; run < pairs; ++run) {
        for (const bool first : {true, false}) {
            const Start times = start(program, site, answerMs, first);
            splash[first ? 0 : 1] << times.splash;
            main[first ? 0 : 1] << times.main;
        }
    }
    return {{median(splash[0]), median(main[0])}, {median(splash[1]), median(main[1])}};
}

// The engine alone: the online backup of the file in one step into a new file, then its integrity check.
std::pair<double, double> engineCopy(const QString& site)
{
    QTemporaryDir dir;
    sqlite3* source = nullptr;
    sqlite3* target = nullptr;
    sqlite3_open_v2(QFile::encodeName(site).constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_open_v2(QFile::encodeName(dir.filePath(QStringLiteral("copy.MDB"))).constData(), &target,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    SqlFunctions::install(target);
    sqlite3_exec(target, "PRAGMA journal_mode = OFF", nullptr, nullptr, nullptr);
    QElapsedTimer clock;
    clock.start();
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    const double copied = clock.nsecsElapsed() / 1e6;
    sqlite3_exec(target, "PRAGMA integrity_check", nullptr, nullptr, nullptr);
    const double checked = clock.nsecsElapsed() / 1e6;
    sqlite3_close(target);
    sqlite3_close(source);
    return {copied, checked};
}

// Bytes of the movements and the journal, each with its indexes, and of the whole file.
struct Sizes
{
    double movements = 0;
    double journal = 0;
    double file = 0;
};

Sizes sizes(const QString& site)
{
    Sizes out;
    auto db = Database::openReadOnly(site);
    for (Recordset rs = db->openRecordset(QStringLiteral(
             "SELECT coalesce(i.tbl_name, s.name), sum(s.pgsize) FROM dbstat s LEFT JOIN sqlite_master i ON "
             "i.name = s.name GROUP BY 1"));
         !rs.eof(); rs.moveNext()) {
        const QString table = rs.field(0).toString();
        const double mb = rs.field(1).toDouble() / 1e6;
        if (table == QLatin1String("TBBewegungen"))
            out.movements += mb;
        else if (table == QLatin1String("TBVerlauf"))
            out.journal += mb;
    }
    out.file = QFileInfo(site).size() / 1e6;
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")).toUtf8());
    if (argc == 5 && QString::fromLocal8Bit(argv[1]) == kChild)
        return runProgram(1, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]).toInt(),
                          argv[4][0] != 0);

    QTextStream out(stdout);
    try {
        const QString site = benchSitePath();
        const QString program = QString::fromLocal8Bit(argv[0]);
        const auto line = [&out](const QString& label, double ms, double goal, const QString& beside = {}) {
            out << QStringLiteral("%1 %2 ms%3%4\n")
                       .arg(label, -62)
                       .arg(ms, 8, 'f', 1)
                       .arg(beside)
                       .arg(goal <= 0   ? QString()
                            : ms < goal ? QStringLiteral("  (goal < %1 ms)").arg(goal)
                                        : QStringLiteral("  (goal < %1 ms)  MISSED").arg(goal));
        };
        const auto [first, later] = firstAndLater(program, site, 500, 5);
        const auto [firstAtOnce, laterAtOnce] = firstAndLater(program, site, 0, 3);
        const Start copy = start(program, site, 500, true, true);
        const auto [engineCopied, engineChecked] = engineCopy(site);
        line(QStringLiteral("first start of the day: start window painted"), first.splash, 100);
        line(QStringLiteral("later start of the day: start window painted"), later.splash, 100);
        line(QStringLiteral("first start, answered after 0.5 s: main window painted"), first.main, 1000);
        line(QStringLiteral("later start, answered after 0.5 s: main window painted"), later.main, 300);
        line(QStringLiteral("first start, answered at once: main window painted"), firstAtOnce.main, 1000);
        line(QStringLiteral("later start, answered at once: main window painted"), laterAtOnce.main, 0);
        // On a busy machine the times swell alike; the first start of the day keeps up with a later one.
        out << QStringLiteral(
                   "first start against a later one: start window %1 x, main window %2 x  (goal about 1 x)\n")
                   .arg(first.splash / later.splash, 0, 'f', 2)
                   .arg(first.main / later.main, 0, 'f', 2);
        line(QStringLiteral("first start: copy whole, writes go on"), copy.copied, 0,
             QStringLiteral("  engine's backup alone %1 ms").arg(engineCopied, 0, 'f', 1));
        line(QStringLiteral("first start: copy checked"), copy.checked, 0,
             QStringLiteral("  engine's backup and check alone %1 ms").arg(engineChecked, 0, 'f', 1));

        const Sizes size = sizes(site);
        const double rest = size.file - size.movements - size.journal;
        out << QStringLiteral("file %1 MB (goal < 260 MB%2): movements with indexes %3 MB, journal with indexes %4 MB "
                              "(%5 x the movements, goal <= 1.5 x%6), rest %7 MB\n")
                   .arg(size.file, 0, 'f', 1)
                   .arg(size.file < 260 ? QString() : QStringLiteral(", MISSED"))
                   .arg(size.movements, 0, 'f', 1)
                   .arg(size.journal, 0, 'f', 1)
                   .arg(size.journal / size.movements, 0, 'f', 2)
                   .arg(size.journal <= 1.5 * size.movements ? QString() : QStringLiteral(", MISSED"))
                   .arg(rest, 0, 'f', 1);
    } catch (const SqlError& e) {
        out << errorText(e);
        return 1;
    }
    return 0;
}

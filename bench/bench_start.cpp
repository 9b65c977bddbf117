// The start on the largest site as the user sees it, from the moment the program is started: the start
// window painted, then the main window painted with its three lists filled, counted from the user's
// answer to the start window: half a second after it showed (a quick reader), and at once (no one is
// that quick; the program then has had no time to read ahead). The program runs as a second process of
// this one, so that loading and starting it counts.
#include "BenchSite.h"
#include "core/AppState.h"
#include "core/SqlError.h"
#include "ui/BasMain.h"
#include "ui/FrmMain.h"
#include "ui/FrmSplash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>
#include <QTimer>

namespace {

const QString kChild = QStringLiteral("--as-program");

// Says on stdout when the start window and the main window have finished their first paint; answers the
// start window answerMs after its paint, as a user who presses a key.
class FirstPaints : public QObject
{
public:
    explicit FirstPaints(int answerMs) : m_answerMs(answerMs) {}

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
                QTimer::singleShot(0, qApp, [] {
                    QTextStream(stdout) << "main" << Qt::endl;
                    QCoreApplication::quit();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int m_answerMs;
    bool m_splash = false;
    bool m_main = false;
};

// The program's own start (main.cpp without its options) on the register at path.
int runProgram(int argc, char** argv, const QString& path, int answerMs)
{
    QApplication application(argc, argv);
    app().databasePath = path;
    FirstPaints paints(answerMs);
    application.installEventFilter(&paints);
    return Main(application);
}

struct Start
{
    double splash = -1; // from the start to the start window painted
    double main = -1;   // from the answer to the main window painted
};

Start start(const QString& program, const QString& site, int answerMs)
{
    Start best;
    for (int run = 0; run < 5; ++run) {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(program, {kChild, site, QString::number(answerMs)});
        Start times;
        double answered = -1;
        while (times.main < 0 && child.waitForReadyRead(10000)) {
            while (child.canReadLine()) {
                const QByteArray line = child.readLine().trimmed();
                const double now = clock.nsecsElapsed() / 1e6;
                if (line == "splash")
                    times.splash = now;
                else if (line == "answer")
                    answered = now;
                else if (line == "main")
                    times.main = now - answered;
            }
        }
        child.waitForFinished();
        if (times.splash < 0 || answered < 0 || times.main < 0)
            throw SqlError(1, QStringLiteral("the program did not show its windows: ") +
                                  QString::fromLocal8Bit(child.readAllStandardError()));
        best.splash = best.splash < 0 ? times.splash : std::min(best.splash, times.splash);
        best.main = best.main < 0 ? times.main : std::min(best.main, times.main);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")).toUtf8());
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == kChild)
        return runProgram(1, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]).toInt());

    QTextStream out(stdout);
    try {
        const QString site = benchSitePath();
        const QString program = QString::fromLocal8Bit(argv[0]);
        const Start reader = start(program, site, 500);
        const Start atOnce = start(program, site, 0);
        const auto line = [&out](const QString& label, double ms, bool goal) {
            out << QStringLiteral("%1 %2 ms%3\n")
                       .arg(label, -58)
                       .arg(ms, 8, 'f', 1)
                       .arg(!goal      ? QString()
                            : ms < 300 ? QStringLiteral("  (goal < 300 ms)")
                                       : QStringLiteral("  (goal < 300 ms)  MISSED"));
        };
        line(QStringLiteral("start to the start window painted"), reader.splash, false);
        line(QStringLiteral("answered after 0.5 s: main window painted, lists filled"), reader.main, true);
        line(QStringLiteral("answered at once: main window painted, lists filled"), atOnce.main, false);
    } catch (const SqlError& e) {
        out << errorText(e);
        return 1;
    }
    return 0;
}

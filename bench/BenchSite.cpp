#include "BenchSite.h"

#include "core/AppState.h"
#include "core/Database.h"
#include "core/DemoData.h"
#include "core/Dialect.h"
#include "core/Schema.h"
#include "core/SqlError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <ctime>
#include <sqlite3.h>

namespace {

double cpuMs(const std::function<void()>& action)
{
    const std::clock_t start = std::clock();
    action();
    return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

} // namespace

QString benchSitePath()
{
    const QString path = QStringLiteral(CLAVARO_BENCH_DIR "/site.MDB");
    if (QFileInfo::exists(path)) {
        // A site from before a schema change is written afresh, so every run measures today's schema.
        int stored = -1;
        {
            auto db = Database::open(path);
            Recordset version = db->openRecordset(QStringLiteral("PRAGMA user_version"));
            stored = version.field(0).toInt();
        }
        if (stored == Schema::version())
            return path;
        QFile::remove(path);
    }
    // Written under another name first, so an interrupted run never leaves a half-filled site behind.
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    QTextStream out(stdout);
    out << "Writing the largest site to " << path << " ..." << Qt::endl;
    QElapsedTimer timer;
    timer.start();
    DemoData::create(part, DemoData::largestSite());
    if (!QFile::rename(part, path))
        throw SqlError(SQLITE_CANTOPEN, QStringLiteral("cannot rename %1 to %2").arg(part, path));
    out << "  written in " << timer.elapsed() << " ms" << Qt::endl;
    return path;
}

int engineRead(Database& db, const QString& sql)
{
    const QByteArray text = Dialect::translate(sql).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db.handle(), text.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        throw SqlError(SQLITE_ERROR, QString::fromUtf8(sqlite3_errmsg(db.handle())), sql);
    int rows = 0;
    const int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i)
            sqlite3_column_text(stmt, i);
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

int programRead(Database& db, const QString& sql, int columns)
{
    Recordset rs = db.openRecordset(sql);
    while (!rs.eof()) {
        for (int i = 0; i < columns; ++i)
            rs.field(i);
        rs.moveNext();
    }
    return rs.recordCount();
}

double bestMs(const std::function<void()>& action, int runs)
{
    qint64 best = -1;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        action();
        const qint64 elapsed = timer.nsecsElapsed();
        best = best < 0 ? elapsed : std::min(best, elapsed);
    }
    return best / 1e6;
}

std::pair<double, double> bestPairMs(const std::function<void()>& program, const std::function<void()>& engine,
                                     int runs)
{
    double programBest = -1;
    double engineBest = -1;
    for (int run = 0; run < runs; ++run) {
        const double p = cpuMs(program);
        const double e = cpuMs(engine);
        programBest = programBest < 0 ? p : std::min(programBest, p);
        engineBest = engineBest < 0 ? e : std::min(engineBest, e);
    }
    return {programBest, engineBest};
}

void printRatio(const QString& label, int rows, double programMs, double engineMs, double goal)
{
    const double ratio = engineMs > 0 ? programMs / engineMs : 0;
    QTextStream(stdout) << QStringLiteral("%1 %2 rows  %3 ms  engine %4 ms  %5 x  (goal <= %6 x)%7\n")
                               .arg(label, -36)
                               .arg(rows, 7)
                               .arg(programMs, 8, 'f', 1)
                               .arg(engineMs, 7, 'f', 1)
                               .arg(ratio, 5, 'f', 2)
                               .arg(goal, 0, 'f', 1)
                               .arg(ratio <= goal ? QString() : QStringLiteral("  MISSED"));
}

void printGoal(const QString& label, int rows, double programMs, double engineMs, double goalMs)
{
    QTextStream(stdout) << QStringLiteral("%1 %2 rows  %3 ms  engine %4 ms  %5 x  (goal < %6 ms)%7\n")
                               .arg(label, -36)
                               .arg(rows, 7)
                               .arg(programMs, 8, 'f', 1)
                               .arg(engineMs, 7, 'f', 1)
                               .arg(engineMs > 0 ? programMs / engineMs : 0, 5, 'f', 2)
                               .arg(goalMs, 0, 'f', 0)
                               .arg(programMs < goalMs ? QString() : QStringLiteral("  MISSED"));
}

QString errorText(const SqlError& e)
{
    return QStringLiteral("error %1: %2\n  %3\n").arg(e.number()).arg(e.description(), e.statement());
}

Database& openSiteCopy(const QString& dir)
{
    const QString path = dir + QStringLiteral("/TBDB.MDB");
    QFile::copy(benchSitePath(), path);
    app().DB = Database::open(path);
    Schema::upgrade(*app().DB);
    return *app().DB;
}

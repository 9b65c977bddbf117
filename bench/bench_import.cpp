// Carrying the largest site over from a Jet file (32,767 persons, 30,000 keys, 1,000,000 movements), beside the
// two costs it is made of, measured in the same run: mdbtools' mdb-export of the four tables (reading the file)
// and the engine alone loading the same rows from memory through one prepared statement per table, indexes
// built afterwards (writing the register). Times are on the clock, since mdb-export runs as a process of its
// own: the best of three rounds, each measuring all three in turn.
#include "BenchSite.h"
#include "core/Database.h"
#include "core/Schema.h"
#include "core/SqlError.h"
#include "core/Statement.h"
#include "jet/JetImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <ctime>
#include <string>
#include <vector>

namespace {

const QString kDir = QStringLiteral(CLAVARO_BENCH_DIR);

// The largest site as a Jet 4 file, written once by the test writer's make_jet_register.
QString jetSite()
{
    const QString path = kDir + QStringLiteral("/site.jet");
    if (QFileInfo::exists(path))
        return path;
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    QTextStream(stdout) << "Writing the largest site as a Jet file to " << path << " ..." << Qt::endl;
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedChannels);
    writer.start(QStringLiteral(CLAVARO_MAKE_JET_REGISTER), {part});
    if (!writer.waitForFinished(-1) || writer.exitCode() != 0 || !QFile::rename(part, path))
        throw SqlError(1, QStringLiteral("make_jet_register could not write ") + path);
    return path;
}

// An action's time on the clock and this process's processor time for it, in milliseconds, each kept when it
// is the best so far.
struct Best
{
    double wall = -1;
    double cpu = -1;

    void measure(const std::function<void()>& action)
    {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t start = std::clock();
        action();
        const double cpuMs = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
        const double wallMs = timer.nsecsElapsed() / 1e6;
        wall = wall < 0 ? wallMs : std::min(wall, wallMs);
        cpu = cpu < 0 ? cpuMs : std::min(cpu, cpuMs);
    }
};

// The highest resident memory of this process so far in MB, where the system tells it (Linux); -1 elsewhere.
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

// The rows of one table held in memory: every value in one list, the texts' bytes in one block.
struct Held
{
    struct Value
    {
        qint64 number = 0;
        qint32 offset = 0;
        qint32 length = -1; // -1: Null, -2: a number
    };
    QString table;
    QStringList columns;
    std::vector<Value> values;
    std::string texts;
};

Held hold(Database& db, const QString& table)
{
    Held held{table, {}, {}, {}};
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db.handle(), ("SELECT * FROM " + table.toUtf8()).constData(), -1, &stmt, nullptr);
    for (int c = 0; c < sqlite3_column_count(stmt); ++c)
        held.columns << QString::fromUtf8(sqlite3_column_name(stmt, c));
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < held.columns.size(); ++c) {
            Held::Value value;
            if (sqlite3_column_type(stmt, c) == SQLITE_INTEGER) {
                value = {sqlite3_column_int64(stmt, c), 0, -2};
            } else if (sqlite3_column_type(stmt, c) != SQLITE_NULL) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                value = {0, qint32(held.texts.size()), sqlite3_column_bytes(stmt, c)};
                held.texts.append(text, std::size_t(value.length));
            }
            held.values.push_back(value);
        }
    }
    sqlite3_finalize(stmt);
    return held;
}

// The engine's part alone: a new register, the rows from memory, the indexes and triggers afterwards.
void load(const std::vector<Held>& tables, const QString& path)
{
    QFile::remove(path);
    Database::create(path);
    auto db = Database::open(path);
    db->executeNative(QStringLiteral("PRAGMA cache_size = -65536")); // as the carry-over has it
    Database::Transaction transaction(*db);
    Schema::BulkLoad bulk(*db, Schema::tables(), true);
    for (const Held& held : tables) {
        QStringList places;
        for (int c = 0; c < held.columns.size(); ++c)
            places << QStringLiteral("?%1").arg(c + 1);
        Statement insert(db->handle(), QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                           .arg(held.table, held.columns.join(u','), places.join(u',')));
        const std::size_t width = std::size_t(held.columns.size());
        for (std::size_t row = 0; row < held.values.size(); row += width) {
            for (std::size_t c = 0; c < width; ++c) {
                const Held::Value& value = held.values[row + c];
                const int place = int(c) + 1;
                if (value.length == -1)
                    insert.null(place);
                else if (value.length == -2)
                    insert.number(place, value.number);
                else
                    insert.text(place, QByteArrayView(held.texts.data() + value.offset, value.length));
            }
            insert.run();
        }
    }
    bulk.finish();
    transaction.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    try {
        const QString jet = jetSite();
        const QString carried = kDir + QStringLiteral("/carried.MDB");
        const QString loaded = kDir + QStringLiteral("/loaded.MDB");

        // The carry-over first, so that the process's highest memory is its own.
        Best carryOver;
        Best exported; // its processor time is another process's
        Best loadedFromMemory;
        double peak = -1;
        qint64 rows = 0;
        std::vector<Held> tables;
        for (int run = 0; run < 3; ++run) {
            QFile::remove(carried);
            carryOver.measure([&] {
                for (const auto& [table, count] : JetImport::carryOver(jet, carried).carried)
                    rows += run == 0 ? count : 0;
            });
            if (run == 0) {
                peak = peakMb();
                const auto db = Database::openReadOnly(carried);
                for (const QString& table : Schema::tables())
                    tables.push_back(hold(*db, table));
            }
            exported.measure([&jet] {
                for (const QString& table : Schema::tables()) {
                    QProcess mdbExport;
                    mdbExport.setStandardOutputFile(QProcess::nullDevice());
                    mdbExport.start(QStringLiteral("mdb-export"), {jet, table});
                    mdbExport.waitForFinished(-1);
                }
            });
            loadedFromMemory.measure([&] { load(tables, loaded); });
        }
        printRatio(QStringLiteral("carry-over of the largest site"), int(rows), carryOver.wall,
                   exported.wall + loadedFromMemory.wall, 1.5);
        out << QStringLiteral("  anchors: mdb-export %1 ms + engine load %2 ms; carry-over %3 s (goal < 15 s)%4\n")
                   .arg(exported.wall, 0, 'f', 1)
                   .arg(loadedFromMemory.wall, 0, 'f', 1)
                   .arg(carryOver.wall / 1000, 0, 'f', 1)
                   .arg(carryOver.wall < 15000 ? QString() : QStringLiteral("  MISSED"));
        out << QStringLiteral("  processor time: carry-over %1 ms, engine load %2 ms\n")
                   .arg(carryOver.cpu, 0, 'f', 1)
                   .arg(loadedFromMemory.cpu, 0, 'f', 1);
        out << QStringLiteral("  highest memory of the carry-over's process: %1 MB (goal < 200 MB)%2\n")
                   .arg(peak, 0, 'f', 0)
                   .arg(peak < 200 ? QString() : QStringLiteral("  MISSED"));
        QFile::remove(carried);
        QFile::remove(loaded);
    } catch (const SqlError& e) {
        out << errorText(e);
        return 1;
    } catch (const JetError& e) {
        out << "The Jet file cannot be carried over: " << e.detail() << '\n';
        return 1;
    }
    return 0;
}

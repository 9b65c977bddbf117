#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct sqlite3;

// The daily copy of the register, taken at the first start of a day before anything is written: into
// a folder beside the file ("TBDB.MDB.backup/TBDB-2026-12-06.MDB"). The copy runs in a thread of its
// own while the program starts; the register's writes wait until it holds the whole register
// (Database::setWriteGate), and it is checked after that.
class Backup
{
public:
    // The folder and the name of the copy of one day.
    static QString folderFor(const QString& registerPath);
    static QString copyName(const QString& registerPath, const QDate& day);

    // Whether the file at path counts as a copy: a regular file (no link, no folder) that opens as a
    // register. Nothing else is ever trusted or removed.
    static bool isCopy(const QString& path);

    // The days of the copies in the folder: files named as copies that are copies.
    static QList<QDate> copiesIn(const QString& registerPath);

    // Which copies go: kept are those of the last 14 days (today included), for each of the 12 calendar
    // months before this one its newest copy, and any copy dated after today (the clock was off once;
    // nothing is removed that the rule cannot place).
    static QList<QDate> expired(const QList<QDate>& copies, const QDate& today);

    // Starts the day's copy of the open register, unless today's copy exists; its thread first removes what
    // interrupted copies of any day left behind. The engine's online backup copies page by page, so
    // the register can be read meanwhile; then the copy's integrity is checked, and only then expired
    // copies are removed. Nullptr when there is nothing to do. The source must be open for use from
    // two threads. A copy held waits for resume() before its next step, so that what the user waits for
    // (the main window's lists, its first paint) comes first.
    static std::unique_ptr<Backup> start(sqlite3* source, const QString& registerPath, const QDate& today,
                                         bool held = false);
    void hold();
    void resume();

    // Stops a copy still running (its partial file is removed) and waits for the thread.
    ~Backup();
    Backup(const Backup&) = delete;
    Backup& operator=(const Backup&) = delete;

    enum class Phase { Copying, Checking, Done };
    Phase phase() const { return m_phase.load(); }
    // The share of the register's pages copied so far, 0 to 1.
    double progress() const { return m_progress.load(); }

    void waitUntilCopied(); // the copy holds the whole register, or it failed
    void waitUntilDone();

    // The reason of a failure, once: nullopt while running, without a failure, and after it was taken.
    std::optional<QString> takeFailure();

    // The one message for a failure, told once something can be shown.
    static void report(const QString& failure);

private:
    Backup(sqlite3* source, QString registerPath, QDate today);
    void run();
    std::optional<QString> copy(const QString& partial);
    std::optional<QString> rotate() const;
    void setPhase(Phase phase);

    sqlite3* m_source;
    QString m_registerPath;
    QDate m_today;
    std::atomic<Phase> m_phase{Phase::Copying};
    std::atomic<double> m_progress{0};
    std::atomic<bool> m_cancel{false};
    bool m_held = false; // guarded by m_mutex
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<QString> m_failure;
    std::thread m_thread;
};

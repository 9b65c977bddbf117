#include "Backup.h"

#include "Database.h"
#include "Messages.h"
#include "SqlError.h"
#include "SqlFunctions.h"
#include "Texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <sqlite3.h>

namespace {

// Pages per step of the online backup: small enough that a statement of the program waits at most a
// few milliseconds for the engine while a step runs.
constexpr int kPagesPerStep = 256;

struct HandleCloser
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

// "TBDB.MDB" → "TBDB" and ".MDB"; a name without a dot has no suffix.
std::pair<QString, QString> baseAndSuffix(const QString& registerPath)
{
    const QString name = QFileInfo(registerPath).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return {name, QString()};
    return {name.left(dot), name.mid(dot)};
}

// The names of the copies of any day, with what follows the suffix ("" for a copy, ".partial…" for what
// an interrupted copy leaves).
QRegularExpression namePattern(const QString& registerPath, const QString& after)
{
    const auto [base, suffix] = baseAndSuffix(registerPath);
    return QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(base) +
                              QStringLiteral("-(\\d{4}-\\d{2}-\\d{2})") + QRegularExpression::escape(suffix) + after +
                              QLatin1Char('$'));
}

bool isRegularFile(const QFileInfo& info)
{
    return info.isFile() && !info.isSymLink();
}

QString engineError(sqlite3* db, int rc)
{
    return QStringLiteral("%1 (%2)").arg(rc & 0xff).arg(db ? QString::fromUtf8(sqlite3_errmsg(db))
                                                           : QString::fromUtf8(sqlite3_errstr(rc)));
}

} // namespace

QString Backup::folderFor(const QString& registerPath)
{
    return registerPath + QStringLiteral(".backup");
}

QString Backup::copyName(const QString& registerPath, const QDate& day)
{
    const auto [base, suffix] = baseAndSuffix(registerPath);
    return base + QLatin1Char('-') + day.toString(Qt::ISODate) + suffix;
}

bool Backup::isCopy(const QString& path)
{
    if (!isRegularFile(QFileInfo(path)))
        return false;
    try {
        Database::openReadOnly(path);
        return true;
    } catch (const SqlError&) {
        return false;
    }
}

QList<QDate> Backup::copiesIn(const QString& registerPath)
{
    const QRegularExpression pattern = namePattern(registerPath, {});
    const QDir folder(folderFor(registerPath));
    QList<QDate> days;
    for (const QString& name : folder.entryList(QDir::Files | QDir::NoSymLinks | QDir::Hidden)) {
        const QRegularExpressionMatch match = pattern.match(name);
        const QDate day = match.hasMatch() ? QDate::fromString(match.captured(1), Qt::ISODate) : QDate();
        if (day.isValid() && isCopy(folder.filePath(name)))
            days.append(day);
    }
    return days;
}

QList<QDate> Backup::expired(const QList<QDate>& copies, const QDate& today)
{
    const QDate firstDaily = today.addDays(-13);
    const QDate thisMonth(today.year(), today.month(), 1);
    const QDate firstMonthly = thisMonth.addMonths(-12);
    const auto monthOf = [](const QDate& d) { return d.year() * 12 + d.month(); };

    QList<QDate> gone;
    for (const QDate& copy : copies) {
        if (copy > today || copy >= firstDaily)
            continue;
        if (copy >= firstMonthly && copy < thisMonth) {
            const bool newestOfMonth = std::none_of(copies.begin(), copies.end(), [&](const QDate& other) {
                return other > copy && monthOf(other) == monthOf(copy);
            });
            if (newestOfMonth)
                continue;
        }
        gone.append(copy);
    }
    return gone;
}

std::unique_ptr<Backup> Backup::start(sqlite3* source, const QString& registerPath, const QDate& today, bool held)
{
    std::unique_ptr<Backup> backup(new Backup(source, registerPath, today));
    backup->m_held = held;
    const QString folder = folderFor(registerPath);
    const QString target = QDir(folder).filePath(copyName(registerPath, today));
    if (!QDir().mkpath(folder)) {
        backup->m_failure = QStringLiteral("cannot create the folder %1").arg(folder);
    } else {
        const QFileInfo existing(target);
        if (existing.exists() || existing.isSymLink()) {
            if (isCopy(target))
                return nullptr;
            backup->m_failure =
                QStringLiteral("%1: the name is taken by something that is not a copy of the register (a folder, a "
                               "link or a damaged file); it is left as it is")
                    .arg(target);
        }
    }
    if (backup->m_failure) {
        backup->m_phase = Phase::Done;
        return backup;
    }
    backup->m_thread = std::thread([raw = backup.get()] { raw->run(); });
    return backup;
}

Backup::Backup(sqlite3* source, QString registerPath, QDate today)
    : m_source(source), m_registerPath(std::move(registerPath)), m_today(today)
{
}

Backup::~Backup()
{
    m_cancel = true;
    resume();
    if (m_thread.joinable())
        m_thread.join();
}

void Backup::hold()
{
    const std::lock_guard lock(m_mutex);
    m_held = true;
}

void Backup::resume()
{
    {
        const std::lock_guard lock(m_mutex);
        m_held = false;
    }
    m_changed.notify_all();
}

void Backup::setPhase(Phase phase)
{
    {
        const std::lock_guard lock(m_mutex);
        m_phase = phase;
    }
    m_changed.notify_all();
}

void Backup::waitUntilCopied()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_phase != Phase::Copying; });
}

void Backup::waitUntilDone()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_phase == Phase::Done; });
}

std::optional<QString> Backup::takeFailure()
{
    const std::lock_guard lock(m_mutex);
    if (m_phase != Phase::Done)
        return std::nullopt;
    return std::exchange(m_failure, std::nullopt);
}

void Backup::run()
{
    // What interrupted copies left, of any day: only regular files, under the names a copy is made under.
    // Removed here, not before the start window: a leftover is as large as the register.
    const QRegularExpression leftover = namePattern(m_registerPath, QStringLiteral("\\.partial(-journal)?"));
    const QDir dir(folderFor(m_registerPath));
    for (const QString& name : dir.entryList(QDir::Files | QDir::NoSymLinks | QDir::Hidden)) {
        if (leftover.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
    }

    const QString target = QDir(folderFor(m_registerPath)).filePath(copyName(m_registerPath, m_today));
    // Under a name no rotation matches, until the copy is whole and checked.
    const QString partial = target + QStringLiteral(".partial");
    std::optional<QString> failure = copy(partial);
    if (!failure) {
        QFile file(partial);
        if (!file.rename(target))
            failure = file.errorString();
    }
    if (failure) {
        QFile::remove(partial);
        failure = QStringLiteral("%1: %2").arg(target, *failure);
    } else {
        failure = rotate();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_failure = m_cancel ? std::nullopt : failure; // a stopped copy is no failure; the next start makes it
    }
    setPhase(Phase::Done);
}

std::optional<QString> Backup::copy(const QString& partial)
{
    const auto whileHeld = [this] {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_held; });
    };
    whileHeld();
    if (m_cancel)
        return QStringLiteral("stopped");
    // A new file, never one that is there (a link would be followed).
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return file.errorString();
    file.close();

    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(partial).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, HandleCloser> target(raw);
    if (rc != SQLITE_OK)
        return engineError(target.get(), rc);
    // The check below walks the indexes, which are ordered by the register's collation. No journal: an
    // interrupted copy is thrown away whole.
    rc = SqlFunctions::install(target.get());
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(target.get(), "PRAGMA journal_mode = OFF", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return engineError(target.get(), rc);

    sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", m_source, "main");
    if (!backup)
        return engineError(target.get(), sqlite3_errcode(target.get()));
    do {
        whileHeld();
        rc = sqlite3_backup_step(backup, kPagesPerStep);
        // A pause between the steps lets a statement of the program in (the engine's lock on the
        // connection is not fair).
        sqlite3_sleep(rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? 10 : 1);
        const int total = sqlite3_backup_pagecount(backup);
        if (total > 0)
            m_progress = double(total - sqlite3_backup_remaining(backup)) / total;
    } while ((rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && !m_cancel);
    const int finished = sqlite3_backup_finish(backup);
    if (m_cancel)
        return QStringLiteral("stopped");
    if (rc != SQLITE_DONE)
        return engineError(target.get(), rc);
    if (finished != SQLITE_OK)
        return engineError(target.get(), finished);
    setPhase(Phase::Checking);

    sqlite3_progress_handler(
        target.get(), 10000, [](void* cancel) { return static_cast<std::atomic<bool>*>(cancel)->load() ? 1 : 0; },
        &m_cancel);
    sqlite3_stmt* check = nullptr;
    rc = sqlite3_prepare_v2(target.get(), "PRAGMA integrity_check", -1, &check, nullptr);
    QString verdict;
    if (rc == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW)
        verdict = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)));
    sqlite3_finalize(check);
    if (m_cancel)
        return QStringLiteral("stopped");
    if (verdict.isEmpty())
        verdict = engineError(target.get(), sqlite3_errcode(target.get()));
    if (verdict != QLatin1String("ok"))
        return QStringLiteral("integrity check: %1").arg(verdict);
    return std::nullopt;
}

std::optional<QString> Backup::rotate() const
{
    const QDir dir(folderFor(m_registerPath));
    QStringList notRemoved;
    for (const QDate& day : expired(copiesIn(m_registerPath), m_today)) {
        const QString old = dir.filePath(copyName(m_registerPath, day));
        if (!QFile::remove(old))
            notRemoved << old;
    }
    if (notRemoved.isEmpty())
        return std::nullopt;
    return QStringLiteral("cannot remove %1").arg(notRemoved.join(QStringLiteral(", ")));
}

void Backup::report(const QString& failure)
{
    msgBox(GetText(QStringLiteral("Die Sicherungskopie des Registers konnte nicht angelegt werden:"), 830) +
               QStringLiteral("\r\n") + failure,
           Messages::Icon::Exclamation);
}

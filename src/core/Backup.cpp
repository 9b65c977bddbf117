#include "Backup.h"

#include "Messages.h"
#include "SqlFunctions.h"
#include "Texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <memory>
#include <sqlite3.h>

namespace {

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

QString engineError(sqlite3* db, int rc)
{
    return QStringLiteral("%1 (%2)").arg(rc & 0xff).arg(db ? QString::fromUtf8(sqlite3_errmsg(db))
                                                           : QString::fromUtf8(sqlite3_errstr(rc)));
}

// The whole copy into a new file at path; the reason when it fails.
std::optional<QString> copyInto(sqlite3* source, const QString& path)
{
    sqlite3* raw = nullptr;
    int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const std::unique_ptr<sqlite3, HandleCloser> target(raw);
    if (rc != SQLITE_OK)
        return engineError(target.get(), rc);
    // The check below walks the indexes, which are ordered by the register's collation.
    rc = SqlFunctions::install(target.get());
    if (rc != SQLITE_OK)
        return engineError(target.get(), rc);

    sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source, "main");
    if (!backup)
        return engineError(target.get(), sqlite3_errcode(target.get()));
    rc = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        return engineError(target.get(), rc);
    if (finished != SQLITE_OK)
        return engineError(target.get(), finished);

    sqlite3_stmt* check = nullptr;
    rc = sqlite3_prepare_v2(target.get(), "PRAGMA integrity_check", -1, &check, nullptr);
    QString verdict;
    if (rc == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW)
        verdict = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)));
    sqlite3_finalize(check);
    if (verdict.isEmpty())
        verdict = engineError(target.get(), sqlite3_errcode(target.get()));
    if (verdict != QLatin1String("ok"))
        return QStringLiteral("integrity check: %1").arg(verdict);
    return std::nullopt;
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

QList<QDate> Backup::copiesIn(const QString& registerPath)
{
    const auto [base, suffix] = baseAndSuffix(registerPath);
    const QRegularExpression pattern(QLatin1Char('^') + QRegularExpression::escape(base) +
                                     QStringLiteral("-(\\d{4}-\\d{2}-\\d{2})") + QRegularExpression::escape(suffix) +
                                     QLatin1Char('$'));
    QList<QDate> days;
    const QStringList names = QDir(folderFor(registerPath)).entryList(QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        const QDate day = match.hasMatch() ? QDate::fromString(match.captured(1), Qt::ISODate) : QDate();
        if (day.isValid())
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

std::optional<QString> Backup::daily(sqlite3* source, const QString& registerPath, const QDate& today)
{
    const QString folder = folderFor(registerPath);
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create the folder %1").arg(folder);
    const QDir dir(folder);
    const QString target = dir.filePath(copyName(registerPath, today));
    if (QFileInfo::exists(target))
        return std::nullopt;

    // Under a name no rotation matches, until the copy is whole and checked.
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    if (const std::optional<QString> failure = copyInto(source, partial)) {
        QFile::remove(partial);
        return QStringLiteral("%1: %2").arg(target, *failure);
    }
    QFile file(partial);
    if (!file.rename(target)) {
        const QString reason = file.errorString();
        QFile::remove(partial);
        return QStringLiteral("%1: %2").arg(target, reason);
    }

    QStringList notRemoved;
    for (const QDate& day : expired(copiesIn(registerPath), today)) {
        const QString old = dir.filePath(copyName(registerPath, day));
        if (!QFile::remove(old))
            notRemoved << old;
    }
    if (!notRemoved.isEmpty())
        return QStringLiteral("cannot remove %1").arg(notRemoved.join(QStringLiteral(", ")));
    return std::nullopt;
}

void Backup::report(const QString& failure)
{
    msgBox(GetText(QStringLiteral("Die Sicherungskopie des Registers konnte nicht angelegt werden:"), 830) +
               QStringLiteral("\r\n") + failure,
           Messages::Icon::Exclamation);
}

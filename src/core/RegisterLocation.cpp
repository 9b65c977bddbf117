#include "RegisterLocation.h"

#include "Database.h"
#include "Messages.h"
#include "SqlError.h"
#include "Texts.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <sqlite3.h>

namespace {
const QString kFileName = QStringLiteral("TBDB.MDB");
}

namespace RegisterLocation {

QString defaultPath(const QString& programDir)
{
    const QString beside = QDir(programDir).filePath(kFileName);
    return QFileInfo::exists(beside) ? beside : QDir(dataFolder()).filePath(kFileName);
}

QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool offerToCreate(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const Messages::Answer answer =
        msgBox(GetText(QStringLiteral("Am Standardort gibt es noch keine Datenbank:"), 710) + QStringLiteral("\r\n") +
                   shown + QStringLiteral("\r\n\r\n") +
                   GetText(QStringLiteral("Soll dort eine leere Datenbank angelegt werden?"), 711),
               Messages::Icon::Question, Messages::Buttons::YesNo);
    if (answer != Messages::Answer::Yes)
        return false;
    try {
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            throw SqlError(SQLITE_CANTOPEN, QStringLiteral("cannot create the folder %1")
                                                .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
        Database::create(path);
        return true;
    } catch (const SqlError& e) {
        msgBox(GetText(QStringLiteral("Die Datenbank konnte nicht angelegt werden:"), 712) + QStringLiteral("\r\n") +
                   shown + QStringLiteral("\r\n") + e.text(),
               Messages::Icon::Exclamation);
        return false;
    }
}

} // namespace RegisterLocation

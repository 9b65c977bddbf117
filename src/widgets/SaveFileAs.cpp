#include "SaveFileAs.h"

#include "DialogRunner.h"
#include "core/Messages.h"
#include "core/Texts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& lastFolder()
{
    static QString folder;
    return folder;
}
} // namespace

bool saveFileAs(QWidget* parent, const QString& title, const QString& suggestedName, const QString& filter,
                const QString& suffix, const std::function<bool(const QString& path, QString* error)>& write)
{
    QString folder = lastFolder();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();

    QFileDialog dialog(parent, title, QDir(folder).filePath(suggestedName), filter);
    dialog.setObjectName(QStringLiteral("dlgExport"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    // The question before replacing a file goes through the program's own messages.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (DialogRunner::run(dialog) != QDialog::Accepted)
        return false;
    const QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty())
        return false;

    if (QFileInfo::exists(path) &&
        msgBox(GetText(QStringLiteral("Die Datei ist bereits vorhanden. Soll sie ersetzt werden?"), 827),
               Messages::Icon::Question, Messages::Buttons::YesNo) != Messages::Answer::Yes)
        return false;
    QString error;
    if (!write(path, &error)) {
        msgBox(GetText(QStringLiteral("Die Datei konnte nicht geschrieben werden:"), 828) + QStringLiteral("\r\n") +
                   QDir::toNativeSeparators(path) + QStringLiteral(" (") + error + QStringLiteral(")"),
               Messages::Icon::Exclamation);
        return false;
    }
    lastFolder() = QFileInfo(path).absolutePath();
    return true;
}

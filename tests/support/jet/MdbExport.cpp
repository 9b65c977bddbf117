#include "JetWriter.h"

#include <QProcess>

namespace JetWriter {

Export exportTable(const QString& path, const QString& table)
{
    Export result;
    QProcess process;
    const QString format = QStringLiteral("%Y-%m-%d %H:%M:%S");
    process.start(QStringLiteral("mdb-export"), {"-D", format, "-T", format, path, table});
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        result.error = QStringLiteral("mdb-export %1 %2: %3 %4")
                           .arg(path, table, process.errorString(), QString::fromUtf8(process.readAllStandardError()));
        return result;
    }
    // Comma-separated, texts and dates in double quotes with quotes doubled, line breaks inside quotes kept;
    // a value printed as nothing, unquoted, is Null.
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    QStringList row;
    QString field;
    bool quoted = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c != u'"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else
                inQuotes = false;
        } else if (c == u'"') {
            inQuotes = quoted = true;
            field = QLatin1String("");
        } else if (c == u',' || c == u'\n') {
            row << (quoted || !field.isEmpty() ? field : QString());
            field = QString();
            quoted = false;
            if (c == u'\n') {
                if (result.columns.isEmpty())
                    result.columns = row;
                else
                    result.rows << row;
                row.clear();
            }
        } else {
            field += c;
        }
    }
    return result;
}

} // namespace JetWriter

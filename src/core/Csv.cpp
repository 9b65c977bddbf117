#include "Csv.h"

#include <QSaveFile>

namespace Csv {

QString field(const QString& value)
{
    const bool quote = value.contains(kSeparator) || value.contains(QLatin1Char('"')) ||
                       value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) ||
                       value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '));
    if (!quote)
        return value;
    QString inner = value;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QByteArray document(const QStringList& header, const QList<QStringList>& rows)
{
    QString text;
    const auto append = [&text](const QStringList& fields) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                text += kSeparator;
            text += field(fields.at(i));
        }
        text += QStringLiteral("\r\n");
    };
    append(header);
    for (const QStringList& row : rows)
        append(row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool write(const QString& path, const QStringList& header, const QList<QStringList>& rows, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(document(header, rows)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace Csv

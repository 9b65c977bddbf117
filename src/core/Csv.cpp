#include "Csv.h"

#include "Texts.h"

#include <QSaveFile>
#include <QStringDecoder>

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

QString line(const QStringList& fields)
{
    QString text;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += kSeparator;
        text += field(fields.at(i));
    }
    return text + QStringLiteral("\r\n");
}

QByteArray document(const QStringList& header, const QList<QStringList>& rows)
{
    QString text = line(header);
    for (const QStringList& row : rows)
        text += line(row);
    return QByteArray(kByteOrderMark) + text.toUtf8();
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

namespace {

// Windows-1252 differs from Latin-1 in 0x80..0x9F only; the five bytes it leaves free stay as they are.
constexpr char16_t kWindows1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar separatorOf(const QString& text)
{
    qsizetype semicolons = 0;
    qsizetype commas = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
    }
    return commas > semicolons ? QLatin1Char(',') : kSeparator;
}

} // namespace

QString decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += (b >= 0x80 && b < 0xA0) ? QChar(kWindows1252[b - 0x80]) : QChar(b);
    }
    return text;
}

std::optional<QList<QStringList>> parse(const QByteArray& bytes, QString* error)
{
    const QString text = decode(bytes);
    const QChar separator = separatorOf(text);
    const auto lineBreak = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    const auto fail = [error](const QString& reason, int line) {
        if (error)
            *error = GetText(QStringLiteral("Zeile %1:"), 1900).arg(line) + QLatin1Char(' ') + reason;
        return std::nullopt;
    };

    QList<QStringList> rows;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    while (i < n) {
        QStringList fields;
        for (;;) {
            QString field;
            if (i < n && text.at(i) == QLatin1Char('"')) {
                // Up to the quote that is not doubled; separators and line breaks inside are text.
                const int opened = line;
                for (++i;; ++i) {
                    if (i == n)
                        return fail(GetText(QStringLiteral("Ein Anführungszeichen wird nicht geschlossen."), 1901),
                                    opened);
                    const QChar c = text.at(i);
                    if (c == QLatin1Char('"')) {
                        if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                            field += c;
                            ++i;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (c == QLatin1Char('\n') ||
                        (c == QLatin1Char('\r') && (i + 1 == n || text.at(i + 1) != QLatin1Char('\n'))))
                        ++line;
                    field += c;
                }
                if (i < n && text.at(i) != separator && !lineBreak(text.at(i)))
                    return fail(
                        GetText(QStringLiteral("Nach einem schließenden Anführungszeichen steht noch Text."), 1902),
                        line);
            } else {
                const qsizetype start = i;
                while (i < n && text.at(i) != separator && !lineBreak(text.at(i)))
                    ++i;
                field = text.mid(start, i - start);
            }
            fields << field;
            if (i < n && text.at(i) == separator) {
                ++i;
                continue;
            }
            break;
        }
        // At a line break (CRLF, LF or CR) or the end.
        if (i < n && text.at(i) == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        if (i < n) {
            ++i;
            ++line;
        }
        rows << fields;
    }
    return rows;
}

} // namespace Csv

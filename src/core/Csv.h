#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated files as a German spreadsheet program opens them: ';' between fields, CRLF after each
// line, UTF-8 with a byte-order mark (so umlauts survive), and RFC 4180 quoting: a field that holds the
// separator, a quote, a line break or a blank at either end goes in double quotes, a quote inside doubled.
namespace Csv {

inline constexpr QChar kSeparator = QLatin1Char(';');

QString field(const QString& value);
QByteArray document(const QStringList& header, const QList<QStringList>& rows);

// Writes the document whole or not at all (an existing file is replaced only by a complete new one).
// On failure returns false with the reason in *error.
bool write(const QString& path, const QStringList& header, const QList<QStringList>& rows, QString* error);

} // namespace Csv

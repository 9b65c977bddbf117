#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Comma-separated files as a German spreadsheet program opens them: ';' between fields, CRLF after each
// line, UTF-8 with a byte-order mark (so umlauts survive), and RFC 4180 quoting: a field that holds the
// separator, a quote, a line break or a blank at either end goes in double quotes, a quote inside doubled.
namespace Csv {

inline constexpr QChar kSeparator = QLatin1Char(';');

QString field(const QString& value);
// One line: the fields quoted where needed, between separators, with its CRLF.
QString line(const QStringList& fields);
inline constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
QByteArray document(const QStringList& header, const QList<QStringList>& rows);

// Writes the document whole or not at all (an existing file is replaced only by a complete new one).
// On failure returns false with the reason in *error.
bool write(const QString& path, const QStringList& header, const QList<QStringList>& rows, QString* error);

// A document as such programs write it: ';' or ',' between fields (whichever the first line holds more
// of outside quotes), lines ending in CRLF, LF or CR, RFC 4180 quoting, UTF-8 with or without a
// byte-order mark, or else Windows-1252. Every line is a row, an empty one too (one empty field), so
// row i is line i + 1 as a spreadsheet program numbers them. A document that cannot be read whole (a
// quote left open, text after a closing quote) gives nullopt with the reason in *error.
std::optional<QList<QStringList>> parse(const QByteArray& bytes, QString* error);

// The bytes as text: UTF-8 when they are valid UTF-8 (a byte-order mark dropped), else Windows-1252.
QString decode(const QByteArray& bytes);

} // namespace Csv

#pragma once

#include <QDate>
#include <QString>

// Pieces of statement text. Every text value that goes between single quotes in a statement
// passes through sqlText(), so no typed text can end a literal early.
namespace Sql {

// The value with each single quote doubled, to stand between the quotes of a literal.
inline QString sqlText(const QString& value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

// A day in the form the statements write between number signs: month/day/two-digit year,
// without leading zeros for month and day (5 December 2026 → 12/5/26).
inline QString dateLiteral(const QDate& date)
{
    return QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year() % 100, 2, 10, QLatin1Char('0'));
}

} // namespace Sql

#pragma once

#include "Clock.h"
#include "Dialect.h"

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
// without leading zeros for month and day (5 December 2026 → 12/5/26). A day so far from today that
// the two digits would be read in another century keeps its year in four digits, padded with zeros
// before the year 1000 (1/1/1940, 1/1/0050), as the dialect reads it back.
inline QString dateLiteral(const QDate& date)
{
    const int yy = date.year() % 100;
    if (date.year() >= 0 && Dialect::windowYear(yy, Clock::today().year()) == date.year())
        return QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(yy, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year(), 4, 10, QLatin1Char('0'));
}

} // namespace Sql

#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

// Dates as the user reads and types them.
namespace DateText {

// The locale's short date form with the year widened to four digits ("dd.MM.yyyy" with German
// settings): a two-digit year would be read back in the wrong century.
QString shortFormat(const QLocale& locale = QLocale());
QString shortDate(const QDate& date, const QLocale& locale = QLocale());

// A date as a clerk types it: day, month and year in the order of the locale's short form, separated
// by dots, slashes, dashes or blanks, leading zeros optional ("5.3.2026", "05.03.26"); a two-digit year
// lies in the window around today that the statements use too. Day and month alone mean this year;
// "2026-03-05" is read as ISO. Nullopt when the text is no valid day.
std::optional<QDate> parse(const QString& text, const QDate& today, const QLocale& locale = QLocale());

} // namespace DateText

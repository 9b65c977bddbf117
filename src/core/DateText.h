#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// A day as the lists show it: the user's short date form with the year widened to four digits
// (05.03.2026 with German settings), so that no reader has to guess the century.
inline QString shortDateText(const QDate& day)
{
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return day.isValid() ? locale.toString(day, format) : QString();
}

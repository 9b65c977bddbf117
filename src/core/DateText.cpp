#include "DateText.h"

#include "Dialect.h"

#include <QList>
#include <algorithm>
#include <array>

namespace DateText {

QString shortFormat(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    if (format.contains(QLatin1String("yyyy")))
        return format;
    QString widened = format;
    const qsizetype at = widened.indexOf(QLatin1String("yy"));
    if (at >= 0)
        widened.replace(at, 2, QLatin1String("yyyy"));
    return widened;
}

QString shortDate(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, shortFormat(locale));
}

namespace {

// Places of day, month and year in the locale's short form ("dd.MM.yy" gives 0, 1, 2; "M/d/yy" 1, 0, 2).
struct Order
{
    int day = 0;
    int month = 1;
    int year = 2;
};

Order orderOf(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    std::array<std::pair<qsizetype, int*>, 3> places{};
    Order order;
    places[0] = {format.indexOf(QLatin1Char('d')), &order.day};
    places[1] = {format.indexOf(QLatin1Char('M')), &order.month};
    places[2] = {format.indexOf(QLatin1Char('y')), &order.year};
    for (const auto& place : places) {
        if (place.first < 0)
            return {};
    }
    std::sort(places.begin(), places.end());
    for (int i = 0; i < 3; ++i)
        *places[i].second = i;
    return order;
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char(' ');
}

} // namespace

std::optional<QDate> parse(const QString& text, const QDate& today, const QLocale& locale)
{
    // Digit groups between separators; anything else makes the text no date.
    QList<QStringView> groups;
    const QStringView view(text);
    qsizetype i = 0;
    while (i < view.size()) {
        if (isSeparator(view[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < view.size() && view[i].isDigit() && view[i].unicode() < 128)
            ++i;
        if (i == start || groups.size() == 3)
            return std::nullopt;
        groups.append(view.sliced(start, i - start));
    }
    if (groups.size() < 2)
        return std::nullopt;

    int day = 0;
    int month = 0;
    QStringView year;
    if (groups.size() == 3 && groups[0].size() == 4) { // ISO
        year = groups[0];
        month = groups[1].toInt();
        day = groups[2].toInt();
    } else {
        Order order = orderOf(locale);
        if (groups.size() == 2) { // day and month of this year, in the locale's order without the year
            order.day = order.day > order.year ? order.day - 1 : order.day;
            order.month = order.month > order.year ? order.month - 1 : order.month;
        } else {
            year = groups[order.year];
        }
        if (groups[order.day].size() > 2 || groups[order.month].size() > 2)
            return std::nullopt;
        day = groups[order.day].toInt();
        month = groups[order.month].toInt();
    }

    int y = today.year();
    if (!year.isEmpty()) {
        if (year.size() == 3 || year.size() > 4)
            return std::nullopt;
        y = year.toInt();
        if (year.size() <= 2)
            y = Dialect::windowYear(y, today.year());
    }
    const QDate date(y, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace DateText

#pragma once

#include <QString>

// Trimming in this program removes blanks only: a tab or a line break typed into a field is text like
// any other, so a search for a tab does not turn into a search for everything.
inline QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

// The text without the blanks at its end: how stored values, which carry an appended blank, are shown.
inline QString trimTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

// True when the text is empty or holds nothing but blanks.
inline bool isBlank(const QString& text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

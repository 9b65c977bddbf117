#include "KeyNumberFilter.h"

KeyNumberFilter KeyNumberFilter::apply(const QString& typed)
{
    KeyNumberFilter result;
    result.text.reserve(typed.size());
    for (QChar c : typed) {
        // Only ASCII letters are raised: a full Unicode upper-casing would turn ß into SS or
        // a dotless i into I and let them in.
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
        if (c == QLatin1Char('O') || c == QLatin1Char('Q'))
            result.text += QLatin1Char('0');
        else if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            result.text += c;
        else
            ++result.dropped;
    }
    return result;
}

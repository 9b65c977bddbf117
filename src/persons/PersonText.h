#pragma once

#include <QString>

// Small text rules of the person records.
namespace PersonText {

// The text of one person-list line: family name, a blank and the stored given name, cut after
// 50 characters or filled up with blanks to 50.
inline QString lineName(const QString& nachname, const QString& vorname)
{
    // One allocation: the list builds tens of thousands of these.
    QString line;
    line.reserve(50);
    line.append(QStringView(nachname).left(50));
    if (line.size() < 50) {
        line.append(QLatin1Char(' '));
        line.append(QStringView(vorname).left(50 - line.size()));
    }
    line.resize(50, QLatin1Char(' '));
    return line;
}

// A stored given name or personnel number without the one blank that saving appends, so the
// dialog shows what was typed and saving stores the same form again.
inline QString withoutAppendedBlank(const QString& stored)
{
    return stored.endsWith(QLatin1Char(' ')) ? stored.chopped(1) : stored;
}

} // namespace PersonText

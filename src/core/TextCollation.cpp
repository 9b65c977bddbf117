#include "TextCollation.h"

#include "Utf8.h"

#include <algorithm>

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

QStringView withoutTrailingBlanks(QStringView text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return text.first(n);
}

} // namespace

QByteArrayView TextCollation::trimmed(QByteArrayView text)
{
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == ' ')
        --n;
    return text.first(n);
}

int TextCollation::compareAscii(QByteArrayView a, QByteArrayView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char x = lowerAscii(a[i]);
        const char y = lowerAscii(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
    }
    return sign(static_cast<int>(a.size() - b.size()));
}

QString TextCollation::folded(QByteArrayView text)
{
    return Utf8::decode(text).toCaseFolded();
}

QString TextCollation::withoutAccents(const QString& folded)
{
    QString out;
    const QString decomposed = folded.normalized(QString::NormalizationForm_D);
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            out.append(c);
    }
    return out;
}

int TextCollation::compare(QByteArrayView a, QByteArrayView b)
{
    a = trimmed(a);
    b = trimmed(b);
    // Plain ASCII is by far the common case (key numbers, most names): no conversion needed, and the
    // result is the same as compareUnicode gives for ASCII.
    if (Utf8::isAscii(a) && Utf8::isAscii(b))
        return compareAscii(a, b);
    return compareUnicode(a, b);
}

int TextCollation::compareUnicode(QByteArrayView a, QByteArrayView b)
{
    a = trimmed(a);
    b = trimmed(b);
    const QString fa = folded(a);
    const QString fb = folded(b);
    if (fa == fb)
        return 0;
    const int primary = withoutAccents(fa).compare(withoutAccents(fb));
    if (primary != 0)
        return sign(primary);
    return sign(fa.compare(fb));
}

QString TextCollation::version()
{
    return QStringLiteral("%1.%2").arg(kRules).arg(static_cast<int>(QChar::currentUnicodeVersion()));
}

TextCollation::SortKey TextCollation::sortKey(QStringView text)
{
    const QStringView trimmedText = withoutTrailingBlanks(text);
    bool ascii = true;
    for (const QChar c : trimmedText)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        return {trimmedText.toString().toLower(), QString()};
    const QString foldedText = trimmedText.toString().toCaseFolded();
    SortKey key{withoutAccents(foldedText), foldedText};
    if (key.secondary == key.primary)
        key.secondary.clear();
    return key;
}

QString TextCollation::equalityKey(QStringView text)
{
    return withoutTrailingBlanks(text).toString().toCaseFolded();
}

int TextCollation::compare(const SortKey& a, const SortKey& b)
{
    const int primary = a.primary.compare(b.primary);
    if (primary != 0)
        return sign(primary);
    const QString& sa = a.secondary.isEmpty() ? a.primary : a.secondary;
    const QString& sb = b.secondary.isEmpty() ? b.primary : b.secondary;
    return sign(sa.compare(sb));
}

#include "LikePattern.h"

#include "Utf8.h"

#include <QVarLengthArray>

namespace {

QList<char32_t> foldedCodePoints(QStringView text)
{
    const QList<uint> ucs4 = text.toString().toCaseFolded().toUcs4();
    return QList<char32_t>(ucs4.begin(), ucs4.end());
}

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF) into folded code points;
// false on anything else, which QString then decodes its own way (replacement characters).
template <typename Buffer> bool decodeFolded(QByteArrayView text, Buffer& out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char lead = *p++;
        char32_t c;
        int follow;
        char32_t minimum;
        if (lead < 0x80) {
            out.append(QChar::toCaseFolded(char32_t(lead)));
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            c = lead & 0x1F;
            follow = 1;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            c = lead & 0x0F;
            follow = 2;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            c = lead & 0x07;
            follow = 3;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (end - p < follow)
            return false;
        for (int k = 0; k < follow; ++k) {
            const unsigned char next = *p++;
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out.append(QChar::toCaseFolded(c));
    }
    return true;
}

char32_t foldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? char32_t(c - 'A' + 'a') : char32_t(c);
}

} // namespace

LikePattern::LikePattern(QStringView pattern)
{
    const QList<char32_t> p = foldedCodePoints(pattern);
    const qsizetype n = p.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t c = p[i];
        if (c == U'*') {
            // A run of stars is one star; it keeps the matcher's backtracking linear.
            if (m_items.isEmpty() || m_items.last().kind != Item::Kind::AnyRun)
                m_items.append(Item(Item::Kind::AnyRun));
        } else if (c == U'?') {
            m_items.append(Item(Item::Kind::AnyOne));
        } else if (c == U'#') {
            m_items.append(Item(Item::Kind::Digit));
        } else if (c == U'[') {
            qsizetype close = i + 1;
            if (close < n && p[close] == U'!')
                ++close;
            while (close < n && p[close] != U']')
                ++close;
            if (close >= n) {
                m_items.append(Item(Item::Kind::Literal, c)); // unclosed: the bracket stands for itself
                continue;
            }
            Item set(Item::Kind::Set);
            qsizetype j = i + 1;
            if (p[j] == U'!') {
                set.negated = true;
                ++j;
            }
            while (j < close) {
                if (j + 2 < close && p[j + 1] == U'-') {
                    set.ranges.append({p[j], p[j + 2]});
                    j += 3;
                } else {
                    set.ranges.append({p[j], p[j]});
                    ++j;
                }
            }
            if (!set.ranges.isEmpty() || set.negated)
                m_items.append(set);
            i = close;
        } else {
            m_items.append(Item(Item::Kind::Literal, c));
        }
    }
}

bool LikePattern::matchesOne(const Item& item, char32_t c) const
{
    switch (item.kind) {
    case Item::Kind::Literal:
        return c == item.ch;
    case Item::Kind::AnyOne:
        return true;
    case Item::Kind::Digit:
        return c >= U'0' && c <= U'9';
    case Item::Kind::Set: {
        bool inSet = false;
        for (const Range& r : item.ranges)
            inSet = inSet || (c >= r.first && c <= r.last);
        return inSet != item.negated;
    }
    case Item::Kind::AnyRun:
        break;
    }
    return false;
}

template <typename At> bool LikePattern::matchFolded(qsizetype size, At at) const
{
    // Every item but the star takes exactly one character, so remembering the last star is enough.
    const qsizetype itemCount = m_items.size();
    qsizetype pi = 0;
    qsizetype ti = 0;
    qsizetype starItem = -1;
    qsizetype starText = 0;
    while (ti < size) {
        if (pi < itemCount && m_items[pi].kind == Item::Kind::AnyRun) {
            starItem = pi++;
            starText = ti;
        } else if (pi < itemCount && matchesOne(m_items[pi], at(ti))) {
            ++pi;
            ++ti;
        } else if (starItem >= 0) {
            pi = starItem + 1;
            ti = ++starText;
        } else {
            return false;
        }
    }
    while (pi < itemCount && m_items[pi].kind == Item::Kind::AnyRun)
        ++pi;
    return pi == itemCount;
}

bool LikePattern::matches(QStringView text) const
{
    const QList<char32_t> t = foldedCodePoints(text);
    return matchFolded(t.size(), [&t](qsizetype i) { return t[i]; });
}

bool LikePattern::matchesUtf8(QByteArrayView text) const
{
    // Case folding maps ASCII to ASCII by letter case alone, so ASCII needs no table at all.
    if (Utf8::isAscii(text))
        return matchFolded(text.size(),
                           [&text](qsizetype i) { return foldAscii(static_cast<unsigned char>(text[i])); });
    QVarLengthArray<char32_t, 256> folded;
    if (decodeFolded(text, folded))
        return matchFolded(folded.size(), [&folded](qsizetype i) { return folded[i]; });
    return matches(Utf8::decode(text));
}

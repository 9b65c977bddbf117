#include "LikePattern.h"

namespace {

QList<char32_t> foldedCodePoints(QStringView text)
{
    const QList<uint> ucs4 = text.toString().toCaseFolded().toUcs4();
    return QList<char32_t>(ucs4.begin(), ucs4.end());
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

bool LikePattern::matches(QStringView text) const
{
    // Every item but the star takes exactly one character, so remembering the last star is enough.
    const QList<char32_t> t = foldedCodePoints(text);
    const qsizetype itemCount = m_items.size();
    qsizetype pi = 0;
    qsizetype ti = 0;
    qsizetype starItem = -1;
    qsizetype starText = 0;
    while (ti < t.size()) {
        if (pi < itemCount && m_items[pi].kind == Item::Kind::AnyRun) {
            starItem = pi++;
            starText = ti;
        } else if (pi < itemCount && matchesOne(m_items[pi], t[ti])) {
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

#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// A pattern of the register's LIKE: "*" any run of characters, "?" one character, "#" one digit,
// "[abc]", "[a-c]" and "[!abc]" one character of (or not of) a set; everything else stands for itself.
// Matching ignores case by Unicode case folding, so "müll*" matches "MÜLLER".
//
// Corner cases: an unclosed "[" is an ordinary character; "[]" matches the empty text (it is dropped);
// "[!]" matches any one character; a range written backwards ("[c-a]") matches nothing; "-" first or
// last in a set is an ordinary character; "*", "?", "#" and "[" inside a set stand for themselves.
class LikePattern
{
public:
    explicit LikePattern(QStringView pattern);

    // The text as the engine hands it over. Runs for every row of a search, so it works on the bytes:
    // plain ASCII is folded on the fly, other valid UTF-8 is decoded into a buffer on the stack; only
    // malformed bytes take the way through QString. The result is always that of matches(QStringView).
    bool matchesUtf8(QByteArrayView text) const;

    // The rule on decoded text.
    bool matches(QStringView text) const;

private:
    struct Range
    {
        char32_t first;
        char32_t last;
    };
    struct Item
    {
        enum class Kind { Literal, AnyRun, AnyOne, Digit, Set };
        explicit Item(Kind k, char32_t c = 0) : kind(k), ch(c) {}

        Kind kind;
        char32_t ch = 0;      // Literal
        bool negated = false; // Set
        QList<Range> ranges;  // Set
    };

    bool matchesOne(const Item& item, char32_t c) const;
    // The matcher over `size` folded characters, the i-th given by at(i).
    template <typename At> bool matchFolded(qsizetype size, At at) const;

    QList<Item> m_items;
};

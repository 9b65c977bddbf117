#pragma once

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

    QList<Item> m_items;
};

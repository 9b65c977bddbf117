#pragma once

#include <QByteArrayView>
#include <QString>

// The collation of every text column (FOLDTRIM): "=" ignores case (Unicode case folding, umlauts
// too) and trailing blanks, so the blank appended to optional values does not count.
//
// Order: first by the folded text with its accents taken off (NFD without combining marks, so "Öztürk"
// sorts among the O as a German clerk expects), then by the folded text itself. Two texts are equal
// exactly when their folded, right-trimmed forms are equal. The order depends only on Unicode data,
// never on a locale, because the file's indexes are kept in it.
class TextCollation
{
public:
    static constexpr const char* name = "FOLDTRIM";

    // UTF-8 texts as the engine hands them over; <0, 0, >0.
    static int compare(QByteArrayView a, QByteArrayView b);

    // The same order for any text, without the shortcut compare() takes for plain ASCII.
    static int compareUnicode(QByteArrayView a, QByteArrayView b);

    // Changes whenever the order may change: with these rules, or with the Unicode tables of the Qt
    // they run on. Indexes written under another version are rebuilt (CollationVersion).
    static QString version();
    // The same order for many texts at once (a sort): each text's key is built once, and two keys
    // compare as compare() compares their texts.
    struct SortKey
    {
        QString primary;   // folded, accents taken off, trailing blanks dropped
        QString secondary; // folded; empty when equal to primary
    };
    static SortKey sortKey(QStringView text);
    // Two texts are equal under the collation exactly when these are equal: for hashing them.
    static QString equalityKey(QStringView text);
    static int compare(const SortKey& a, const SortKey& b);

private:
    static constexpr int kRules = 1;

    static QByteArrayView trimmed(QByteArrayView text);
    static int compareAscii(QByteArrayView a, QByteArrayView b);
    static QString folded(QByteArrayView text);
    static QString withoutAccents(const QString& folded);
};

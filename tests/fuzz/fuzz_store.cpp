// Fuzz target for the store's text handling: the dialect's translation, LIKE and the text collation.
// make fuzz runs it under libFuzzer; every build runs the checked-in corpus through it (fuzz_corpus).
// Each finding is a broken invariant, reported by abort():
//   translate: nothing the engine reads as a string literal is changed or made up, except ISO dates for
//     date literals; no NUL and no half surrogate pair reaches the engine.
//   LIKE: the byte paths agree with the QString path, and "?" counts every character (a leading
//     byte-order mark too).
//   collation: the ASCII shortcut agrees with the full rule, the order is antisymmetric, and equal texts
//     have as many characters (apart from trailing blanks).
// Input: first byte selects the subject; for two-part subjects the next byte is the first part's length.
#include "core/Dialect.h"
#include "core/LikePattern.h"
#include "core/SqlError.h"
#include "core/TextCollation.h"
#include "core/Utf8.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool isSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// The engine's idea of a name character: ASCII letters, digits, "_", "$" and every byte above ASCII.
bool isIdChar(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           c >= 0x80;
}

// The string and blob literals of a statement as the engine's own tokenizer finds them (its rules for
// blanks, comments, quoted names, parameters that swallow up to ")" or a blank, names, and the NUL at
// which it stops reading, numbers with their fraction and exponent). In a statement the program wrote, "#...#" is a
// date, not a parameter.
QList<QByteArray> engineLiterals(const QByteArray& sql, bool dates)
{
    QList<QByteArray> literals;
    const auto* z = reinterpret_cast<const unsigned char*>(sql.constData()); // NUL-terminated
    qsizetype i = 0;
    while (z[i]) {
        const unsigned char c = z[i];
        if (isSpace(c)) {
            ++i;
        } else if (c == 0xEF && z[i + 1] == 0xBB && z[i + 2] == 0xBF) {
            i += 3; // a byte-order mark where a token starts is a blank
        } else if (c == '-' && z[i + 1] == '-') {
            while (z[i] && z[i] != '\n')
                ++i;
        } else if (c == '/' && z[i + 1] == '*' && z[i + 2]) {
            i += 3;
            while (z[i] && !(z[i - 1] == '*' && z[i] == '/'))
                ++i;
            if (z[i])
                ++i;
        } else if (c == '\'' || c == '"' || c == '`' || ((c == 'x' || c == 'X') && z[i + 1] == '\'')) {
            const qsizetype start = i;
            if (c == 'x' || c == 'X')
                ++i;
            const unsigned char quote = z[i];
            ++i;
            bool closed = false;
            while (z[i]) {
                if (z[i] == quote) {
                    if (z[i + 1] == quote) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                ++i;
            }
            if (closed && quote == '\'')
                literals.append(sql.mid(start, i - start));
        } else if (c == '#' && dates) {
            ++i;
            while (z[i] && z[i] != '#')
                ++i;
            if (z[i])
                ++i;
        } else if (c == '[') {
            while (z[i] && z[i] != ']')
                ++i;
            if (z[i])
                ++i;
        } else if (c == '$' || c == '@' || c == ':' || c == '#') {
            ++i;
            int n = 0;
            while (z[i]) {
                if (isIdChar(z[i])) {
                    ++n;
                    ++i;
                } else if (z[i] == '(' && n > 0) {
                    while (z[i] && !isSpace(z[i]) && z[i] != ')')
                        ++i;
                    if (z[i] == ')')
                        ++i;
                    break;
                } else if (z[i] == ':' && z[i + 1] == ':') {
                    i += 2;
                } else {
                    break;
                }
            }
        } else if (isDigit(c) || (c == '.' && isDigit(z[i + 1]))) {
            while (isDigit(z[i]))
                ++i;
            if (z[i] == '.') {
                ++i;
                while (isDigit(z[i]))
                    ++i;
            }
            if ((z[i] == 'e' || z[i] == 'E') &&
                (isDigit(z[i + 1]) || ((z[i + 1] == '+' || z[i + 1] == '-') && isDigit(z[i + 2])))) {
                i += 2;
                while (isDigit(z[i]))
                    ++i;
            }
            while (isIdChar(z[i]))
                ++i;
        } else if (isIdChar(c)) {
            while (z[i] && isIdChar(z[i]))
                ++i;
        } else {
            ++i;
        }
    }
    return literals;
}

void checkTranslation(const QString& sql)
{
    QString out;
    try {
        out = Dialect::translate(sql);
    } catch (const SqlError&) {
        return;
    }
    require(!out.contains(QChar(0)), "a NUL reaches the engine");
    const QByteArray utf8 = out.toUtf8();
    require(Utf8::decode(utf8) == out, "text that does not survive UTF-8 reaches the engine");

    static const QRegularExpression isoDate(QStringLiteral("^'\\d{4}-\\d{2}-\\d{2}'$"));
    const QList<QByteArray> before = engineLiterals(sql.toUtf8(), true);
    const QList<QByteArray> after = engineLiterals(utf8, false);
    qsizetype kept = 0;
    for (const QByteArray& literal : after) {
        if (kept < before.size() && literal == before[kept])
            ++kept;
        else
            require(isoDate.match(QString::fromUtf8(literal)).hasMatch(), "a string literal was changed or made");
    }
    require(kept == before.size(), "a string literal was lost");
}

// Characters of well-formed UTF-8, counted without any decoder; -1 for malformed bytes.
qsizetype characters(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder.decode(bytes); // decoding happens on conversion, not on decode()
    if (decoder.hasError())
        return -1;
    qsizetype count = 0;
    for (const char c : bytes)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

void checkLike(QByteArrayView pattern, QByteArrayView text)
{
    const LikePattern like(Utf8::decode(pattern));
    require(like.matchesUtf8(text) == like.matches(Utf8::decode(text)), "LIKE on bytes differs from LIKE on text");
    const qsizetype length = characters(text);
    if (length >= 0)
        require(LikePattern(QString(length, QLatin1Char('?'))).matchesUtf8(text), "LIKE miscounts characters");
}

QByteArrayView withoutTrailingBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

void checkCollation(QByteArrayView a, QByteArrayView b)
{
    const int ab = TextCollation::compare(a, b);
    require(ab == TextCollation::compareUnicode(a, b), "the ASCII shortcut orders differently");
    require(ab == -TextCollation::compare(b, a), "the order is not antisymmetric");
    require(TextCollation::compare(a, a) == 0, "a text differs from itself");
    const qsizetype na = characters(withoutTrailingBlanks(a));
    const qsizetype nb = characters(withoutTrailingBlanks(b));
    if (ab == 0 && na >= 0 && nb >= 0)
        require(na == nb, "texts of different length compare equal");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView rest(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size) - 1);
    switch (data[0] % 4) {
    case 0:
        checkTranslation(QString::fromUtf8(rest));
        break;
    case 1: // UTF-16 can hold what UTF-8 cannot: half surrogate pairs
        checkTranslation(QString::fromUtf16(reinterpret_cast<const char16_t*>(rest.data()), rest.size() / 2));
        break;
    default: {
        if (rest.isEmpty())
            return 0;
        const qsizetype split = std::min<qsizetype>(static_cast<unsigned char>(rest[0]), rest.size() - 1);
        const QByteArrayView first = rest.sliced(1, split);
        const QByteArrayView second = rest.sliced(1 + split);
        if (data[0] % 4 == 2)
            checkLike(first, second);
        else
            checkCollation(first, second);
    }
    }
    return 0;
}

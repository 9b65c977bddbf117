// Fuzz target for the dialect, LIKE and the text collation: a broken invariant (named in require()) aborts.
// make fuzz runs it under libFuzzer, every build its corpus (fuzz_corpus). The first input byte selects the
// subject; for two-part subjects the next byte is the first part's length.
#include "core/Dialect.h"
#include "core/LikePattern.h"
#include "core/SqlError.h"
#include "core/TextCollation.h"
#include "core/Utf8.h"

#include <QByteArray>
#include <QRegularExpression>
#include <algorithm>
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

// The string literals of a statement as the engine's tokenizer finds them: blanks (a byte-order mark too),
// comments, quoted names, parameters that swallow up to ")" or a blank, names (any byte above ASCII), numbers
// with fraction and exponent, the NUL that ends reading. In the program's statements "#...#" is a date.
QList<QByteArray> engineLiterals(const QByteArray& sql, bool dates)
{
    const auto* z = reinterpret_cast<const unsigned char*>(sql.constData()); // NUL-terminated
    const auto space = [](unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r' && c != '\v'); };
    const auto digit = [](unsigned char c) { return c >= '0' && c <= '9'; };
    const auto idChar = [&](unsigned char c) {
        return digit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_' || c == '$' || c >= 0x80;
    };
    qsizetype i = 0;
    const auto skip = [&](auto part) {
        while (z[i] && part(z[i]))
            ++i;
    };
    QList<QByteArray> literals;
    while (const unsigned char c = z[i]) {
        const qsizetype start = i;
        if (space(c)) {
            ++i;
        } else if (c == 0xEF && z[i + 1] == 0xBB && z[i + 2] == 0xBF) {
            i += 3;
        } else if (c == '-' && z[i + 1] == '-') {
            skip([](unsigned char x) { return x != '\n'; });
        } else if (c == '/' && z[i + 1] == '*' && z[i + 2]) {
            for (i += 3; z[i] && !(z[i - 1] == '*' && z[i] == '/');)
                ++i;
            i += z[i] != 0;
        } else if (c == '\'' || c == '"' || c == '`' || ((c | 0x20) == 'x' && z[i + 1] == '\'')) {
            i += (c | 0x20) == 'x';
            const unsigned char quote = z[i++];
            bool closed = false;
            while (z[i] && !closed) {
                if (z[i] == quote && z[i + 1] == quote)
                    i += 2;
                else
                    closed = z[i++] == quote;
            }
            if (closed && quote == '\'')
                literals.append(sql.mid(start, i - start));
        } else if ((c == '#' && dates) || c == '[') {
            ++i;
            skip([close = c == '[' ? ']' : '#'](unsigned char x) { return x != close; });
            i += z[i] != 0;
        } else if (c == '$' || c == '@' || c == ':' || c == '#') {
            int n = 0; // name characters; "::" may stand between them
            for (++i; idChar(z[i]) || (z[i] == ':' && z[i + 1] == ':'); i += idChar(z[i]) ? 1 : 2)
                n += idChar(z[i]);
            if (z[i] == '(' && n > 0) {
                skip([&](unsigned char x) { return !space(x) && x != ')'; });
                i += z[i] == ')';
            }
        } else if (digit(c) || (c == '.' && digit(z[i + 1]))) {
            skip(digit);
            if (z[i] == '.') {
                ++i;
                skip(digit);
            }
            if ((z[i] | 0x20) == 'e' &&
                (digit(z[i + 1]) || ((z[i + 1] == '+' || z[i + 1] == '-') && digit(z[i + 2])))) {
                i += 2;
                skip(digit);
            }
            skip(idChar);
        } else {
            ++i;
            if (idChar(c))
                skip(idChar);
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
    qsizetype kept = 0;
    for (const QByteArray& literal : engineLiterals(utf8, false)) {
        if (kept < before.size() && literal == before[kept])
            ++kept;
        else
            require(isoDate.match(QString::fromUtf8(literal)).hasMatch(), "a string literal was changed or made");
    }
    require(kept == before.size(), "a string literal was lost");
}

// Characters of well-formed UTF-8, counted by their lead bytes; -1 for malformed bytes.
qsizetype characters(QByteArrayView bytes)
{
    if (Utf8::decode(bytes).toUtf8() != bytes.toByteArray())
        return -1;
    return std::count_if(bytes.begin(), bytes.end(),
                         [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

void checkLike(QByteArrayView pattern, QByteArrayView text)
{
    const LikePattern like(Utf8::decode(pattern));
    require(like.matchesUtf8(text) == like.matches(Utf8::decode(text)), "LIKE on bytes differs from LIKE on text");
    const qsizetype length = characters(text);
    if (length >= 0)
        require(LikePattern(QString(length, QLatin1Char('?'))).matchesUtf8(text), "LIKE miscounts characters");
}

void checkCollation(QByteArrayView a, QByteArrayView b)
{
    const int ab = TextCollation::compare(a, b);
    require(ab == TextCollation::compareUnicode(a, b), "the ASCII shortcut orders differently");
    require(ab == -TextCollation::compare(b, a), "the order is not antisymmetric");
    require(TextCollation::compare(a, a) == 0, "a text differs from itself");
    const auto length = [](QByteArrayView text) { // without trailing blanks
        while (text.endsWith(' '))
            text.chop(1);
        return characters(text);
    };
    const qsizetype na = length(a);
    const qsizetype nb = length(b);
    require(ab != 0 || na < 0 || nb < 0 || na == nb, "texts of different length compare equal");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView rest(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size) - 1);
    if (data[0] % 4 == 0) {
        checkTranslation(QString::fromUtf8(rest));
    } else if (data[0] % 4 == 1) { // UTF-16 can hold what UTF-8 cannot: half surrogate pairs
        checkTranslation(QString::fromUtf16(reinterpret_cast<const char16_t*>(rest.data()), rest.size() / 2));
    } else if (!rest.isEmpty()) {
        const qsizetype split = std::min<qsizetype>(static_cast<unsigned char>(rest[0]), rest.size() - 1);
        (data[0] % 4 == 2 ? checkLike : checkCollation)(rest.sliced(1, split), rest.sliced(1 + split));
    }
    return 0;
}

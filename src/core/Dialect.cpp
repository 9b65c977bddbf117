#include "Dialect.h"

#include "Clock.h"
#include "SqlError.h"
#include "Texts.h"

#include <QList>
#include <algorithm>
#include <sqlite3.h>

namespace {

struct Token
{
    enum class Kind { Space, Word, String, Quoted, Date, Parameter, Other } kind;
    QStringView text;
};

// The engine's blanks; anything else, a no-break space too, belongs to a token.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A character the engine takes as part of a name: every character above ASCII is one.
bool isNameChar(QChar c)
{
    return isAsciiLetter(c) || isDigit(c) || c == u'_' || c == u'$' || c.unicode() >= 0x80;
}

// Index just past the quote that closes the one at `start`; a doubled quote stays inside.
// An unclosed quote runs to the end (the engine then reports it).
qsizetype skipQuoted(QStringView sql, qsizetype start, QChar close)
{
    qsizetype i = start + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (close != u']' && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

// Index just past the number at `start`, measured as the engine measures it: digits, one fraction, an
// exponent, then any name characters stuck to it (which make it a bad token, but one token), so that
// "1e5" is never split into a number and a word and ".6.$a" shows its parameter.
qsizetype skipNumber(QStringView sql, qsizetype start)
{
    const qsizetype n = sql.size();
    const auto digitAt = [&](qsizetype i) { return i < n && isDigit(sql[i]); };
    qsizetype i = start;
    while (digitAt(i))
        ++i;
    if (i < n && sql[i] == u'.') {
        ++i;
        while (digitAt(i))
            ++i;
    }
    if (i < n && (sql[i] == u'e' || sql[i] == u'E') &&
        (digitAt(i + 1) || (i + 1 < n && (sql[i + 1] == u'+' || sql[i + 1] == u'-') && digitAt(i + 2)))) {
        i += 2;
        while (digitAt(i))
            ++i;
    }
    while (i < n && isNameChar(sql[i]))
        ++i;
    return i;
}

QList<Token> tokenize(QStringView sql)
{
    QList<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql[i];
        qsizetype end = i + 1;
        Token::Kind kind = Token::Kind::Other;
        if (isBlank(c) || c == QChar(0xFEFF)) {
            // The engine skips a byte-order mark where a token starts, as a blank.
            while (end < n && isBlank(sql[end]))
                ++end;
            kind = Token::Kind::Space;
        } else if (c == u'\'') {
            end = skipQuoted(sql, i, c);
            kind = Token::Kind::String;
        } else if (c == u'"' || c == u'`') {
            end = skipQuoted(sql, i, c);
            kind = Token::Kind::Quoted;
        } else if (c == u'[') {
            end = skipQuoted(sql, i, QLatin1Char(']'));
            kind = Token::Kind::Quoted;
        } else if (c == u'-' && end < n && sql[end] == u'-') {
            while (end < n && sql[end] != u'\n')
                ++end;
            kind = Token::Kind::Quoted; // a comment: passed on untouched
        } else if (c == u'/' && end < n && sql[end] == u'*') {
            const qsizetype close = sql.indexOf(QLatin1String("*/"), end + 1);
            end = close < 0 ? n : close + 2;
            kind = Token::Kind::Quoted;
        } else if (c == u'#') {
            const qsizetype close = sql.indexOf(QLatin1Char('#'), end);
            end = close < 0 ? n : close + 1;
            kind = Token::Kind::Date;
        } else if (c == u'?' || c == u':' || c == u'@' || c == u'$') {
            kind = Token::Kind::Parameter;
        } else if (isDigit(c) || (c == u'.' && end < n && isDigit(sql[end]))) {
            end = skipNumber(sql, i);
        } else if (isNameChar(c)) {
            while (end < n && isNameChar(sql[end]))
                ++end;
            kind = Token::Kind::Word;
        }
        tokens.append({kind, sql.sliced(i, end - i)});
        i = end;
    }
    return tokens;
}

bool isWord(const Token& token, QLatin1String word)
{
    return token.kind == Token::Kind::Word && token.text.compare(word, Qt::CaseInsensitive) == 0;
}

// Index of the next token that is not blank, or tokens.size().
qsizetype nextSignificant(const QList<Token>& tokens, qsizetype from)
{
    while (from < tokens.size() && tokens[from].kind == Token::Kind::Space)
        ++from;
    return from;
}

// Position of a NUL or of half a surrogate pair in the text, or -1.
qsizetype badCharacter(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isNull() || c.isSurrogate())
            return i;
    }
    return -1;
}

// The value of a literal around its bad character, shown so the clerk finds the field it came from.
QString excerpt(QStringView literal, qsizetype bad)
{
    constexpr qsizetype kRadius = 20;
    QStringView body = literal.sliced(1); // without the opening quote (the bad character is never a quote)
    if (body.endsWith(u'\''))
        body.chop(1);
    --bad;
    const qsizetype from = std::max<qsizetype>(0, bad - kRadius);
    const qsizetype to = std::min<qsizetype>(body.size(), bad + kRadius + 1);
    QString shown = body.sliced(from, to - from).toString();
    shown[bad - from] = QChar::ReplacementCharacter;
    shown.replace(QLatin1String("''"), QLatin1String("'"));
    if (from > 0)
        shown.prepend(QChar(0x2026));
    if (to < body.size())
        shown.append(QChar(0x2026));
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

void refuseBadCharacters(const Token& token)
{
    const qsizetype bad = badCharacter(token.text);
    if (bad < 0)
        return;
    const bool nul = token.text[bad].isNull();
    if (token.kind != Token::Kind::String)
        throw SqlError(SQLITE_ERROR,
                       nul ? QStringLiteral("the statement holds a NUL character outside a text value")
                           : QStringLiteral("the statement holds half a surrogate pair outside a text value"));
    // A value typed or pasted into a field: refused whole, with words for the one who typed it.
    const QString text =
        nul ? GetText(QStringLiteral("Ein eingegebener Text enthält ein Nullzeichen (Zeichencode 0), das nicht "
                                     "gespeichert werden kann. Bitte entfernen Sie es aus: %1"),
                      720)
            : GetText(QStringLiteral("Ein eingegebener Text enthält ein ungültiges Zeichen (eine halbe "
                                     "Unicode-Zeichenkodierung), das nicht gespeichert werden kann. Bitte entfernen "
                                     "Sie es aus: %1"),
                      721);
    throw SqlError(SQLITE_CONSTRAINT, text.arg(excerpt(token.text, bad)));
}

QString dateToken(QStringView token)
{
    const bool closed = token.size() >= 2 && token.endsWith(QLatin1Char('#'));
    const std::optional<QDate> day =
        closed ? Dialect::parseDateLiteral(token.sliced(1, token.size() - 2), Clock::today()) : std::nullopt;
    if (!day)
        throw SqlError(SQLITE_ERROR, QStringLiteral("invalid date literal %1").arg(token));
    return QLatin1Char('\'') + day->toString(Qt::ISODate) + QLatin1Char('\'');
}

// A character that would join a quoted date written right beside it: a quote doubles into the
// literal, a name before it makes x'...' a blob.
bool joinsLiteral(QChar c)
{
    return c == u'\'' || c == u'"' || c == u'`' || c == u'[' || c == u']' || isNameChar(c);
}

// A character that would join a number written right beside it ("x1", "1.5", "1e").
bool joinsNumber(QChar c)
{
    return isNameChar(c) || c == u'.';
}

// Appends a translated token so that it stays a token of its own whatever stands beside it.
void appendApart(QString& out, const QString& text, const QList<Token>& tokens, qsizetype next, bool (*joins)(QChar))
{
    if (!out.isEmpty() && joins(out.back()))
        out += QLatin1Char(' ');
    out += text;
    if (next < tokens.size() && joins(tokens[next].text.front()))
        out += QLatin1Char(' ');
}

std::optional<int> digits(QStringView part, qsizetype minLength, qsizetype maxLength)
{
    if (part.size() < minLength || part.size() > maxLength)
        return std::nullopt;
    for (const QChar c : part) {
        if (!isDigit(c))
            return std::nullopt;
    }
    return part.toInt();
}

} // namespace

QString Dialect::translate(const QString& sql)
{
    const QList<Token> tokens = tokenize(sql);
    for (const Token& token : tokens) {
        if (token.kind == Token::Kind::Parameter)
            throw SqlError(SQLITE_ERROR, QStringLiteral("statement parameters (%1) are not supported").arg(token.text));
        refuseBadCharacters(token);
    }

    QString out;
    out.reserve(sql.size() + 16);
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (isWord(token, QLatin1String("DELETE"))) {
            const qsizetype star = nextSignificant(tokens, i + 1);
            const qsizetype from = nextSignificant(tokens, star + 1);
            if (star < tokens.size() && tokens[star].text == QLatin1String("*") && from < tokens.size() &&
                isWord(tokens[from], QLatin1String("FROM"))) {
                out += token.text;
                out += QLatin1Char(' ');
                i = from - 1;
                continue;
            }
        }
        if (isWord(token, QLatin1String("True"))) {
            appendApart(out, QStringLiteral("1"), tokens, i + 1, joinsNumber);
        } else if (isWord(token, QLatin1String("False"))) {
            appendApart(out, QStringLiteral("0"), tokens, i + 1, joinsNumber);
        } else if (token.kind == Token::Kind::Date) {
            appendApart(out, dateToken(token.text), tokens, i + 1, joinsLiteral);
        } else {
            out += token.text;
        }
    }
    return out;
}

int Dialect::windowYear(int yy, int currentYear)
{
    int year = currentYear - currentYear % 100 + yy;
    if (year > currentYear + 20)
        year -= 100;
    else if (year < currentYear - 79)
        year += 100;
    return year;
}

std::optional<QDate> Dialect::parseDateLiteral(QStringView body, const QDate& today)
{
    const QList<QStringView> parts = body.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3)
        return std::nullopt;
    const std::optional<int> month = digits(parts[0], 1, 2);
    const std::optional<int> day = digits(parts[1], 1, 2);
    std::optional<int> year = digits(parts[2], 1, 4);
    if (!month || !day || !year || parts[2].size() == 3)
        return std::nullopt;
    if (parts[2].size() <= 2)
        year = windowYear(*year, today.year());
    const QDate date(*year, *month, *day);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

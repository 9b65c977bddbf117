#include "Dialect.h"

#include "Clock.h"
#include "LikePattern.h"
#include "SqlError.h"
#include "TextCollation.h"

#include <QList>
#include <memory>
#include <sqlite3.h>

namespace {

struct Token
{
    enum class Kind { Space, Word, Quoted, Date, Other } kind;
    QStringView text;
};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Index just past the quote that closes the one at `start`; a doubled quote stays inside.
// An unclosed quote runs to the end (the engine then reports it).
qsizetype skipQuoted(QStringView sql, qsizetype start, QChar close)
{
    qsizetype i = start + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (close != QLatin1Char(']') && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
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
        if (c.isSpace()) {
            while (end < n && sql[end].isSpace())
                ++end;
            kind = Token::Kind::Space;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            end = skipQuoted(sql, i, c);
            kind = Token::Kind::Quoted;
        } else if (c == QLatin1Char('[')) {
            end = skipQuoted(sql, i, QLatin1Char(']'));
            kind = Token::Kind::Quoted;
        } else if (c == QLatin1Char('-') && end < n && sql[end] == QLatin1Char('-')) {
            while (end < n && sql[end] != QLatin1Char('\n'))
                ++end;
            kind = Token::Kind::Quoted; // a comment: passed on untouched
        } else if (c == QLatin1Char('/') && end < n && sql[end] == QLatin1Char('*')) {
            const qsizetype close = sql.indexOf(QLatin1String("*/"), end + 1);
            end = close < 0 ? n : close + 2;
            kind = Token::Kind::Quoted;
        } else if (c == QLatin1Char('#')) {
            const qsizetype close = sql.indexOf(QLatin1Char('#'), end);
            end = close < 0 ? n : close + 1;
            kind = Token::Kind::Date;
        } else if (isWordStart(c)) {
            while (end < n && isWordPart(sql[end]))
                ++end;
            kind = Token::Kind::Word;
        } else if (c.isDigit()) {
            // A number stays one token, so "1e5" is never split into a number and a word.
            while (end < n && (sql[end].isLetterOrNumber() || sql[end] == QLatin1Char('.')))
                ++end;
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

QString dateToken(QStringView token)
{
    const bool closed = token.size() >= 2 && token.endsWith(QLatin1Char('#'));
    const std::optional<QDate> day =
        closed ? Dialect::parseDateLiteral(token.sliced(1, token.size() - 2), Clock::today()) : std::nullopt;
    if (!day)
        throw SqlError(SQLITE_ERROR, QStringLiteral("invalid date literal %1").arg(token));
    return QLatin1Char('\'') + day->toString(Qt::ISODate) + QLatin1Char('\'');
}

std::optional<int> digits(QStringView part, qsizetype minLength, qsizetype maxLength)
{
    if (part.size() < minLength || part.size() > maxLength)
        return std::nullopt;
    for (const QChar c : part) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    return part.toInt();
}

void likeFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    // like(pattern, text): "text LIKE pattern". Null on either side gives Null, as everywhere in SQL.
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto utf8 = [](sqlite3_value* value) {
        const char* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        return QString::fromUtf8(text, sqlite3_value_bytes(value));
    };
    try {
        const QString text = utf8(argv[1]);
        // The pattern is the same for every row of a query: compile it once and keep it with the statement.
        if (const auto* cached = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0))) {
            sqlite3_result_int(context, cached->matches(text) ? 1 : 0);
            return;
        }
        auto pattern = std::make_unique<LikePattern>(utf8(argv[0]));
        sqlite3_result_int(context, pattern->matches(text) ? 1 : 0);
        sqlite3_set_auxdata(context, 0, pattern.release(), [](void* p) { delete static_cast<LikePattern*>(p); });
    } catch (const std::exception& e) {
        sqlite3_result_error(context, e.what(), -1);
    }
}

int collationCompare(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return TextCollation::compare(QByteArrayView(static_cast<const char*>(a), lengthA),
                                  QByteArrayView(static_cast<const char*>(b), lengthB));
}

} // namespace

QString Dialect::translate(const QString& sql)
{
    const QList<Token> tokens = tokenize(sql);
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
        if (isWord(token, QLatin1String("True")))
            out += QLatin1Char('1');
        else if (isWord(token, QLatin1String("False")))
            out += QLatin1Char('0');
        else if (token.kind == Token::Kind::Date)
            out += dateToken(token.text);
        else
            out += token.text;
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

int Dialect::install(sqlite3* db)
{
    // Replacing the two-argument like() changes the LIKE operator itself for this connection.
    int rc = sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction,
                                        nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation_v2(db, TextCollation::name, SQLITE_UTF8, nullptr, collationCompare, nullptr);
    return rc;
}

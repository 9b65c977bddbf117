#include "JournalText.h"

#include <QList>

namespace JournalText {

namespace {

struct Token
{
    enum Kind { Literal, Field, Test, Open, Close };
    Kind kind;
    QString text; // the literal, or the field's name
};

std::optional<QList<Token>> tokens(QStringView pattern)
{
    QList<Token> out;
    bool inGroup = false;
    QString literal;
    const auto flush = [&] {
        if (!literal.isEmpty())
            out.append(Token{Token::Literal, std::exchange(literal, QString())});
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'{') {
            const qsizetype close = pattern.indexOf(u'}', i);
            if (close < 0)
                return std::nullopt;
            flush();
            QStringView name = pattern.sliced(i + 1, close - i - 1);
            const bool test = name.startsWith(u'?');
            if (test)
                name = name.sliced(1);
            if (name.isEmpty())
                return std::nullopt;
            out.append(Token{test ? Token::Test : Token::Field, name.toString()});
            i = close;
        } else if (c == u'[' || c == u']') {
            if ((c == u'[') == inGroup)
                return std::nullopt;
            inGroup = !inGroup;
            flush();
            out.append(Token{inGroup ? Token::Open : Token::Close, {}});
        } else {
            literal += c;
        }
    }
    if (inGroup)
        return std::nullopt;
    flush();
    return out;
}

QString sqlLiteral(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

QString render(QStringView pattern, const QHash<QString, QString>& shown)
{
    const std::optional<QList<Token>> parts = tokens(pattern);
    if (!parts)
        return pattern.toString();
    QString out;
    QString group;
    bool inGroup = false;
    bool complete = true;
    for (const Token& token : *parts) {
        QString& target = inGroup ? group : out;
        switch (token.kind) {
        case Token::Literal:
            target += token.text;
            break;
        case Token::Field:
        case Token::Test: {
            const QString value = shown.value(token.text);
            complete = complete && !value.isEmpty();
            if (token.kind == Token::Field)
                target += value;
            break;
        }
        case Token::Open:
            inGroup = true;
            complete = true;
            group.clear();
            break;
        case Token::Close:
            inGroup = false;
            if (complete)
                out += group;
            complete = true;
            break;
        }
    }
    return out;
}

QString toSql(QStringView pattern, const std::function<QString(const QString&)>& shownSql)
{
    const std::optional<QList<Token>> parts = tokens(pattern);
    if (!parts)
        return sqlLiteral(pattern.toString());
    const auto valueOf = [&](const QString& name) { return QStringLiteral("coalesce(%1, '')").arg(shownSql(name)); };
    QStringList out;
    QStringList group;
    QStringList conditions;
    bool inGroup = false;
    for (const Token& token : *parts) {
        QStringList& target = inGroup ? group : out;
        switch (token.kind) {
        case Token::Literal:
            target << sqlLiteral(token.text);
            break;
        case Token::Field:
        case Token::Test:
            conditions << valueOf(token.text) + QStringLiteral(" <> ''");
            if (token.kind == Token::Field)
                target << valueOf(token.text);
            break;
        case Token::Open:
            inGroup = true;
            group.clear();
            conditions.clear();
            break;
        case Token::Close:
            inGroup = false;
            if (!group.isEmpty())
                out << QStringLiteral("CASE WHEN %1 THEN %2 ELSE '' END")
                           .arg(conditions.isEmpty() ? QStringLiteral("1") : conditions.join(QStringLiteral(" AND ")),
                                group.join(QStringLiteral(" || ")));
            break;
        }
    }
    return out.isEmpty() ? QStringLiteral("''") : out.join(QStringLiteral(" || "));
}

std::optional<QStringList> fields(QStringView pattern)
{
    const std::optional<QList<Token>> parts = tokens(pattern);
    if (!parts)
        return std::nullopt;
    QStringList names;
    for (const Token& token : *parts) {
        if (token.kind == Token::Field || token.kind == Token::Test)
            names << token.text;
    }
    return names;
}

} // namespace JournalText

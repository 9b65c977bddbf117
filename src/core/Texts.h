#pragma once

#include <QHash>
#include <QString>
#include <optional>

// The text in the current language (app().Sprache): the German text of the call site for "DE",
// otherwise the catalogue's English (key id*10+1) or French (key id*10+2) text. A missing or
// blank entry, or an unknown language, gives the German text.
QString GetText(const QString& german, qint32 id);

// The language of a command that shows no start window: the locale's when the program speaks it,
// otherwise German, the program's home language.
QString localeLanguage();

// The English and French texts, read once from the compiled-in catalogue.
class TextCatalogue
{
public:
    static std::optional<QString> lookup(qint64 key);
    // Replaces the catalogue (tests); nullopt goes back to the compiled-in one.
    static void replace(std::optional<QHash<qint64, QString>> entries);
    // Parses the catalogue's file form: "key<TAB>text" per line, '#' lines are comments.
    static QHash<qint64, QString> parse(const QString& content);
};

#include "Texts.h"

#include "AppState.h"
#include "Blanks.h"

#include <QFile>
#include <QLocale>
#include <QStringConverter>

namespace {

QHash<qint64, QString> loadCompiledIn()
{
    QFile file(QStringLiteral(":/texts/texts.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return TextCatalogue::parse(QString::fromUtf8(file.readAll()));
}

std::optional<QHash<qint64, QString>>& replacement()
{
    static std::optional<QHash<qint64, QString>> entries;
    return entries;
}

const QHash<qint64, QString>& catalogue()
{
    if (replacement())
        return *replacement();
    static const QHash<qint64, QString> compiledIn = loadCompiledIn();
    return compiledIn;
}

} // namespace

QHash<qint64, QString> TextCatalogue::parse(const QString& content)
{
    QHash<qint64, QString> entries;
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            continue;
        bool ok = false;
        const qint64 key = line.left(tab).toLongLong(&ok);
        if (ok)
            entries.insert(key, line.mid(tab + 1));
    }
    return entries;
}

std::optional<QString> TextCatalogue::lookup(qint64 key)
{
    const auto& entries = catalogue();
    const auto it = entries.constFind(key);
    if (it == entries.constEnd())
        return std::nullopt;
    return *it;
}

void TextCatalogue::replace(std::optional<QHash<qint64, QString>> entries)
{
    replacement() = std::move(entries);
}

QString GetText(const QString& german, qint32 id)
{
    const QString& language = app().Sprache;
    if (language == QLatin1String("DE"))
        return german;

    // The key is the id's digits followed by the language digit.
    int digit = 0;
    if (language == QLatin1String("EN"))
        digit = 1;
    else if (language == QLatin1String("FR"))
        digit = 2;
    if (digit == 0)
        return german;

    const QString text = TextCatalogue::lookup(qint64(id) * 10 + (id < 0 ? -digit : digit)).value_or(QString());
    return isBlank(text) ? german : text;
}

QString localeLanguage()
{
    switch (QLocale().language()) {
    case QLocale::English:
        return QStringLiteral("EN");
    case QLocale::French:
        return QStringLiteral("FR");
    default:
        return QStringLiteral("DE");
    }
}

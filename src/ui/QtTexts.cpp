#include "QtTexts.h"

#include "core/AppState.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void loadQtTexts()
{
    static QTranslator translator;
    QCoreApplication::removeTranslator(&translator);
    const QString language = app().Sprache.toLower();
    if (language == QLatin1String("en"))
        return;
    // qt_de and qt_fr name the catalogues of every Qt module the translations hold.
    if (translator.load(QStringLiteral("qt_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

#include "core/AppState.h"
#include "core/Texts.h"
#include "support/TestMain.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

// The text lookup against the compiled-in catalogue and against catalogues made for the case.
class TestTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        TextCatalogue::replace(std::nullopt);
        app().Sprache = QStringLiteral("DE");
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("german");
        QTest::addColumn<QString>("expected");

        QTest::newRow("German ignores the catalogue") << "DE" << 101 << "PERSON"
                                                      << "PERSON";
        QTest::newRow("German passes any call-site text") << "DE" << 999 << "frei"
                                                          << "frei";
        QTest::newRow("English frame") << "EN" << 101 << "PERSON"
                                       << "KEY HOLDER";
        QTest::newRow("French frame") << "FR" << 102 << "SCHLÜSSEL"
                                      << "CLE";
        QTest::newRow("question tail keeps apostrophe and blank") << "EN" << 161 << "' zugeordnet werden?"
                                                                  << "' ?";
        QTest::newRow("question head keeps apostrophe") << "EN" << 159 << "Soll der Person '"
                                                        << "Do you want to handout to '";
        QTest::newRow("trailing blank of 252 kept") << "FR" << 252 << "x"
                                                    << "La 'De date' ne doit pas être plus tard que 'A date' ";
        QTest::newRow("trailing blank of 350 kept") << "FR" << 350 << "x"
                                                    << "Il faut entrer le 'Numéro de clé' ";
        QTest::newRow("id without entry falls back") << "EN" << 123 << "Deutsch bleibt"
                                                     << "Deutsch bleibt";
        QTest::newRow("unknown language falls back") << "IT" << 101 << "PERSON"
                                                     << "PERSON";
        QTest::newRow("language code is case-sensitive") << "en" << 101 << "PERSON"
                                                         << "PERSON";
        QTest::newRow("new refusal text in English") << "EN" << 709 << "x"
                                                     << "The database refused the action:";
        QTest::newRow("new refusal text in French") << "FR" << 709 << "x"
                                                    << "La base de données a refusé l'action :";
        QTest::newRow("open error in English") << "EN" << 704 << "x"
                                               << "Error while opening the database:";
        QTest::newRow("prompt in French") << "FR" << 708 << "x"
                                          << "Inscrire le numéro de plan:";
    }

    void lookup()
    {
        QFETCH(QString, language);
        QFETCH(int, id);
        QFETCH(QString, german);
        QFETCH(QString, expected);
        app().Sprache = language;
        QCOMPARE(GetText(german, id), expected);
    }

    // The captions that read the same in every language.
    void sameInEveryLanguage()
    {
        const QList<QPair<int, QString>> texts = {{205, "OK"}, {308, "OK"},      {406, "OK"},      {507, "OK"},
                                                  {610, "OK"}, {608, "Deutsch"}, {609, "English"}, {611, "Francais"}};
        for (const QString& language : {QStringLiteral("DE"), QStringLiteral("EN"), QStringLiteral("FR")}) {
            app().Sprache = language;
            for (const auto& [id, text] : texts)
                QCOMPARE(GetText(text, id), text);
        }
    }

    void blankEntriesFallBackToGerman()
    {
        TextCatalogue::replace(TextCatalogue::parse(QStringLiteral("1011\t   \n1012\t\n1021\t KEY \n")));
        app().Sprache = QStringLiteral("EN");
        QCOMPARE(GetText(QStringLiteral("PERSON"), 101), QStringLiteral("PERSON"));
        QCOMPARE(GetText(QStringLiteral("SCHLÜSSEL"), 102), QStringLiteral(" KEY "));
        app().Sprache = QStringLiteral("FR");
        QCOMPARE(GetText(QStringLiteral("PERSON"), 101), QStringLiteral("PERSON"));
    }

    // Every id the sources look up (always as GetText(QStringLiteral("German"), id)) has both translations.
    void catalogueMatchesTheSources()
    {
        QSet<qint64> used;
        const QRegularExpression call(
            QStringLiteral("GetText\\(\\s*QStringLiteral\\(\"(?:[^\"\\\\]|\\\\.)*\"\\)\\s*,\\s*(\\d+)\\)"));
        QDirIterator files(QStringLiteral(CLAVARO_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile source(files.next());
            QVERIFY(source.open(QIODevice::ReadOnly));
            for (const auto& match : call.globalMatch(QString::fromUtf8(source.readAll())))
                used.insert(match.captured(1).toLongLong());
        }
        QVERIFY(used.size() > 70);

        QFile file(QStringLiteral(":/texts/texts.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto entries = TextCatalogue::parse(QString::fromUtf8(file.readAll()));
        for (const qint64 id : used) {
            for (const qint64 key : {id * 10 + 1, id * 10 + 2})
                QVERIFY2(entries.contains(key) && !entries.value(key).trimmed().isEmpty(),
                         qPrintable(QString::number(key)));
        }
    }
};

CLAVARO_TEST_MAIN(TestTexts)
#include "test_texts.moc"

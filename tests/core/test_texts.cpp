#include "core/AppState.h"
#include "core/Texts.h"
#include "support/Query.h"
#include "support/TestMain.h"

#include <QDirIterator>
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
        const auto row = [](const char* name, const QString& language, int id, const QString& german,
                            const QString& expected) { QTest::newRow(name) << language << id << german << expected; };
        row("German ignores the catalogue", "DE", 101, "PERSON", "PERSON");
        // An editor that strips trailing blanks from the catalogue would lose this one.
        row("trailing blank kept", "FR", 252, "x", "La 'De date' ne doit pas être plus tard que 'A date' ");
        row("id without entry falls back", "EN", 123, "Deutsch bleibt", "Deutsch bleibt");
        row("unknown language falls back", "IT", 101, "PERSON", "PERSON");
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

    // A blank entry falls back to German; blanks around a text are kept.
    void blankEntries()
    {
        TextCatalogue::replace(TextCatalogue::parse("1011\t   \n1021\t KEY \n"));
        app().Sprache = "EN";
        QCOMPARE(GetText("PERSON", 101) + GetText("SCHLÜSSEL", 102), "PERSON KEY ");
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
            for (const auto& match : call.globalMatch(QString::fromUtf8(fileContent(files.next()))))
                used.insert(match.captured(1).toLongLong());
        }
        QVERIFY(used.size() > 70);

        const auto entries = TextCatalogue::parse(QString::fromUtf8(fileContent(QStringLiteral(":/texts/texts.tsv"))));
        for (const qint64 id : used) {
            for (const qint64 key : {id * 10 + 1, id * 10 + 2})
                QVERIFY2(entries.contains(key) && !entries.value(key).trimmed().isEmpty(),
                         qPrintable(QString::number(key)));
        }
    }
};

CLAVARO_TEST_MAIN(TestTexts)
#include "test_texts.moc"

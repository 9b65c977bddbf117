// Where a printout goes: a new PDF file named by what and when, never overwriting; failures reported.
#include "core/AppState.h"
#include "core/Clock.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"
#include "ui/Printout.h"

#include <QDateTime>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

class TestPrintout : public QObject
{
    Q_OBJECT

    static bool drawPage(QPrinter& printer)
    {
        QPainter painter;
        if (!painter.begin(&printer))
            return false;
        painter.drawText(100, 100, QStringLiteral("Seite"));
        return painter.end();
    }

private Q_SLOTS:
    void init() { Clock::setToday(QDate(2026, 12, 6)); }
    void cleanup()
    {
        Clock::setToday(std::nullopt);
        app().printToPdfDir.clear();
    }

    void newPathNeverOverwrites()
    {
        QTemporaryDir dir;
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 32));
        const QString first = Printout::newPdfPath(dir.path(), "Bestaetigung", "K10/ 3", when);
        QCOMPARE(QFileInfo(first).fileName(), "Bestaetigung-2026-12-06-1432-K103.pdf");
        QFile(first).open(QIODevice::WriteOnly);
        QCOMPARE(QFileInfo(Printout::newPdfPath(dir.path(), "Bestaetigung", "K10/ 3", when)).fileName(),
                 "Bestaetigung-2026-12-06-1432-K103-2.pdf");
        QCOMPARE(QFileInfo(Printout::newPdfPath(dir.path(), "Liste", "", when)).fileName(),
                 "Liste-2026-12-06-1432.pdf");
    }

    // With the option the folder is made when missing and the message names the file; without the
    // option and without a printer the file lands in the documents folder and the message says why.
    void pdfLandsAndIsNamed_data()
    {
        QTest::addColumn<bool>("option");
        QTest::newRow("--print-to-pdf") << true;
        QTest::newRow("no printer") << false;
    }
    void pdfLandsAndIsNamed()
    {
        QFETCH(bool, option);
        if (!option && !QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed");
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        const auto restore = qScopeGuard([&oldHome] { qputenv("HOME", oldHome); });
        qunsetenv("XDG_DOCUMENTS_DIR");
        const QString dir = home.filePath(option ? "out/pdf" : "Documents");
        if (option)
            app().printToPdfDir = dir;
        ScriptedMessages messages;
        QVERIFY(Printout::run("Liste", "", "Liste", QMarginsF(500, 720, 500, 720), &TestPrintout::drawPage));
        const QStringList files = QDir(dir).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(QRegularExpression("^Liste-2026-12-06-\\d{4}\\.pdf$").match(files[0]).hasMatch());
        QVERIFY(QFileInfo(QDir(dir).filePath(files[0])).size() > 500);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].icon, Messages::Icon::Information);
        QCOMPARE(messages.lastText(), QString(option ? "" : "Es ist kein Drucker eingerichtet.\n") +
                                          "Der Ausdruck wurde als PDF-Datei gespeichert:\n" +
                                          QDir::toNativeSeparators(QDir(dir).filePath(files[0])));
    }

    void unwritableFolderIsReported()
    {
        QTemporaryDir dir;
        QFile(dir.filePath("plain")).open(QIODevice::WriteOnly);
        app().printToPdfDir = dir.filePath("plain/sub");
        ScriptedMessages messages;
        bool drawn = false;
        QVERIFY(!Printout::run("Liste", "", "Liste", {}, [&drawn](QPrinter&) { return drawn = true; }));
        QVERIFY(!drawn);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].icon, Messages::Icon::Exclamation);
        QVERIFY(messages.lastText().startsWith("Der Ausdruck konnte nicht erstellt werden.\n"));
        QVERIFY(messages.lastText().contains(QDir::toNativeSeparators(app().printToPdfDir)));
    }
};

CLAVARO_TEST_MAIN(TestPrintout)
#include "test_printout.moc"

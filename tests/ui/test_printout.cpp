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
private Q_SLOTS:
    void newPathNeverOverwrites()
    {
        QTemporaryDir dir;
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 32));
        const QString first = Printout::newPdfPath(dir.path(), "Bestaetigung", "K10/ 3", when);
        QCOMPARE(QFileInfo(first).fileName(), "Bestaetigung-2026-12-06-1432-K103.pdf");
        QFile(first).open(QIODevice::WriteOnly);
        QCOMPARE(QFileInfo(Printout::newPdfPath(dir.path(), "Bestaetigung", "K10/ 3", when)).fileName(),
                 "Bestaetigung-2026-12-06-1432-K103-2.pdf");
    }

    // With the option the folder is made when missing; without it and without a printer the file lands
    // in the documents folder and the message says why; a folder that cannot be made is reported.
    void routing_data()
    {
        QTest::addColumn<QString>("option"); // under the temporary home; empty for none
        QTest::addColumn<QString>("folder"); // where the file lands; empty for nowhere
        QTest::addColumn<QString>("message");
        const QString saved = QStringLiteral("Der Ausdruck wurde als PDF-Datei gespeichert:\n");
        QTest::newRow("--print-to-pdf") << QStringLiteral("out/pdf") << QStringLiteral("out/pdf") << saved;
        QTest::newRow("no printer") << QString() << QStringLiteral("Documents")
                                    << "Es ist kein Drucker eingerichtet.\n" + saved;
        QTest::newRow("folder cannot be made")
            << QStringLiteral("plain/sub") << QString()
            << QStringLiteral("Der Ausdruck konnte nicht erstellt werden.\nDer Ordner kann nicht angelegt werden: ");
    }
    void routing()
    {
        QFETCH(QString, option);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        if (option.isEmpty() && !QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed");
        QTemporaryDir home;
        QFile(home.filePath("plain")).open(QIODevice::WriteOnly); // a file where a folder would go
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        Clock::setToday(QDate(2026, 12, 6));
        const auto restore = qScopeGuard([&oldHome] {
            qputenv("HOME", oldHome);
            Clock::setToday(std::nullopt);
            app().printToPdfDir.clear();
        });
        app().printToPdfDir = option.isEmpty() ? QString() : home.filePath(option);
        ScriptedMessages messages;
        const bool printed = Printout::run("Liste", "", "Liste", QMarginsF(500, 720, 500, 720), [](QPrinter& printer) {
            QPainter painter;
            return painter.begin(&printer) && (painter.drawText(100, 100, "Seite"), painter.end());
        });
        QCOMPARE(printed, !folder.isEmpty());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].icon, printed ? Messages::Icon::Information : Messages::Icon::Exclamation);
        const QStringList files = QDir(home.filePath(folder)).entryList({"*.pdf"}, QDir::Files);
        const QString path = printed ? QDir(home.filePath(folder)).filePath(files.value(0)) : app().printToPdfDir;
        QCOMPARE(messages.lastText(), message + QDir::toNativeSeparators(path));
        if (printed) {
            QCOMPARE(files.size(), 1);
            QVERIFY(QRegularExpression("^Liste-2026-12-06-\\d{4}\\.pdf$").match(files[0]).hasMatch());
            QVERIFY(QFileInfo(path).size() > 500);
        }
    }
};

CLAVARO_TEST_MAIN(TestPrintout)
#include "test_printout.moc"

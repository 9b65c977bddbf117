// Where a printout goes: a new PDF file named by what and when, never overwriting; failures reported.
#include "core/AppState.h"
#include "core/Clock.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"
#include "widgets/Printout.h"

#include <QDateTime>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

class TestPrintout : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home; // holds a file "plain" where a folder would go

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toLocal8Bit());
        QFile(m_home.filePath("plain")).open(QIODevice::WriteOnly);
        Clock::setToday(QDate(2026, 12, 6));
    }

    void newPathNeverOverwrites()
    {
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 32));
        const QString first = Printout::newPdfPath(m_home.path(), "Bestaetigung", "K10/ 3", when);
        QCOMPARE(QFileInfo(first).fileName(), "Bestaetigung-2026-12-06-1432-K103.pdf");
        QFile(first).open(QIODevice::WriteOnly);
        QCOMPARE(QFileInfo(Printout::newPdfPath(m_home.path(), "Bestaetigung", "K10/ 3", when)).fileName(),
                 "Bestaetigung-2026-12-06-1432-K103-2.pdf");

        // A value of any length makes a name the file system takes: its first 60 bytes.
        const QString longName = QFileInfo(Printout::newPdfPath(m_home.path(), "Bestaetigung",
                                                                QString(10000, u'K') + QString(9, u'Ä'), when))
                                     .fileName();
        QCOMPARE(longName, "Bestaetigung-2026-12-06-1432-" + QString(60, u'K') + ".pdf");
        const QString umlauts =
            QFileInfo(Printout::newPdfPath(m_home.path(), "Liste", QString(10000, u'Ä'), when)).fileName();
        QCOMPARE(umlauts, "Liste-2026-12-06-1432-" + QString(30, u'Ä') + ".pdf");
        QVERIFY(QFile(m_home.filePath(umlauts)).open(QIODevice::WriteOnly));
    }

    // With the option the folder is made when missing; without it and without a printer the file lands
    // in the documents folder and the message says why; a folder that cannot be made is reported.
    void routing_data()
    {
        QTest::addColumn<QStringList>("c"); // option under the home (none: empty), the file's folder, the message
        const QString saved = QStringLiteral("Der Ausdruck wurde als PDF-Datei gespeichert:\n");
        QTest::newRow("--print-to-pdf") << QStringList{"out/pdf", "out/pdf", saved};
        QTest::newRow("no printer") << QStringList{"", "Documents", "Es ist kein Drucker eingerichtet.\n" + saved};
        QTest::newRow("folder cannot be made") << QStringList{
            "plain/sub", "", "Der Ausdruck konnte nicht erstellt werden.\nDer Ordner kann nicht angelegt werden: "};
    }
    void routing()
    {
        QFETCH(QStringList, c);
        if (c[0].isEmpty() && !QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed");
        app().printToPdfDir = c[0].isEmpty() ? QString() : m_home.filePath(c[0]);
        ScriptedMessages messages;
        const bool printed = Printout::run("Liste", "", "Liste", QMarginsF(500, 720, 500, 720), [](QPrinter& printer) {
            QPainter painter;
            return painter.begin(&printer) && (painter.drawText(100, 100, "Seite"), painter.end());
        });
        QCOMPARE(printed, !c[1].isEmpty());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].icon, printed ? Messages::Icon::Information : Messages::Icon::Exclamation);
        const QDir folder(m_home.filePath(c[1]));
        const QStringList files = printed ? folder.entryList({"*.pdf"}, QDir::Files) : QStringList();
        QCOMPARE(messages.lastText(),
                 c[2] + QDir::toNativeSeparators(printed ? folder.filePath(files.value(0)) : app().printToPdfDir));
        if (printed) {
            QVERIFY(QRegularExpression("^Liste-2026-12-06-\\d{4}\\.pdf$").match(files[0]).hasMatch());
            QVERIFY(QFileInfo(folder.filePath(files[0])).size() > 500);
        }
    }
};

CLAVARO_TEST_MAIN(TestPrintout)
#include "test_printout.moc"

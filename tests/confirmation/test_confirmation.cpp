// The handout confirmation: its layout on the line printer, the key text, pages, where it goes.
#include "confirmation/ConfirmationLayout.h"
#include "support/RecordingPrinter.h"
#include "support/TestMain.h"
#include "ui/QtLinePrinter.h"

#include <QPdfWriter>
#include <QTemporaryDir>

using Widths = QHash<QString, double>;
Q_DECLARE_METATYPE(Widths)

class TestConfirmation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Widths are 100 twips a character at 10 points, 120 at 12, unless given; W is 11906.
    void layout_data()
    {
        QTest::addColumn<QString>("templ");
        QTest::addColumn<Widths>("widths");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("title, empty line, sentence with values")
            << "Bestätigung\r\n\r\nHerr [&P] erhält am [&D] den Schlüssel [&K]" << Widths()
            << QStringList{"4993/12pt:*_Bestätigung_*", "",
                           "300:Herr *Müller Hans* erhält am *05.03.2026* den Schlüssel *4711 A12/3* "};
        QTest::newRow("leading blank lines, placeholder kept in title, no line break")
            << "\r\n  \r\nTitel [&P]" << Widths() << QStringList{"", "", "5053/12pt:*_Titel [&P]_*"};
        QTest::newRow("whole words only, case-sensitive, two blanks, lone LF")
            << "T\r\n[&K]. [&p]  x [&D],\n[&D]" << Widths()
            << QStringList{"5593/12pt:*_T_*", "0:[&K]. [&p]  x [&D],\n[&D] "};
        QTest::newRow("title 3000 wide; x + w = 10406 stays") << "T\r\nx\r\na b" << Widths{{"T", 3000}, {"b", 10006}}
                                                              << QStringList{"4153/12pt:*_T_*", "0:x ", "300:a b "};
        QTest::newRow("x + w = 10407 breaks to 300")
            << "T\r\nx\r\na b" << Widths{{"b", 10007}} << QStringList{"5593/12pt:*_T_*", "0:x ", "300:a ", "300:b "};
        QTest::newRow("word too wide for any line")
            << "T\r\nwide\r\nx wide y" << Widths{{"wide", 20000}}
            << QStringList{"5593/12pt:*_T_*", "", "300:wide ", "300:x ", "300:wide ", "300:y "};
        QTest::newRow("half to even keeps the line")
            << "T\r\nh b" << Widths{{"h", 0.5}, {"b", 10406}} << QStringList{"5593/12pt:*_T_*", "0:h b "};
        QTest::newRow("a title wider than the page starts at its edge")
            << "T\r\n"
            << Widths{{"T", 20000}} << QStringList{"0/12pt:*_T_*", ""};
        QTest::newRow("blank lines only print nothing") << "  \r\n\r\n " << Widths() << QStringList();
    }
    void layout()
    {
        QFETCH(QString, templ);
        QFETCH(Widths, widths);
        QFETCH(QStringList, expected);
        RecordingPrinter printer;
        printer.widths = widths;
        ConfirmationLayout::print(printer, templ, {QStringLiteral("Müller Hans"), "05.03.2026", "4711 A12/3"});
        QCOMPARE(printer.lines, expected);
        QCOMPARE(printer.ended, !expected.isEmpty());
    }

    void keyText_data()
    {
        QTest::addColumn<QString>("zusatzNr");
        QTest::addColumn<QString>("funktion");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number and function") << "3"
                                             << "Haupteingang"
                                             << "4711 A12/3 (Haupteingang)";
        QTest::newRow("neither") << ""
                                 << ""
                                 << "4711 A12";
        QTest::newRow("blanks count as none") << "  "
                                              << " "
                                              << "4711 A12";
        QTest::newRow("function only, untrimmed") << ""
                                                  << "Tor "
                                                  << "4711 A12 (Tor )";
    }
    void keyText()
    {
        QFETCH(QString, zusatzNr);
        QFETCH(QString, funktion);
        QFETCH(QString, expected);
        QCOMPARE(ConfirmationLayout::keyText("4711", "A12", zusatzNr, funktion), expected);
    }

    // A body longer than a page goes on at the top of the next one instead of off the paper.
    void longBodyContinuesOnNextPage()
    {
        QTemporaryDir dir;
        QPdfWriter writer(dir.filePath("long.pdf"));
        QtLinePrinter printer(writer);
        QString templ = QStringLiteral("Bestätigung");
        for (int i = 0; i < 150; ++i)
            templ += QStringLiteral("\r\nZeile %1 für [&P]").arg(i);
        ConfirmationLayout::print(printer, templ, {QStringLiteral("Müller Hans"), "05.03.2026", "4711 A12"});
        QVERIFY(!printer.failed());
        QVERIFY(printer.pageCount() > 1);
        QVERIFY(QFileInfo(dir.filePath("long.pdf")).size() > 1000);
    }
};

CLAVARO_TEST_MAIN(TestConfirmation)
#include "test_confirmation.moc"

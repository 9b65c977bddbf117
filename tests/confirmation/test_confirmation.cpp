// The handout confirmation: its layout on the line printer, the key text, pages, where it goes.
#include "confirmation/ConfirmationLayout.h"
#include "core/Clock.h"
#include "handouts/HandoutPane.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "widgets/QtLinePrinter.h"

#include <QDir>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>

using Widths = QHash<QString, double>;

class TestConfirmation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::setToday(QDate(2026, 3, 10)); }

    // Widths are 100 twips a character at 10 points, 120 at 12, unless given; W is 11906.
    void layout_data()
    {
        QTest::addColumn<QString>("templ");
        QTest::addColumn<Widths>("widths");
        QTest::addColumn<QString>("expected"); // the printed lines, joined by "|"
        QTest::newRow("title, empty line, sentence with values")
            << "Bestätigung\r\n\r\nHerr [&P] erhält am [&D] den Schlüssel [&K]" << Widths()
            << "4993/12pt:*_Bestätigung_*||300:Herr *Müller Hans* erhält am *05.03.2026* den Schlüssel *4711 A12/3* ";
        QTest::newRow("leading blank lines, placeholder kept in title, no line break")
            << "\r\n  \r\nTitel [&P]" << Widths() << "||5053/12pt:*_Titel [&P]_*";
        QTest::newRow("whole words only, case-sensitive, two blanks, lone LF")
            << "T\r\n[&K]. [&p]  x [&D],\n[&D]" << Widths() << "5593/12pt:*_T_*|0:[&K]. [&p]  x [&D],\n[&D] ";
        QTest::newRow("title 3000 wide; x + w = 10406 stays")
            << "T\r\nx\r\na b" << Widths{{"T", 3000}, {"b", 10006}} << "4153/12pt:*_T_*|0:x |300:a b ";
        QTest::newRow("x + w = 10407 breaks to 300")
            << "T\r\nx\r\na b" << Widths{{"b", 10007}} << "5593/12pt:*_T_*|0:x |300:a |300:b ";
        QTest::newRow("word too wide for any line") << "T\r\nwide\r\nx wide y" << Widths{{"wide", 20000}}
                                                    << "5593/12pt:*_T_*||300:wide |300:x |300:wide |300:y ";
        QTest::newRow("half to even keeps the line")
            << "T\r\nh b" << Widths{{"h", 0.5}, {"b", 10406}} << "5593/12pt:*_T_*|0:h b ";
        QTest::newRow("a title wider than the page starts at its edge") << "T\r\n"
                                                                        << Widths{{"T", 20000}} << "0/12pt:*_T_*|";
        QTest::newRow("blank lines only print nothing") << "  \r\n\r\n " << Widths() << "";
    }
    void layout()
    {
        QFETCH(QString, templ);
        QFETCH(Widths, widths);
        QFETCH(QString, expected);
        RecordingPrinter printer;
        printer.widths = widths;
        ConfirmationLayout::print(printer, templ, {QStringLiteral("Müller Hans"), "05.03.2026", "4711 A12/3"});
        QCOMPARE(printer.lines.join(QLatin1Char('|')), expected);
        QCOMPARE(printer.ended, !expected.isEmpty());
    }

    // P, D and K from the selected line as the grid shows it; number and function only when not blank.
    void fromTheSelectedLine_data()
    {
        // Number, function, template; K or the message shown (none: no line selected); the file's pattern.
        QTest::addColumn<QStringList>("c");
        const QString undefined = QStringLiteral("Bestätigungsformular wurde noch nicht definiert!");
        QTest::newRow("number and function") << QStringList{"3", "Haupteingang", "T", "4711 A12/3  (Haupteingang)",
                                                            "Bestaetigung-2026-03-10-\\d{4}-A12-3\\.pdf"};
        QTest::newRow("blanks count as none")
            << QStringList{" ", " ", "T", "4711 A12", "Bestaetigung-2026-03-10-\\d{4}-A12\\.pdf"};
        QTest::newRow("no line selected") << QStringList{"", "", "T", "", ""};
        QTest::newRow("blank lines only") << QStringList{"", "", "\r\n  \r\n", undefined, ""};
    }
    void fromTheSelectedLine()
    {
        QFETCH(QStringList, c);
        TestDatabase t;
        QTemporaryDir out;
        app().printToPdfDir = out.path();
        ScriptedMessages messages;
        t.exec(QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES('4711', '%1')").arg(c[2]));
        addKey(t, "A12", c[1]);
        addMovement(t, "A12", 0, addPerson(t, "Müller", "Hans"), "3/5/26", c[0]);
        HandoutPane pane;
        pane.RefreshVergaben(false);
        if (!c[3].isEmpty())
            pane.sprVergaben->selectRow(0);
        const bool printed = !c[4].isEmpty();
        if (printed) {
            const ConfirmationLayout::Values values = pane.confirmationValues().value();
            QCOMPARE(QStringList({values.person, values.date, values.key}),
                     QStringList({"Müller Hans ", "05.03.2026", c[3]}));
        }
        pane.pbBestaetigung_Click();
        const QStringList files = QDir(out.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), printed ? 1 : 0);
        if (printed)
            QVERIFY2(QRegularExpression("^" + c[4] + "$").match(files[0]).hasMatch(), qPrintable(files[0]));
        QCOMPARE(messages.shown.size(), c[3].isEmpty() ? 0 : 1);
        if (!c[3].isEmpty() && !printed)
            QCOMPARE(messages.lastText(), c[3]);
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
        QVERIFY(!printer.failed() && printer.pageCount() > 1);
    }
};

CLAVARO_TEST_MAIN(TestConfirmation)
#include "test_confirmation.moc"

// The handout confirmation: its layout on the line printer, the key text, pages, where it goes; the template
// dialog: placeholder insertion at the caret, storing, the caret's return, Enter.
#include "confirmation/ConfirmationLayout.h"
#include "confirmation/DlgFormular.h"
#include "core/Clock.h"
#include "handouts/HandoutPane.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "widgets/DialogRunner.h"
#include "widgets/QtLinePrinter.h"

#include <QDir>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

namespace {

using Widths = QHash<QString, double>;

const QString kStored = QStringLiteral("SELECT Bestätigung FROM TBKopfdaten");

// Opens the dialog as the main window does; edit acts on it before the runner returns.
void openWith(const std::function<void(DlgFormular&)>& edit)
{
    DialogRunner::setHook([&edit](QDialog& shown) { edit(static_cast<DlgFormular&>(shown)); });
    DlgFormular::open(nullptr);
    DialogRunner::setHook({});
}

void setCaret(QPlainTextEdit* field, int position, int anchor)
{
    QTextCursor cursor = field->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    field->setTextCursor(cursor);
}

// A click on a placeholder label with the field's text and selection as given; the caret after it in
// the field, and CaretPos in the stored text.
struct Insert
{
    QString text;
    int anchor, caret;
    QString label, expected;
    int expectedCaret, caretPos;
};
} // namespace

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

    void insert_data()
    {
        QTest::addColumn<Insert>("c");
        QTest::newRow("person after 'Herr '") << Insert{"Herr ", 5, 5, "dfName", "Herr \n[&P]\n", 10, 5};
        QTest::newRow("key on the second line") << Insert{"a\nb", 3, 3, "dfSchlüssel", "a\nb\n[&K]\n", 8, 4};
        QTest::newRow("selection stays behind") << Insert{"abcd", 3, 1, "dfDatum", "a[&D]bcd", 5, 1};
    }
    void insert()
    {
        QFETCH(Insert, c);
        DlgFormular dlg;
        dlg.dfText->setPlainText(c.text);
        setCaret(dlg.dfText, c.caret, c.anchor);
        QTest::mouseClick(dlg.findChild<QWidget*>(c.label), Qt::LeftButton);
        QCOMPARE(dlg.dfText->toPlainText(), c.expected);
        QCOMPARE(dlg.dfText->textCursor().position(), c.expectedCaret);
        QVERIFY(!dlg.dfText->textCursor().hasSelection());
        QCOMPARE(DlgFormular::CaretPos, c.caretPos);
    }

    // OK stores CR LF and apostrophes intact; two dates in a row make one word. At the next opening the
    // caret returns to where the last insertion began when the field takes the focus, where OK stops
    // being the default and Enter starts a new line; Abbrechen stores nothing.
    void storeCaretAndEnter()
    {
        TestDatabase t;
        t.exec(
            QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES('4711', 'O''Neill''s\r\nHerr ')"));
        openWith([](DlgFormular& dlg) {
            setCaret(dlg.dfText, 15, 15);
            dlg.dfDatum_Click();
            dlg.dfDatum_Click();
            dlg.pbOK->click();
        });
        const QString stored = QStringLiteral("O'Neill's\r\nHerr [&D][&D]");
        QCOMPARE(t.scalar(kStored).toString(), stored);
        openWith([](DlgFormular& dlg) {
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            QVERIFY(dlg.pbOK->hasFocus() && dlg.pbOK->isDefault());
            QTest::keyClick(&dlg, Qt::Key_Tab);
            QTest::keyClick(&dlg, Qt::Key_Tab);
            QVERIFY(dlg.dfText->hasFocus() && !dlg.pbOK->isDefault());
            QCOMPARE(dlg.dfText->textCursor().position(), 19);
            QTest::keyClick(dlg.dfText, Qt::Key_Return);
            QVERIFY(dlg.isVisible());
            QCOMPARE(dlg.storedText(), QStringLiteral("O'Neill's\r\nHerr [&D]\r\n[&D]"));
            dlg.dfText->clearFocus();
            QVERIFY(dlg.pbOK->isDefault());
            dlg.pbAbbrechen->click();
        });
        QCOMPARE(t.scalar(kStored).toString(), stored);
    }

    // Stored as typed: a no-break space stays one, and so does a lone line feed or carriage return (the
    // field shows it as its symbol) instead of becoming a line break.
    void storedAsTyped()
    {
        TestDatabase t;
        const QString stored = QStringLiteral("a\u00A0b\nc\rd\r\ne");
        t.exec(QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES('4711', '%1')").arg(stored));
        openWith([](DlgFormular& dlg) {
            QCOMPARE(dlg.dfText->document()->toRawText(), QStringLiteral("a\u00A0b\u240Ac\u240Dd\u2029e"));
            dlg.dfText->moveCursor(QTextCursor::End);
            QTest::sendKeyEvent(QTest::Click, dlg.dfText, Qt::Key_unknown, QString(QChar(0xA0)), Qt::NoModifier);
            dlg.pbOK->click();
        });
        QCOMPARE(t.scalar(kStored).toString(), stored + QChar(0xA0));
    }
};

CLAVARO_TEST_MAIN(TestConfirmation)
#include "test_confirmation.moc"

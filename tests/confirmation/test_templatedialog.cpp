// The template dialog: placeholder insertion at the caret, storing, the caret's return, Enter.
#include "confirmation/DlgFormular.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"
#include "widgets/DialogRunner.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>

namespace {
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

class TestTemplateDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
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

CLAVARO_TEST_MAIN(TestTemplateDialog)
#include "test_templatedialog.moc"

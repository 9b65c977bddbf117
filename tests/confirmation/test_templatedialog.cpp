// The template dialog: loading and storing, placeholder insertion at the caret, the caret's return.
#include "confirmation/DlgFormular.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"
#include "ui/DialogRunner.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

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

// A click on a placeholder label with the field's text and selection (anchor to caret) as given.
struct Insert
{
    QString text;
    int anchor, caret;
    QString label, expected;
    int expectedCaret; // in the field
    int caretPos;      // in the stored text
};
} // namespace

class TestTemplateDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { DlgFormular::CaretPos = 0; }

    // OK stores the field's lines with CR LF and apostrophes intact; Abbrechen and the close box store
    // nothing, even after placeholders went in.
    void storeAndDiscard()
    {
        TestDatabase t;
        t.exec(QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES('4711', '')"));
        openWith([&](DlgFormular& dlg) {
            QCOMPARE(dlg.dfText->toPlainText(), QString());
            dlg.dfText->setPlainText(QStringLiteral("Bestätigung\n\nO'Neill's [&P]"));
            dlg.pbOK->click();
        });
        const QString templ = QStringLiteral("Bestätigung\r\n\r\nO'Neill's [&P]");
        QCOMPARE(t.scalar(kStored).toString(), templ);
        for (const char* close : {"pbAbbrechen", ""}) {
            openWith([&](DlgFormular& dlg) {
                QCOMPARE(dlg.storedText(), templ);
                dlg.dfSchluessel_Click();
                if (*close)
                    dlg.findChild<QPushButton*>(close)->click();
            });
            QCOMPARE(t.scalar(kStored).toString(), templ);
        }
    }

    void insert_data()
    {
        QTest::addColumn<Insert>("c");
        QTest::newRow("person after 'Herr '") << Insert{"Herr ", 5, 5, "dfName", "Herr \n[&P]\n", 10, 5};
        QTest::newRow("date at the start") << Insert{"abc", 0, 0, "dfDatum", "[&D]abc", 4, 0};
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

    // Two dates in a row make one word; the caret returns to where the last insertion began when
    // the field takes the focus, also in the next opening; Enter there starts a new line.
    void caretReturnsAndEnterBreaksTheLine()
    {
        TestDatabase t;
        t.exec(QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES('4711', 'Titel\r\nHerr ')"));
        openWith([](DlgFormular& dlg) {
            setCaret(dlg.dfText, 11, 11);
            dlg.dfDatum_Click();
            dlg.dfDatum_Click();
            QCOMPARE(dlg.storedText(), QStringLiteral("Titel\r\nHerr [&D][&D]"));
            QCOMPARE(DlgFormular::CaretPos, 16);
            dlg.pbOK->click();
        });
        openWith([](DlgFormular& dlg) {
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            QVERIFY(dlg.pbOK->hasFocus() && dlg.pbOK->isDefault());
            QTest::keyClick(&dlg, Qt::Key_Tab);
            QTest::keyClick(&dlg, Qt::Key_Tab);
            QVERIFY(dlg.dfText->hasFocus() && !dlg.pbOK->isDefault());
            QCOMPARE(dlg.dfText->textCursor().position(), 15);
            QTest::keyClick(dlg.dfText, Qt::Key_Return);
            QVERIFY(dlg.isVisible());
            QCOMPARE(dlg.storedText(), QStringLiteral("Titel\r\nHerr [&D]\r\n[&D]"));
            dlg.dfText->clearFocus();
            QVERIFY(dlg.pbOK->isDefault());
        });
    }
};

CLAVARO_TEST_MAIN(TestTemplateDialog)
#include "test_templatedialog.moc"

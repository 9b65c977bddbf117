// The template dialog: loading and storing, placeholder insertion at the caret, the caret's return.
#include "confirmation/DlgFormular.h"
#include "core/Sql.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"
#include "ui/DialogRunner.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace {
const QString kStored = QStringLiteral("SELECT Bestätigung FROM TBKopfdaten");

void addHeaderRow(TestDatabase& t, const QString& templ)
{
    t.exec(QStringLiteral("INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES('4711', '%1')")
               .arg(Sql::sqlText(templ)));
}

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
        addHeaderRow(t, QString());
        const QString templ = QStringLiteral("Bestätigung\r\n\r\nO'Neill's [&P]");
        openWith([&](DlgFormular& dlg) {
            QCOMPARE(dlg.dfText->toPlainText(), QString());
            dlg.dfText->setPlainText(QStringLiteral("Bestätigung\n\nO'Neill's [&P]"));
            dlg.pbOK->click();
        });
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
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("expectedCaret"); // in the field
        QTest::addColumn<int>("caretPos");      // in the stored text
        QTest::newRow("person after 'Herr '") << "Herr " << 5 << 5 << "dfName"
                                              << "Herr \n[&P]\n"
                                              << 10 << 5;
        QTest::newRow("date at the start") << "abc" << 0 << 0 << "dfDatum"
                                           << "[&D]abc" << 4 << 0;
        QTest::newRow("key on the second line") << "a\nb" << 3 << 3 << QStringLiteral("dfSchlüssel") << "a\nb\n[&K]\n"
                                                << 8 << 4;
        QTest::newRow("selection stays behind") << "abcd" << 3 << 1 << "dfDatum"
                                                << "a[&D]bcd" << 5 << 1;
    }
    void insert()
    {
        QFETCH(QString, text);
        QFETCH(int, anchor);
        QFETCH(int, caret);
        QFETCH(QString, label);
        QFETCH(QString, expected);
        QFETCH(int, expectedCaret);
        QFETCH(int, caretPos);
        DlgFormular dlg;
        dlg.dfText->setPlainText(text);
        setCaret(dlg.dfText, caret, anchor);
        QTest::mouseClick(dlg.findChild<QWidget*>(label), Qt::LeftButton);
        QCOMPARE(dlg.dfText->toPlainText(), expected);
        QCOMPARE(dlg.dfText->textCursor().position(), expectedCaret);
        QVERIFY(!dlg.dfText->textCursor().hasSelection());
        QCOMPARE(DlgFormular::CaretPos, caretPos);
    }

    // Two dates in a row make one word; the caret returns to where the last insertion began when
    // the field takes the focus, also in the next opening; Enter there starts a new line.
    void caretReturnsAndEnterBreaksTheLine()
    {
        TestDatabase t;
        addHeaderRow(t, QStringLiteral("Titel\r\nHerr "));
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
            QVERIFY(dlg.dfText->hasFocus());
            QCOMPARE(dlg.dfText->textCursor().position(), 15);
            QVERIFY(!dlg.pbOK->isDefault());
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

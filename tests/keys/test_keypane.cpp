// The key pane on its own: the key list, its buttons, and the key deletion from the pane and the dialog.
#include "core/SqlError.h"
#include "keys/DlgSchluessel.h"
#include "keys/KeyPane.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "widgets/DialogRunner.h"
#include "widgets/TabListWidget.h"

#include <QLineEdit>
#include <QSignalSpy>

class TestKeyPane : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<KeyPane> m_pane;
    QStringList rows() const
    {
        QStringList texts;
        for (int i = 0; i < m_pane->lstSchluessel->count(); ++i)
            texts << m_pane->lstSchluessel->item(i)->text();
        return texts;
    }
    void select(const QString& keyNumber)
    {
        m_pane->lstSchluessel->setCurrentItem(
            m_pane->lstSchluessel->findItems(keyNumber + QLatin1Char('\t'), Qt::MatchStartsWith).value(0));
    }
    int keys(const QString& nr) { return m_db->count(QStringLiteral("TBSchluessel"), "SchluesselNr = '" + nr + "'"); }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        // Key numbers of 3, 4 (one of them two bytes in UTF-8), 5 and 10 characters; a tab in a function.
        for (const char* key : {"A12|Haupt\teingang ", "ÄB12|Tor ", "GH200|Hof ", "ABCDEFGH12|O'Neil "})
            addKey(*m_db, QString::fromUtf8(key).section('|', 0, 0), QString::fromUtf8(key).section('|', 1));
        m_pane = std::make_unique<KeyPane>();
        m_pane->pbSchlSuch_Click();
    }
    void cleanup()
    {
        m_pane.reset();
        m_messages.reset();
        m_db.reset();
        DialogRunner::setHook({});
    }

    // The search statement and the rows: key number, a tab, a second tab for numbers under five characters,
    // the function; the refill under the hourglass leaves nothing selected. A shorter list removes the
    // selected row, so the current item moves during the refill (the sanitizer build reads along).
    void fill_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("where");
        QTest::newRow("blanks only") << "   "
                                     << QStringList{"A12\t\tHaupt\teingang ", "ABCDEFGH12\tO'Neil ", "GH200\tHof ",
                                                    "ÄB12\t\tTor "}
                                     << "";
        QTest::newRow("a tab is searched for, not trimmed") << "\t" << QStringList{"A12\t\tHaupt\teingang "}
                                                            << "WHERE SchluesselNr LIKE '*\t*' OR Funktion LIKE '*\t*'";
        QTest::newRow("quote doubled") << "o'n" << QStringList{"ABCDEFGH12\tO'Neil "}
                                       << "WHERE SchluesselNr LIKE '*o''n*' OR Funktion LIKE '*o''n*'";
    }
    void fill()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        QFETCH(QString, where);
        select(QStringLiteral("A12"));
        m_pane->dfSchlSuch->setText(search);
        QStringList sql;
        bool hourglass = false;
        db().setObserver([&](const QString& written, const QString&) {
            sql << written;
            hourglass = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        m_pane->pbSchlSuch_Click();
        QCOMPARE(sql, QStringList{"SELECT * FROM TBSchluessel " + where});
        QVERIFY(hourglass && !QApplication::overrideCursor());
        QCOMPARE(rows(), expected);
        QCOMPARE(m_pane->selectedKeyNumber(), QString());
        db().setObserver({});
    }

    // Edit opens the selected key, its number read back from the row whole (nothing selected: nothing), New a
    // blank one; both refill the list.
    void newAndEditOpenTheDialogThenRefill()
    {
        QStringList opened;
        DialogRunner::setHook([&](QDialog& dialog) {
            opened << static_cast<DlgSchluessel&>(dialog).SchlNr;
            m_db->exec(QStringLiteral("UPDATE TBSchluessel SET Funktion = 'changed' WHERE SchluesselNr = 'A12'"));
        });
        m_pane->pbSchlEdit_Click();
        select(QStringLiteral("A12"));
        m_pane->pbSchlEdit_Click();
        QVERIFY(rows().contains(QStringLiteral("A12\t\tchanged")));
        m_pane->pbSchlNeu_Click();
        addKey(*m_db, QStringLiteral("\uFEFFK1"), QString()); // a byte-order mark is part of the number
        m_pane->pbSchlSuch_Click();
        select(QStringLiteral("\uFEFFK1"));
        m_pane->pbSchlEdit_Click();
        QCOMPARE(opened, (QStringList{"A12", "", QStringLiteral("\uFEFFK1")}));
    }

    // Refused with 706 from both places while a copy is out; the main window refills its list either way.
    // Then the dialog deletes the key it was opened for, not the number in its field, with its returned
    // movements, and closes only then; the main window deletes the selected one.
    void deleteKey()
    {
        addMovement(*m_db, QStringLiteral("A12"), 0); // BewID 1
        addMovement(*m_db, QStringLiteral("GH200"), 1);
        select(QStringLiteral("A12"));
        m_pane->pbSchlDel_Click();
        QCOMPARE(m_messages->lastText(), "Dieser Schlüssel ist noch ausgegeben und kann daher nicht gelöscht werden");
        QCOMPARE(m_pane->selectedKeyNumber(), QString());
        DlgSchluessel dlg;
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        dlg.load(QStringLiteral("A12"));
        dlg.dfSchluesselNr->setText(QStringLiteral("GH200"));
        dlg.pbLoeschen_Click();
        QCOMPARE(m_messages->shown.size(), 2);
        QCOMPARE(accepted.count(), 0);

        m_db->exec(QStringLiteral("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1"));
        dlg.pbLoeschen_Click();
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(keys(QStringLiteral("A12")), 0);
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), 1);
        // The two deletes land together or not at all.
        select(QStringLiteral("GH200"));
        db().executeNative("CREATE TEMP TRIGGER refuse BEFORE DELETE ON TBBewegungen BEGIN SELECT RAISE(ABORT, 'no'); "
                           "END");
        QVERIFY_THROWS_EXCEPTION(SqlError, m_pane->pbSchlDel_Click());
        QCOMPARE(keys(QStringLiteral("GH200")), 1);
        db().executeNative("DROP TRIGGER refuse");
        m_pane->pbSchlDel_Click();
        QCOMPARE(rows(), (QStringList{"ABCDEFGH12\tO'Neil ", "ÄB12\t\tTor "}));
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), 0);
        QCOMPARE(m_messages->shown.size(), 2);
    }
    // The fast order (first eight characters as one integer) agrees with the plain comparison without
    // case: texts alike beyond eight characters, letters that are not ASCII early and late, one that
    // folds to ASCII (Kelvin sign), a surrogate pair, a text that is the beginning of another; a row
    // added later goes to its place.
    void keyListSortsWithoutCase()
    {
        QStringList texts =
            QStringLiteral("SCHLUESSEL2\tb|schluessel10\ta|SCHLUESSEL1\tz|Ärger\tx|Aerger\tx|Zoo\tÜbung|"
                           "Zoo\tubung|kA\tk|KM\tk|B|B\t|b\tx|éclair\t|Eclair\t|\U0001F511\tSchlüssel|"
                           "\u212AL\tKelvin")
                .split(QLatin1Char('|'));
        m_pane->lstSchluessel->setRows(texts);
        m_pane->lstSchluessel->addItem(QStringLiteral("a1\tKeller"));
        texts << QStringLiteral("a1\tKeller");
        std::stable_sort(texts.begin(), texts.end(),
                         [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        QStringList rows;
        for (int i = 0; i < m_pane->lstSchluessel->count(); ++i)
            rows << m_pane->lstSchluessel->item(i)->text();
        QCOMPARE(rows, texts);
        QVERIFY(m_pane->lstSchluessel->selectedItems().isEmpty());
    }
};

CLAVARO_TEST_MAIN(TestKeyPane)
#include "test_keypane.moc"

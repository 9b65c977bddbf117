// The key list in the main window, its buttons, and the key deletion from both places.
#include "core/SqlError.h"
#include "keys/DlgSchluessel.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "ui/DialogRunner.h"
#include "ui/FrmMain.h"

#include <QLineEdit>
#include <QSignalSpy>

class TestKeyList : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<FrmMain> m_main;

    QStringList rows() const
    {
        QStringList texts;
        for (int i = 0; i < m_main->lstSchluessel->count(); ++i)
            texts << m_main->lstSchluessel->item(i)->text();
        return texts;
    }
    void select(const QString& keyNumber)
    {
        m_main->lstSchluessel->setCurrentItem(
            m_main->lstSchluessel->findItems(keyNumber + QLatin1Char('\t'), Qt::MatchStartsWith).value(0));
    }
    int keys(const QString& nr) { return m_db->count(QStringLiteral("TBSchluessel"), "SchluesselNr = '" + nr + "'"); }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        // Key numbers of 3, 4 (one of them two bytes in UTF-8), 5 and 10 characters; a tab in a function.
        for (const char* key : {"A12|Haupt\teingang ", "ÄB12|Tor ", "GH200|Hof ", "ABCDEFGH12|O'Neil "})
            addKey(*m_db, QString::fromUtf8(key).section('|', 0, 0), QString::fromUtf8(key).section('|', 1));
        m_main = std::make_unique<FrmMain>();
        m_main->pbSchlSuch_Click();
    }
    void cleanup()
    {
        m_main.reset();
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
        m_main->dfSchlSuch->setText(search);
        QStringList sql;
        bool hourglass = false;
        db().setObserver([&](const QString& written, const QString&) {
            sql << written;
            hourglass = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        m_main->pbSchlSuch_Click();
        QCOMPARE(sql, QStringList{"SELECT * FROM TBSchluessel " + where});
        QVERIFY(hourglass && !QApplication::overrideCursor());
        QCOMPARE(rows(), expected);
        QCOMPARE(m_main->selectedKeyNumber(), QString());
        db().setObserver({});
    }

    // Edit opens the selected key, its number read back from the row (nothing selected: nothing), New a
    // blank one; both refill the list.
    void newAndEditOpenTheDialogThenRefill()
    {
        QStringList opened;
        DialogRunner::setHook([&](QDialog& dialog) {
            opened << static_cast<DlgSchluessel&>(dialog).SchlNr;
            m_db->exec(QStringLiteral("UPDATE TBSchluessel SET Funktion = 'changed' WHERE SchluesselNr = 'A12'"));
        });
        m_main->pbSchlEdit_Click();
        select(QStringLiteral("A12"));
        m_main->pbSchlEdit_Click();
        QVERIFY(rows().contains(QStringLiteral("A12\t\tchanged")));
        m_main->pbSchlNeu_Click();
        QCOMPARE(opened, (QStringList{"A12", ""}));
    }

    // Refused with 706 from both places while a copy is out; the main window refills its list either way.
    // Then the dialog deletes the key it was opened for, not the number in its field, with its returned
    // movements, and closes only then; the main window deletes the selected one.
    void deleteKey()
    {
        ScriptedMessages messages;
        addMovement(*m_db, QStringLiteral("A12"), 0); // BewID 1
        addMovement(*m_db, QStringLiteral("GH200"), 1);
        select(QStringLiteral("A12"));
        m_main->pbSchlDel_Click();
        QCOMPARE(messages.lastText(), "Dieser Schlüssel ist noch ausgegeben und kann daher nicht gelöscht werden");
        QCOMPARE(m_main->selectedKeyNumber(), QString());
        DlgSchluessel dlg;
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        dlg.load(QStringLiteral("A12"));
        dlg.dfSchluesselNr->setText(QStringLiteral("GH200"));
        dlg.pbLoeschen_Click();
        QCOMPARE(messages.shown.size(), 2);
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
        QVERIFY_THROWS_EXCEPTION(SqlError, m_main->pbSchlDel_Click());
        QCOMPARE(keys(QStringLiteral("GH200")), 1);
        db().executeNative("DROP TRIGGER refuse");
        m_main->pbSchlDel_Click();
        QCOMPARE(rows(), (QStringList{"ABCDEFGH12\tO'Neil ", "ÄB12\t\tTor "}));
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), 0);
        QCOMPARE(messages.shown.size(), 2);
    }
};

CLAVARO_TEST_MAIN(TestKeyList)
#include "test_keylist.moc"

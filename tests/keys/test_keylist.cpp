// The key list in the main window, its buttons, and the key deletion from both places.
#include "core/SqlError.h"
#include "keys/DlgSchluessel.h"
#include "keys/KeyList.h"
#include "keys/SchlDel.h"
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
        for (const char* key : {"A12|Haupteingang ", "9|Keller 1 ", "10|Büro ", "GH200|Hof ", "B3|O'Neil "})
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

    // The search statement; the refill under the hourglass leaves nothing selected.
    void fill_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("where");
        const QStringList all{"10\t\tBüro ", "9\t\tKeller 1 ", "A12\t\tHaupteingang ", "B3\t\tO'Neil ", "GH200\tHof "};
        QTest::newRow("blanks only") << "   " << all << "";
        QTest::newRow("a tab is searched for, not trimmed")
            << "\t" << QStringList{} << "WHERE SchluesselNr LIKE '*\t*' OR Funktion LIKE '*\t*'";
        QTest::newRow("number or function")
            << "1" << QStringList{all[0], all[1], all[2]} << "WHERE SchluesselNr LIKE '*1*' OR Funktion LIKE '*1*'";
        QTest::newRow("quote doubled") << "o'n" << QStringList{all[3]}
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

    // Key number, a tab, a second tab for numbers under five characters, the function; the key number
    // comes back from its line whatever the function holds.
    void lineFormat_data()
    {
        QTest::addColumn<QString>("keyNumber");
        QTest::addColumn<QString>("line");
        for (const QString nr : {"7", "ÄB12", "AB123", "ABCDEFGH12"}) // 1, 4 (one of them two bytes), 5, 10
            QTest::addRow("%d characters", int(nr.size())) << nr << nr + (nr.size() < 5 ? "\t\t" : "\t") + "Tor\t1 ";
    }
    void lineFormat()
    {
        QFETCH(QString, keyNumber);
        QFETCH(QString, line);
        addKey(*m_db, keyNumber, QStringLiteral("Tor\t1 "));
        const Utf8Rows read = KeyList::read(db(), keyNumber);
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.text(0), line);
        QCOMPARE(KeyList::keyNumberOf(read.text(0)), keyNumber);
    }

    // Edit opens the selected key (nothing selected: nothing), New a blank one; both refill the list.
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

    // Returned movements go with the key; an open copy keeps both. The main window refills its list
    // either way; the dialog deletes the key it was opened for, not the number in its field, and
    // closes only then.
    void deleteKey_data()
    {
        QTest::addColumn<bool>("fromDialog");
        QTest::addColumn<int>("lastStatus"); // 0: that copy is still out
        QTest::newRow("main window, all returned") << false << 1;
        QTest::newRow("main window, one copy out") << false << 0;
        QTest::newRow("dialog, all returned") << true << 1;
        QTest::newRow("dialog, one copy out") << true << 0;
    }
    void deleteKey()
    {
        QFETCH(bool, fromDialog);
        QFETCH(int, lastStatus);
        const bool deleted = lastStatus == 1;
        ScriptedMessages messages;
        addMovement(*m_db, QStringLiteral("A12"), 1);
        addMovement(*m_db, QStringLiteral("A12"), lastStatus);
        addMovement(*m_db, QStringLiteral("B3"), 1);
        if (fromDialog) {
            DlgSchluessel dlg;
            dlg.load(QStringLiteral("A12"));
            dlg.dfSchluesselNr->setText(QStringLiteral("GH200"));
            QSignalSpy accepted(&dlg, &QDialog::accepted);
            dlg.pbLoeschen_Click();
            QCOMPARE(accepted.count(), int(deleted));
            QCOMPARE(keys(QStringLiteral("GH200")), 1);
        } else {
            select(QStringLiteral("A12"));
            m_main->pbSchlDel_Click();
            QCOMPARE(rows().size(), deleted ? 4 : 5);
            QCOMPARE(m_main->selectedKeyNumber(), QString());
        }
        QCOMPARE(keys(QStringLiteral("A12")), int(!deleted));
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), deleted ? 1 : 3);
        QCOMPARE(messages.lastText(),
                 deleted ? QString() : "Dieser Schlüssel ist noch ausgegeben und kann daher nicht gelöscht werden");
    }

    // The two deletes land together or not at all.
    void failedSecondDeleteKeepsTheKey()
    {
        addMovement(*m_db, QStringLiteral("A12"), 1);
        db().executeNative("CREATE TEMP TRIGGER refuse BEFORE DELETE ON TBBewegungen BEGIN SELECT RAISE(ABORT, 'no'); "
                           "END");
        QVERIFY_THROWS_EXCEPTION(SqlError, SchlDel(QStringLiteral("A12")));
        QCOMPARE(keys(QStringLiteral("A12")), 1);
    }
};

CLAVARO_TEST_MAIN(TestKeyList)
#include "test_keylist.moc"

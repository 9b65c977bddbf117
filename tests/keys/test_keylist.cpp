// The key list in the main window, its buttons, and the key deletion from both places.
#include "core/AppState.h"
#include "core/Sql.h"
#include "core/SqlError.h"
#include "keys/DlgSchluessel.h"
#include "keys/SchlDel.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <sqlite3.h>

namespace {
const QString kStillOut = QStringLiteral("Dieser Schlüssel ist noch ausgegeben und kann daher nicht gelöscht werden");

void addKey(TestDatabase& t, const QString& nr, const QString& function)
{
    t.exec(QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) "
                          "VALUES('%1', '%2', 3, False)")
               .arg(nr, Sql::sqlText(function)));
}

void addMovement(TestDatabase& t, const QString& nr, int status)
{
    t.exec(QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                          "VALUES(1, '%1', ' ', #12/5/26#, %2, null)")
               .arg(nr)
               .arg(status));
}

QStringList rows(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void select(QListWidget* list, const QString& keyNumber)
{
    const auto found = list->findItems(keyNumber + QLatin1Char('\t'), Qt::MatchStartsWith);
    QCOMPARE(found.size(), 1);
    list->setCurrentItem(found.first());
}
} // namespace

class TestKeyList : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<FrmMain> m_main;
    QStringList m_sql;
    bool m_hourglass = false;

    void record()
    {
        m_sql.clear();
        db().setObserver([this](const QString& written, const QString&) {
            m_sql << written;
            m_hourglass = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
    }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        addKey(*m_db, QStringLiteral("A12"), QStringLiteral("Haupteingang "));
        addKey(*m_db, QStringLiteral("9"), QStringLiteral("Keller 1 "));
        addKey(*m_db, QStringLiteral("10"), QStringLiteral("Büro "));
        addKey(*m_db, QStringLiteral("GH200"), QStringLiteral("Hof "));
        addKey(*m_db, QStringLiteral("B3"), QStringLiteral("O'Neil "));
        m_main = std::make_unique<FrmMain>();
    }
    void cleanup()
    {
        m_main.reset();
        m_db.reset();
        DlgSchluessel::setRunner({});
    }

    void fill_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QStringList>("expected");
        const QString all = QStringLiteral("SELECT * FROM TBSchluessel ");
        const QStringList everything{"10\t\tBüro ", "9\t\tKeller 1 ", "A12\t\tHaupteingang ", "B3\t\tO'Neil ",
                                     "GH200\tHof "};
        QTest::newRow("empty") << "" << all << everything;
        QTest::newRow("blanks only") << "   " << all << everything;
        QTest::newRow("number or function") << "1" << all + "WHERE SchluesselNr LIKE '*1*' OR Funktion LIKE '*1*'"
                                            << QStringList{"10\t\tBüro ", "9\t\tKeller 1 ", "A12\t\tHaupteingang "};
        QTest::newRow("quote doubled") << "o'n" << all + "WHERE SchluesselNr LIKE '*o''n*' OR Funktion LIKE '*o''n*'"
                                       << QStringList{"B3\t\tO'Neil "};
        QTest::newRow("typed blank kept")
            << "er 1" << all + "WHERE SchluesselNr LIKE '*er 1*' OR Funktion LIKE '*er 1*'"
            << QStringList{"9\t\tKeller 1 "};
    }
    void fill()
    {
        QFETCH(QString, search);
        QFETCH(QString, statement);
        QFETCH(QStringList, expected);
        m_main->pbSchlSuch_Click();
        select(m_main->lstSchluessel, QStringLiteral("A12"));
        m_main->dfSchlSuch->setText(search);
        record();
        m_main->pbSchlSuch_Click();
        QCOMPARE(m_sql, QStringList{statement});
        QVERIFY(m_hourglass);
        QCOMPARE(rows(m_main->lstSchluessel), expected);
        QVERIFY(m_main->lstSchluessel->selectedItems().isEmpty());
        QCOMPARE(m_main->selectedKeyNumber(), QString());
        QVERIFY(!QApplication::overrideCursor());
        select(m_main->lstSchluessel, expected.first().section(QLatin1Char('\t'), 0, 0));
        QCOMPARE(m_main->selectedKeyNumber(), expected.first().section(QLatin1Char('\t'), 0, 0));
    }

    void buttonsOpenTheDialogThenRefill()
    {
        QStringList opened;
        DlgSchluessel::setRunner([&](QWidget*, const QString& schlNr) {
            opened << schlNr;
            m_db->exec(QStringLiteral("UPDATE TBSchluessel SET Funktion = 'changed' WHERE SchluesselNr = 'A12'"));
        });
        m_main->pbSchlSuch_Click();
        m_main->pbSchlEdit_Click(); // nothing selected: nothing opens
        QVERIFY(opened.isEmpty());
        select(m_main->lstSchluessel, QStringLiteral("A12"));
        m_main->pbSchlEdit_Click();
        m_main->pbSchlNeu_Click();
        QCOMPARE(opened, (QStringList{"A12", ""}));
        QVERIFY(rows(m_main->lstSchluessel).contains(QStringLiteral("A12\t\tchanged")));
    }

    void deleteFromMainWindow_data()
    {
        QTest::addColumn<QList<int>>("movements");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("never handed out") << QList<int>{} << true;
        QTest::newRow("all returned") << QList<int>{1, 1} << true;
        QTest::newRow("one copy out") << QList<int>{1, 0} << false;
    }
    void deleteFromMainWindow()
    {
        QFETCH(QList<int>, movements);
        QFETCH(bool, deleted);
        ScriptedMessages messages;
        for (int status : movements)
            addMovement(*m_db, QStringLiteral("A12"), status);
        addMovement(*m_db, QStringLiteral("B3"), 1);
        m_main->pbSchlSuch_Click();
        select(m_main->lstSchluessel, QStringLiteral("A12"));
        m_main->pbSchlDel_Click();
        QCOMPARE(m_db->count(QStringLiteral("TBSchluessel"), QStringLiteral("SchluesselNr = 'A12'")), deleted ? 0 : 1);
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen"), QStringLiteral("SchluesselNr = 'A12'")),
                 deleted ? 0 : int(movements.size()));
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), (deleted ? 0 : int(movements.size())) + 1);
        QCOMPARE(messages.shown.size(), deleted ? 0 : 1);
        if (!deleted) {
            QCOMPARE(messages.shown[0].text, kStillOut);
            QCOMPARE(messages.shown[0].icon, Messages::Icon::Exclamation);
        }
        QCOMPARE(rows(m_main->lstSchluessel).size(), deleted ? 4 : 5); // refilled either way
        QVERIFY(m_main->lstSchluessel->selectedItems().isEmpty());
    }

    void deleteWithoutSelectionDoesNothing()
    {
        ScriptedMessages messages;
        m_main->pbSchlSuch_Click();
        record();
        m_main->pbSchlDel_Click();
        QVERIFY(m_sql.isEmpty());
        QVERIFY(messages.shown.isEmpty());
    }

    // The dialog deletes the key it was opened for, whatever the number field says now.
    void deleteFromDialog()
    {
        ScriptedMessages messages;
        addMovement(*m_db, QStringLiteral("B3"), 0);
        DlgSchluessel refused;
        refused.load(QStringLiteral("B3"));
        QSignalSpy refusedAccepted(&refused, &QDialog::accepted);
        refused.pbLoeschen_Click();
        QCOMPARE(refusedAccepted.count(), 0);
        QCOMPARE(messages.lastText(), kStillOut);

        DlgSchluessel dlg;
        dlg.load(QStringLiteral("A12"));
        dlg.dfSchluesselNr->setText(QStringLiteral("B3"));
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        dlg.pbLoeschen_Click();
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("TBSchluessel"), QStringLiteral("SchluesselNr = 'A12'")), 0);
        QCOMPARE(m_db->count(QStringLiteral("TBSchluessel"), QStringLiteral("SchluesselNr = 'B3'")), 1);
    }

    void failedSecondDeleteKeepsTheKey()
    {
        addMovement(*m_db, QStringLiteral("A12"), 1);
        QCOMPARE(sqlite3_exec(db().handle(),
                              "CREATE TEMP TRIGGER refuse BEFORE DELETE ON TBBewegungen "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QVERIFY_THROWS_EXCEPTION(SqlError, SchlDel(QStringLiteral("A12")));
        QCOMPARE(m_db->count(QStringLiteral("TBSchluessel"), QStringLiteral("SchluesselNr = 'A12'")), 1);
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), 1);
    }
};

CLAVARO_TEST_MAIN(TestKeyList)
#include "test_keylist.moc"

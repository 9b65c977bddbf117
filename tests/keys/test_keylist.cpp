// The key list in the main window, its buttons, and the key deletion from both places.
#include "KeyData.h"
#include "core/SqlError.h"
#include "keys/DlgSchluessel.h"
#include "keys/SchlDel.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"
#include "ui/TabListWidget.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <sqlite3.h>

namespace {
QStringList rows(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void select(QListWidget* list, const QString& keyNumber)
{
    list->setCurrentItem(list->findItems(keyNumber + QLatin1Char('\t'), Qt::MatchStartsWith).value(0));
}
} // namespace

class TestKeyList : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<FrmMain> m_main;
    QStringList m_sql;

    int keys(const QString& nr) { return m_db->count(QStringLiteral("TBSchluessel"), "SchluesselNr = '" + nr + "'"); }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        for (const auto& [nr, function] : {std::pair{"A12", "Haupteingang "},
                                           {"9", "Keller 1 "},
                                           {"10", "Büro "},
                                           {"GH200", "Hof "},
                                           {"B3", "O'Neil "}})
            addKey(*m_db, QString::fromUtf8(nr), QString::fromUtf8(function));
        m_main = std::make_unique<FrmMain>();
        m_main->pbSchlSuch_Click();
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
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("expected");
        const QStringList all{"10\t\tBüro ", "9\t\tKeller 1 ", "A12\t\tHaupteingang ", "B3\t\tO'Neil ", "GH200\tHof "};
        QTest::newRow("empty") << ""
                               << "" << all;
        QTest::newRow("blanks only") << "   "
                                     << "" << all;
        QTest::newRow("number or function")
            << "1"
            << "WHERE SchluesselNr LIKE '*1*' OR Funktion LIKE '*1*'" << QStringList{all[0], all[1], all[2]};
        QTest::newRow("quote doubled") << "o'n"
                                       << "WHERE SchluesselNr LIKE '*o''n*' OR Funktion LIKE '*o''n*'"
                                       << QStringList{all[3]};
        QTest::newRow("blank kept") << "er 1"
                                    << "WHERE SchluesselNr LIKE '*er 1*' OR Funktion LIKE '*er 1*'"
                                    << QStringList{all[1]};
    }
    void fill()
    {
        QFETCH(QString, search);
        QFETCH(QString, where);
        QFETCH(QStringList, expected);
        select(m_main->lstSchluessel, QStringLiteral("A12"));
        m_main->dfSchlSuch->setText(search);
        bool hourglass = false;
        db().setObserver([&](const QString& written, const QString&) {
            m_sql << written;
            hourglass = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        m_main->pbSchlSuch_Click();
        QCOMPARE(m_sql, QStringList{"SELECT * FROM TBSchluessel " + where});
        QVERIFY(hourglass && !QApplication::overrideCursor());
        QCOMPARE(rows(m_main->lstSchluessel), expected);
        QCOMPARE(m_main->selectedKeyNumber(), QString());
        const QString first = expected.first().section(QLatin1Char('\t'), 0, 0);
        select(m_main->lstSchluessel, first);
        QCOMPARE(m_main->selectedKeyNumber(), first);
        m_sql.clear();
    }

    void newAndEditOpenTheDialogThenRefill()
    {
        QStringList opened;
        DlgSchluessel::setRunner([&](QWidget*, const QString& schlNr) {
            opened << schlNr;
            m_db->exec(QStringLiteral("UPDATE TBSchluessel SET Funktion = 'changed' WHERE SchluesselNr = 'A12'"));
        });
        m_main->pbSchlEdit_Click(); // nothing selected
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
        select(m_main->lstSchluessel, QStringLiteral("A12"));
        m_main->pbSchlDel_Click();
        QCOMPARE(keys(QStringLiteral("A12")), deleted ? 0 : 1);
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), (deleted ? 0 : int(movements.size())) + 1);
        QCOMPARE(messages.shown.size(), deleted ? 0 : 1);
        if (!deleted)
            QCOMPARE(messages.lastText(),
                     QStringLiteral("Dieser Schlüssel ist noch ausgegeben und kann daher nicht gelöscht werden"));
        QCOMPARE(m_main->lstSchluessel->count(), deleted ? 4 : 5); // refilled either way
        QCOMPARE(m_main->selectedKeyNumber(), QString());

        recordStatements(m_sql); // nothing selected now: nothing happens
        m_main->pbSchlDel_Click();
        QVERIFY(m_sql.isEmpty());
    }

    // The dialog deletes the key it was opened for, not the number in its field, and closes only then.
    void deleteFromDialog()
    {
        ScriptedMessages messages;
        addMovement(*m_db, QStringLiteral("B3"), 0);
        for (const QString& opened : {QStringLiteral("B3"), QStringLiteral("A12")}) {
            DlgSchluessel dlg;
            dlg.load(opened);
            dlg.dfSchluesselNr->setText(QStringLiteral("GH200"));
            QSignalSpy accepted(&dlg, &QDialog::accepted);
            dlg.pbLoeschen_Click();
            QCOMPARE(accepted.count(), opened == QLatin1String("A12") ? 1 : 0);
        }
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(keys(QStringLiteral("B3")) + keys(QStringLiteral("GH200")), 2);
        QCOMPARE(keys(QStringLiteral("A12")), 0);
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
        QCOMPARE(keys(QStringLiteral("A12")), 1);
    }
};

CLAVARO_TEST_MAIN(TestKeyList)
#include "test_keylist.moc"

// The key list in the main window, its buttons, and the key deletion from both places.
#include "KeyData.h"
#include "core/SqlError.h"
#include "keys/DlgSchluessel.h"
#include "keys/KeyList.h"
#include "keys/SchlDel.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"
#include "ui/DialogRunner.h"
#include "ui/FrmMain.h"

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

    int keys(const QString& nr) { return m_db->count(QStringLiteral("TBSchluessel"), "SchluesselNr = '" + nr + "'"); }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        const std::pair<const char*, const char*> fixture[] = {
            {"A12", "Haupteingang "}, {"9", "Keller 1 "}, {"10", "Büro "}, {"GH200", "Hof "}, {"B3", "O'Neil "}};
        for (const auto& [nr, function] : fixture)
            addKey(*m_db, QString::fromUtf8(nr), QString::fromUtf8(function));
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
        select(m_main->lstSchluessel, QStringLiteral("A12"));
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
        QCOMPARE(rows(m_main->lstSchluessel), expected);
        QCOMPARE(m_main->selectedKeyNumber(), QString());
        db().setObserver({});
    }

    // Key number, a tab, a second tab for numbers under five characters, the function; the key number
    // comes back from its line whatever the function holds.
    void lineFormat_data()
    {
        QTest::addColumn<QString>("keyNumber");
        QTest::addColumn<QString>("line");
        QTest::newRow("1 character") << "7"
                                     << "7\t\tTor\t1 ";
        QTest::newRow("4 characters, one of them two bytes") << "ÄB12"
                                                             << "ÄB12\t\tTor\t1 ";
        QTest::newRow("5 characters") << "AB123"
                                      << "AB123\tTor\t1 ";
        QTest::newRow("10 characters") << "ABCDEFGH12"
                                       << "ABCDEFGH12\tTor\t1 ";
    }
    void lineFormat()
    {
        QFETCH(QString, keyNumber);
        QFETCH(QString, line);
        addKey(*m_db, keyNumber, QStringLiteral("Tor\t1 "));
        const Utf8Rows rows = KeyList::read(db(), keyNumber);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.text(0), line);
        QCOMPARE(KeyList::keyNumberOf(rows.text(0)), keyNumber);
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
        select(m_main->lstSchluessel, QStringLiteral("A12"));
        m_main->pbSchlEdit_Click();
        QVERIFY(rows(m_main->lstSchluessel).contains(QStringLiteral("A12\t\tchanged")));
        m_main->pbSchlNeu_Click();
        QCOMPARE(opened, (QStringList{"A12", ""}));
    }

    // Returned movements go with the key; an open copy keeps both. The main window refills its list
    // either way; the dialog deletes the key it was opened for, not the number in its field, and
    // closes only then.
    void deleteKey_data()
    {
        QTest::addColumn<bool>("fromDialog");
        QTest::addColumn<QList<int>>("movements");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("main window, all returned") << false << QList<int>{1, 1} << true;
        QTest::newRow("main window, one copy out") << false << QList<int>{1, 0} << false;
        QTest::newRow("dialog, all returned") << true << QList<int>{1, 1} << true;
        QTest::newRow("dialog, one copy out") << true << QList<int>{1, 0} << false;
    }
    void deleteKey()
    {
        QFETCH(bool, fromDialog);
        QFETCH(QList<int>, movements);
        QFETCH(bool, deleted);
        ScriptedMessages messages;
        for (int status : movements)
            addMovement(*m_db, QStringLiteral("A12"), status);
        addMovement(*m_db, QStringLiteral("B3"), 1);
        if (fromDialog) {
            DlgSchluessel dlg;
            dlg.load(QStringLiteral("A12"));
            dlg.dfSchluesselNr->setText(QStringLiteral("GH200"));
            QSignalSpy accepted(&dlg, &QDialog::accepted);
            dlg.pbLoeschen_Click();
            QCOMPARE(accepted.count(), deleted ? 1 : 0);
            QCOMPARE(keys(QStringLiteral("GH200")), 1);
        } else {
            select(m_main->lstSchluessel, QStringLiteral("A12"));
            m_main->pbSchlDel_Click();
            QCOMPARE(m_main->lstSchluessel->count(), deleted ? 4 : 5);
            QCOMPARE(m_main->selectedKeyNumber(), QString());
        }
        QCOMPARE(keys(QStringLiteral("A12")), deleted ? 0 : 1);
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), deleted ? 1 : 3);
        QCOMPARE(messages.lastText(),
                 deleted ? QString()
                         : QStringLiteral("Dieser Schlüssel ist noch ausgegeben und kann daher nicht gelöscht werden"));
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

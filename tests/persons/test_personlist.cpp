#include "core/AppState.h"
#include "persons/DlgPerson.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <memory>
#include <sqlite3.h>

class TestPersonList : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<FrmMain> m_main;

    void add(const QString& nachname, const QString& vorname, const QString& persNr, bool retired = false)
    {
        m_db->exec(QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('%1', '%2', "
                                  "'%3', %4)")
                       .arg(nachname, vorname, persNr, retired ? QStringLiteral("True") : QStringLiteral("False")));
    }
    void addFixture()
    {
        add("Meier", "Hans ", "4711 ");
        add("Abel", "Zoe ", "A-12 ");
        add("Abel", "Anna ", " ");
        add("Xaver 47", " ", "99 ");
        add("Alt", "Otto ", "4712 ", true);
        add("Kühn", "Jörg ", "K 7 ");
        add("O''Neil", "Sean ", " ");
    }
    // The lines without their trailing fill, in list order.
    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < m_main->lstPerson->count(); ++i) {
            QString line = m_main->lstPerson->item(i)->text();
            while (line.endsWith(' '))
                line.chop(1);
            out.append(line);
        }
        return out;
    }
    void search(const QString& text)
    {
        m_main->dfPersSuch->setText(text);
        m_main->pbPersSuch_Click();
    }
    void select(const QString& line) { m_main->lstPerson->setCurrentRow(int(lines().indexOf(line))); }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        m_main = std::make_unique<FrmMain>();
    }
    void cleanup()
    {
        DlgPerson::setRunner({});
        m_main.reset();
        m_messages.reset();
        m_db.reset();
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QStringList all{"Abel Anna", "Abel Zoe", "Kühn Jörg", "Meier Hans", "O'Neil Sean", "Xaver 47"};
        QTest::newRow("empty lists all not retired, sorted") << "" << all;
        QTest::newRow("only blanks lists all") << "   " << all;
        QTest::newRow("lower case finds mixed case") << "mei" << QStringList{"Meier Hans"};
        QTest::newRow("umlaut in other case") << "KÜH" << QStringList{"Kühn Jörg"};
        QTest::newRow("digits: number or family name") << "47" << QStringList{"Meier Hans", "Xaver 47"};
        QTest::newRow("leading blank is kept") << " 47" << QStringList{"Xaver 47"};
        QTest::newRow("given name is not searched") << "Zoe" << QStringList{};
        QTest::newRow("retired never listed") << "Alt" << QStringList{};
        QTest::newRow("typed wildcard acts") << "M?ier" << QStringList{"Meier Hans"};
        QTest::newRow("quote searched as typed") << "o'n" << QStringList{"O'Neil Sean"};
    }
    void search()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        addFixture();
        search(text);
        QCOMPARE(lines(), expected);
        QCOMPARE(m_main->persListe.size(), expected.size() + 1);
        QCOMPARE(m_main->persListe.last().Name, QString());
    }

    void statementText()
    {
        QStringList written;
        db().setObserver([&](const QString& sql, const QString&) { written.append(sql); });
        search(" O'Neil ");
        QCOMPARE(written, QStringList{"SELECT * FROM TBPersonen WHERE NOT Storniert AND (Nachname LIKE '* O''Neil *' "
                                      "OR PersNr LIKE '* O''Neil *') ORDER BY Nachname ASC, Vorname ASC"});
    }

    void lineOfFiftyCharacters_data()
    {
        QTest::addColumn<QString>("nachname");
        QTest::addColumn<QString>("vorname"); // as stored
        QTest::addColumn<QString>("line");
        QTest::newRow("filled with blanks") << "Meier"
                                            << "Hans " << QString("Meier Hans").leftJustified(50);
        QTest::newRow("no given name") << "Meier"
                                       << " " << QString("Meier").leftJustified(50);
        QTest::newRow("cut after 50") << QString(45, 'N') << "Hansjörg " << QString(45, 'N') + " Hans";
        QTest::newRow("family name of 50") << QString(50, 'N') << "Hans " << QString(50, 'N');
    }
    void lineOfFiftyCharacters()
    {
        QFETCH(QString, nachname);
        QFETCH(QString, vorname);
        QFETCH(QString, line);
        add(nachname, vorname, " ");
        search("");
        QCOMPARE(m_main->lstPerson->count(), 1);
        QCOMPARE(m_main->lstPerson->item(0)->text(), line);
        QCOMPARE(m_main->persListe.first().Name, line);
        QCOMPARE(m_main->persListe.first().PersID, m_db->scalar("SELECT PersID FROM TBPersonen").toInt());
    }

    // More lines than a 16-bit line number holds, still in order and beside the right person.
    void longList()
    {
        const int persons = 33000;
        QCOMPARE(sqlite3_exec(db().handle(),
                              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
                              "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) "
                              "SELECT printf('P%05d', i), ' ', printf('%d ', i), 0 FROM n",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QElapsedTimer timer;
        timer.start();
        search("");
        qInfo("refill of %d persons: %lld ms", persons, timer.elapsed());
        QCOMPARE(m_main->lstPerson->count(), persons);
        QCOMPARE(m_main->persListe.size(), persons + 1);
        const int last = persons - 1;
        QCOMPARE(m_main->lstPerson->item(last)->text(), QStringLiteral("P33000").leftJustified(50));
        QCOMPARE(m_main->persListe.at(last).PersID,
                 m_db->scalar("SELECT PersID FROM TBPersonen WHERE Nachname = 'P33000'").toInt());
        m_main->lstPerson->setCurrentRow(last);
        m_main->pbPersDel_Click();
        QCOMPARE(m_main->lstPerson->count(), persons - 1);
        QCOMPARE(m_db->scalar("SELECT Storniert FROM TBPersonen WHERE Nachname = 'P33000'").toBool(), true);
    }

    void retireSelected_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("holdsKey");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("nothing selected") << "" << false << QStringList{"Abel Anna", "Meier Hans"};
        QTest::newRow("retired at once") << "Meier Hans" << false << QStringList{"Abel Anna"};
        QTest::newRow("holds a key") << "Meier Hans" << true << QStringList{"Abel Anna", "Meier Hans"};
    }
    void retireSelected()
    {
        QFETCH(QString, selected);
        QFETCH(bool, holdsKey);
        QFETCH(QStringList, after);
        add("Meier", "Hans ", " ");
        add("Abel", "Anna ", " ");
        if (holdsKey) {
            m_db->exec(
                "INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('A1', 'Tor ', 1, False)");
            m_db->exec("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                       "SELECT PersID, 'A1', ' ', #12/5/26#, 0, null FROM TBPersonen WHERE Nachname = 'Meier'");
        }
        search("");
        if (!selected.isEmpty())
            select(selected);
        m_main->pbPersDel_Click();
        QCOMPARE(lines(), after);
        QCOMPARE(m_messages->shown.size(), holdsKey ? 1 : 0);
        QVERIFY(m_main->lstPerson->selectedItems().isEmpty());
        QCOMPARE(m_main->lstPerson->currentRow(), -1);
    }

    // New and edit open the dialog (here without a modal loop) and refill the list whatever it did.
    void dialogFromMainWindow_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("action"); // what the user does in the dialog
        QTest::addColumn<QStringList>("after");
        QTest::newRow("new, OK") << "new"
                                 << ""
                                 << "ok" << QStringList{"Meier Hans", "Neumann Nina", "Zander Zoe"};
        QTest::newRow("new, cancel") << "new"
                                     << ""
                                     << "cancel" << QStringList{"Meier Hans", "Zander Zoe"};
        QTest::newRow("edit without selection opens nothing") << "edit"
                                                              << ""
                                                              << "" << QStringList{"Meier Hans"};
        QTest::newRow("edit selected, OK") << "edit"
                                           << "Meier Hans"
                                           << "ok" << QStringList{"Neumann Nina", "Zander Zoe"};
        QTest::newRow("edit selected, retire") << "edit"
                                               << "Meier Hans"
                                               << "retire" << QStringList{"Zander Zoe"};
    }
    void dialogFromMainWindow()
    {
        QFETCH(QString, button);
        QFETCH(QString, selected);
        QFETCH(QString, action);
        QFETCH(QStringList, after);
        add("Meier", "Hans ", "4711 ");
        search("");
        add("Zander", "Zoe ", " "); // behind the list's back: shows after the refill
        if (!selected.isEmpty())
            select(selected);

        QStringList opened;
        DlgPerson::setRunner([&](DlgPerson& dialog) {
            opened.append(dialog.dfNachname->text() + '|' + dialog.dfVorname->text() + '|' + dialog.dfPersNr->text());
            dialog.dfNachname->setText("Neumann");
            dialog.dfVorname->setText("Nina");
            if (action == "ok")
                dialog.pbOK->click();
            else if (action == "cancel")
                dialog.pbCancel->click();
            else if (action == "retire")
                dialog.pbLoeschen->click();
        });
        if (button == "new")
            m_main->pbPersNeu_Click();
        else
            m_main->pbPersEdit_Click();

        if (action.isEmpty())
            QVERIFY(opened.isEmpty());
        else
            QCOMPARE(opened, QStringList{selected.isEmpty() ? "||" : "Meier|Hans|4711"});
        QCOMPARE(lines(), action.isEmpty() ? QStringList{"Meier Hans"} : after);
        QVERIFY(m_main->lstPerson->selectedItems().isEmpty());
    }
};

CLAVARO_TEST_MAIN(TestPersonList)
#include "test_personlist.moc"

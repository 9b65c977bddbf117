// The person pane on its own: search, line text, long lists, the New, Edit and Delete buttons.
#include "persons/DlgPerson.h"
#include "persons/PersonPane.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "widgets/DialogRunner.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

class TestPersonPane : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<PersonPane> m_pane;
    QStringList m_sql;

    // The list's lines without their fill.
    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < m_pane->lstPerson->count(); ++i)
            out << m_pane->lstPerson->item(i)->text().trimmed();
        return out;
    }
    QStringList search(const QString& text)
    {
        m_pane->dfPersSuch->setText(text);
        m_pane->pbPersSuch_Click();
        return lines();
    }
    static QStringList fields(const DlgPerson& dialog)
    {
        return {dialog.dfNachname->text(), dialog.dfVorname->text(), dialog.dfPersNr->text()};
    }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        m_pane = std::make_unique<PersonPane>();
    }
    void cleanup()
    {
        DialogRunner::setHook({});
        m_pane.reset();
        m_messages.reset();
        m_db.reset();
    }

    // Those not retired, by family and given name; a line is family name, a blank and the given name, cut
    // after 50 characters. The search text goes in as typed (blanks kept, quotes doubled, a tab searched for)
    // and finds part of the family name or the number.
    void list()
    {
        addPerson(*m_db, "Meier", "Hans", "4711");
        addPerson(*m_db, "Alt", "Otto", "4712", true);
        addPerson(*m_db, QString(45, u'N'), "Hansjörg");
        recordStatements(m_sql);
        QCOMPARE(search("   "), (QStringList{"Meier Hans", QString(45, u'N') + " Hans"}));
        QCOMPARE(search("47"), QStringList{"Meier Hans"});
        search(" O'Neil ");
        search("\t");
        const QString where = " AND (Nachname LIKE '*%1*' OR PersNr LIKE '*%1*')";
        const QString select = "SELECT * FROM TBPersonen WHERE NOT Storniert%1 ORDER BY Nachname ASC, Vorname ASC";
        QCOMPARE(m_sql, (QStringList{select.arg(""), select.arg(where.arg("47")), select.arg(where.arg(" O''Neil ")),
                                     select.arg(where.arg("\t"))}));
    }

    // More lines than a 16-bit line number holds: the last is filled to 50 and still belongs to its person
    // (the list's closing empty entry makes it selectable). Delete refills whatever the result.
    void longList()
    {
        db().executeNative("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
                           "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) "
                           "SELECT printf('P%05d', i), ' ', printf('%d ', i), 0 FROM n");
        QCOMPARE(search("").size(), 33000);
        QCOMPARE(m_pane->lstPerson->item(32999)->text(), QStringLiteral("P33000").leftJustified(50));
        addMovement(*m_db, "K1", 0, 1); // P00001 holds a key: refused, and refilled all the same
        m_pane->lstPerson->setCurrentRow(0);
        m_pane->pbPersDel_Click();
        QVERIFY(m_pane->lstPerson->selectedItems().isEmpty());
        QCOMPARE(m_messages->shown.size(), 1);
        m_pane->lstPerson->setCurrentRow(32999);
        m_pane->pbPersDel_Click();
        QCOMPARE(m_db->scalar("SELECT Nachname FROM TBPersonen WHERE Storniert").toString(), QStringLiteral("P33000"));
        QCOMPARE(m_pane->lstPerson->count(), 32999);
    }

    // Edit and Delete act on the selected line (Delete: see longList) and do nothing without one; New and
    // Edit refill the list afterwards, whatever the dialog did, with no line selected.
    void buttons()
    {
        addPerson(*m_db, "Meier", "Hans", "4711");
        search("");
        addPerson(*m_db, "Zander", "Zoe"); // behind the list's back: shows only after a refill
        QStringList opened;
        DialogRunner::setHook([&](QDialog& shown) {
            auto& dialog = static_cast<DlgPerson&>(shown);
            opened << fields(dialog).join('|');
            dialog.dfNachname->setText("Neumann");
            (opened.size() == 1 ? dialog.pbCancel : dialog.pbOK)->click();
        });
        m_pane->pbPersEdit->click();
        m_pane->pbPersDel->click();
        QCOMPARE(lines(), QStringList{"Meier Hans"});
        m_pane->pbPersNeu->click();
        QCOMPARE(lines(), (QStringList{"Meier Hans", "Zander Zoe"}));
        m_pane->lstPerson->setCurrentRow(0);
        m_pane->pbPersEdit->click();
        QCOMPARE(opened, (QStringList{"||", "Meier|Hans|4711"}));
        QCOMPARE(lines(), (QStringList{"Neumann Hans", "Zander Zoe"}));
        QVERIFY(m_pane->lstPerson->selectedItems().isEmpty());
        QVERIFY(m_messages->shown.isEmpty());
    }
};

CLAVARO_TEST_MAIN(TestPersonPane)
#include "test_personpane.moc"

// The person dialog and the person pane: the dialog's statements, the duplicate and name checks, refusals,
// round trips, retiring; the pane's search, line text, long lists, the New, Edit and Delete buttons.
#include "persons/DlgPerson.h"
#include "persons/PersonPane.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "widgets/DialogRunner.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
const QString kDuplicateQuestion = QStringLiteral(
    "Eine Person mit diesem Namen oder dieser Personalnummer ist bereits vorhanden.\r\nTrotzdem speichern?");
// Every click runs guarded: a refused statement is shown with the engine's number and text.
const QString kRefused = QStringLiteral("Die Datenbank hat die Aktion abgelehnt:\r\n19 (no)");
} // namespace

class TestPersons : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<DlgPerson> m_dlg;
    std::unique_ptr<PersonPane> m_pane;
    QStringList m_sql;

    // Shows the dialog for a person (-1: a new one) and types family name, given name and number.
    void open(qint32 id, const QStringList& typed = {})
    {
        m_dlg = std::make_unique<DlgPerson>();
        m_dlg->load(id);
        m_dlg->show();
        for (int i = 0; i < typed.size(); ++i)
            QList<QLineEdit*>{m_dlg->dfNachname, m_dlg->dfVorname, m_dlg->dfPersNr}.at(i)->setText(typed.at(i));
    }
    static QStringList fields(const DlgPerson& dialog)
    {
        return {dialog.dfNachname->text(), dialog.dfVorname->text(), dialog.dfPersNr->text()};
    }
    // The pane's lines without their fill.
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
        m_dlg.reset();
        m_messages.reset();
        m_db.reset();
    }

    // Before a new person is stored the family name must be there, and a namesake or a holder of the number
    // among those not retired asks first; editing asks nothing. A refusal keeps the dialog open with what was
    // typed and stores nothing.
    void ok_data()
    {
        QTest::addColumn<qint32>("id"); // -1: a new person; 2: Schulz Eva
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message"); // empty: none shown
        QTest::addColumn<bool>("saved");      // also the answer to the question
        QTest::addColumn<QStringList>("statements");
        const auto row = [](const char* name, qint32 id, const QStringList& typed, const QString& message, bool saved,
                            const QStringList& statements = {}) {
            QTest::newRow(name) << id << typed << message << saved << statements;
        };
        row("blank number: name check only", -1, {"Neu", "", "  "}, "", true,
            {"SELECT PersID FROM TBPersonen WHERE NOT Storniert AND (Nachname = 'Neu')",
             "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Neu', ' ', '   ', False)"});
        row("edit to a namesake asks nothing", 2, {"Meier", "Eva", "4711"}, "", true,
            {"UPDATE TBPersonen SET Nachname = 'Meier', Vorname = 'Eva ', PersNr = '4711 ' WHERE PersID = 2"});
        row("family name of blanks", -1, {"   ", "Egon", "1"}, "Der Nachname muß angegeben werden!", false);
        row("namesake in other case, Yes", -1, {"MEIER", "Egon", ""}, kDuplicateQuestion, true);
        row("number stored with its blank, No", -1, {"Neu", "Egon", "4711"}, kDuplicateQuestion, false);
        row("engine refuses the insert", -1, {"Kaputt", "Egon", ""}, kRefused, false);
    }
    void ok()
    {
        QFETCH(qint32, id);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(bool, saved);
        QFETCH(QStringList, statements);
        addPerson(*m_db, "Meier", "Hans", "4711");
        addPerson(*m_db, "Schulz", "Eva");
        db().executeNative("CREATE TEMP TRIGGER refuse BEFORE INSERT ON TBPersonen WHEN NEW.Nachname = 'Kaputt' "
                           "BEGIN SELECT RAISE(ABORT, 'no'); END");
        m_messages->queueAnswer(saved ? Messages::Answer::Yes : Messages::Answer::No);
        open(id, typed);
        QCOMPARE(m_dlg->pbLoeschen->isEnabled(), id > 0);
        recordStatements(m_sql);
        m_dlg->pbOK->click();
        if (!statements.isEmpty())
            QCOMPARE(m_sql, statements);
        QCOMPARE(m_messages->shown.size(), int(!message.isEmpty()));
        QCOMPARE(m_messages->lastText(), message);
        if (message == kDuplicateQuestion)
            QCOMPARE(m_messages->shown.first().buttons, Messages::Buttons::YesNo);
        if (message == kRefused)
            QCOMPARE(m_messages->shown.first().icon, Messages::Icon::Exclamation);
        QCOMPARE(m_db->count("TBPersonen"), saved && id < 0 ? 3 : 2);
        QCOMPARE(m_dlg->isVisible(), !saved);
        if (!saved && message != kRefused) { // back to the family name, selected for retyping
            QCOMPARE(m_dlg->focusWidget(), m_dlg->dfNachname);
            QCOMPARE(m_dlg->dfNachname->selectedText(), typed.at(0));
        }
    }

    // What was typed is stored exactly, cut at the field's length, with the one appended blank; it comes back
    // exactly, and saving the unchanged person again stores the same.
    void roundTrip()
    {
        const QStringList typed{" Müß'Neil*?[!a-z] " + QString(31, u'Ä') + "'x", "  " + QString(49, u'x'),
                                " #1'ß# " + QString(12, u'9') + "'9"};
        const QStringList kept{typed.at(0).left(50), typed.at(1).left(50), typed.at(2).left(20)};
        open(-1, typed);
        for (int save = 0; save < 2; ++save) {
            m_dlg->pbOK->click();
            QVERIFY(m_messages->shown.isEmpty());
            QCOMPARE(m_db->count("TBPersonen"), 1);
            const QString stored =
                m_db->scalar("SELECT Nachname || '|' || Vorname || '|' || PersNr FROM TBPersonen").toString();
            QCOMPARE(stored, kept.at(0) + '|' + kept.at(1) + " |" + kept.at(2) + ' ');
            open(1);
            QCOMPARE(fields(*m_dlg), kept);
        }
    }

    // Values longer than the fields (written by another tool) stay as they are when OK changes nothing; a
    // change that would store them shortened is asked about first.
    void overlongValues()
    {
        m_db->exec("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Meier', '" +
                   QString(51, u'v') + "', '" + QString(21, u'9') + "', False)");
        const auto stored = [this] {
            return m_db->scalar("SELECT Nachname || '|' || Vorname || '|' || PersNr FROM TBPersonen").toString();
        };
        const QString before = stored();
        const int entries = m_db->count("TBVerlauf");
        open(1);
        m_dlg->pbOK->click();
        QVERIFY(!m_dlg->isVisible() && m_messages->shown.isEmpty());
        QCOMPARE(stored(), before);
        QCOMPARE(m_db->count("TBVerlauf"), entries);

        open(1, {"Meier-Lang"});
        m_messages->queueAnswer(Messages::Answer::No);
        m_dlg->pbOK->click();
        QVERIFY(m_dlg->isVisible());
        QCOMPARE(m_messages->lastText(), "Gespeicherte Werte sind länger, als dieses Fenster sie fassen kann, und "
                                         "würden gekürzt gespeichert: Vorname, Personal-Nummer\r\nTrotzdem speichern?");
        QCOMPARE(stored(), before);
        m_dlg->pbOK->click(); // Yes
        QCOMPARE(stored(), "Meier-Lang|" + QString(50, u'v') + " |" + QString(20, u'9') + ' ');
    }

    // From the dialog's button, leaving the edits unsaved: refused while a copy is out, the dialog stays
    // open; once it is back the person is retired and the dialog closes.
    void retire()
    {
        addPerson(*m_db, "Meier", "Hans", "4711");
        addMovement(*m_db, "A1", 0);
        open(1, {"Meier", "Johann", "4711"});
        m_dlg->pbLoeschen->click();
        QCOMPARE(m_messages->lastText(),
                 QStringLiteral("Diese Person besitzt noch Schlüssel und kann daher nicht gelöscht werden"));
        QVERIFY(m_dlg->isVisible());
        m_db->exec("UPDATE TBBewegungen SET Status = 1"); // a returned copy no longer counts
        m_dlg->pbLoeschen->click();
        QVERIFY(!m_dlg->isVisible());
        QCOMPARE(m_db->scalar("SELECT Vorname FROM TBPersonen WHERE Storniert").toString(), QStringLiteral("Hans "));
        QCOMPARE(m_messages->shown.size(), 1);
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

CLAVARO_TEST_MAIN(TestPersons)
#include "test_persons.moc"

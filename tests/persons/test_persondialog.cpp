// The person dialog: the statements it writes, the duplicate and name checks, refusals, round trips, retiring.
#include "PersonData.h"
#include "keys/KeyData.h"
#include "persons/DlgPerson.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"

#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <sqlite3.h>

namespace {
const QString kDuplicateQuestion = QStringLiteral(
    "Eine Person mit diesem Namen oder dieser Personalnummer ist bereits vorhanden.\r\nTrotzdem speichern?");
const QString kRefused = QStringLiteral("Die Datenbank hat die Aktion abgelehnt:\r\n");
} // namespace

class TestPersonDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<DlgPerson> m_dlg;
    QStringList m_sql;

    // Shows the dialog for a person (-1: a new one) and types family name, given name and number.
    void open(qint32 id, const QStringList& typed = {})
    {
        m_dlg = std::make_unique<DlgPerson>();
        m_dlg->load(id);
        m_dlg->show();
        if (typed.isEmpty())
            return;
        m_dlg->dfNachname->setText(typed.at(0));
        m_dlg->dfVorname->setText(typed.at(1));
        m_dlg->dfPersNr->setText(typed.at(2));
    }
    QStringList fields() const
    {
        return {m_dlg->dfNachname->text(), m_dlg->dfVorname->text(), m_dlg->dfPersNr->text()};
    }
    // The first person's stored family name, given name and number.
    QStringList stored()
    {
        QStringList out;
        for (const char* column : {"Nachname", "Vorname", "PersNr"})
            out << m_db->scalar(QStringLiteral("SELECT %1 FROM TBPersonen ORDER BY PersID").arg(column)).toString();
        return out;
    }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
    }
    void cleanup()
    {
        m_dlg.reset();
        m_messages.reset();
        m_db.reset();
    }

    void save_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("statements"); // %1: the edited person's PersID
        QTest::newRow("new, blank number: name check only")
            << false << QStringList{"Meier", "", "  "}
            << QStringList{"SELECT PersID FROM TBPersonen WHERE NOT Storniert AND (Nachname = 'Meier')",
                           "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Meier', ' ', '   ', "
                           "False)"};
        QTest::newRow("new with number, quotes doubled, blanks kept")
            << false << QStringList{" O'Neil ", "D'Arcy", "A'1"}
            << QStringList{"SELECT PersID FROM TBPersonen WHERE NOT Storniert AND (Nachname = ' O''Neil ' OR PersNr "
                           "= 'A''1')",
                           "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES(' O''Neil ', "
                           "'D''Arcy ', 'A''1 ', False)"};
        QTest::newRow("edit to a namesake asks nothing")
            << true << QStringList{"Schulz", "Eva", "7"}
            << QStringList{"UPDATE TBPersonen SET Nachname = 'Schulz', Vorname = 'Eva ', PersNr = '7 ' WHERE PersID = "
                           "%1"};
    }
    void save()
    {
        QFETCH(bool, existing);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, statements);
        addPerson(*m_db, "Schulz", "Eva", "7"); // a namesake only matters for a new person
        const qint32 id = existing ? addPerson(*m_db, "Alt") : -1;
        open(id, typed);
        QCOMPARE(m_dlg->pbLoeschen->isEnabled(), existing);
        recordStatements(m_sql);
        m_dlg->pbOK->click();
        QCOMPARE(m_sql, statements.replaceInStrings("%1", QString::number(id)));
        QVERIFY(!m_dlg->isVisible());
        QVERIFY(m_messages->shown.isEmpty());
    }

    // Before a new person is stored the family name must be there, and a namesake or a holder of the number among
    // those not retired asks first. A refusal keeps the dialog open with what was typed and stores nothing.
    void checks_data()
    {
        QTest::addColumn<QString>("nachname");
        QTest::addColumn<QString>("persNr");
        QTest::addColumn<QString>("message"); // its beginning; empty: none shown
        QTest::addColumn<bool>("saved");      // also the answer to the question
        const auto row = [](const char* name, const QString& nachname, const QString& persNr, const QString& message,
                            bool saved) { QTest::newRow(name) << nachname << persNr << message << saved; };
        const QString noName = QStringLiteral("Der Nachname muß angegeben werden!");
        row("no family name", "", "1", noName, false);
        row("family name of blanks", "   ", "1", noName, false);
        row("namesake in other case, No", "MEIER", "123", kDuplicateQuestion, false);
        row("namesake, Yes", "Meier", "", kDuplicateQuestion, true);
        row("number stored with its blank, No", "Neu", "4711", kDuplicateQuestion, false);
        row("retired namesake and number", "Alt", "999", "", true);
        row("empty number matches no stored blank", "Neu", "", "", true);
        row("engine refuses the insert", "Kaputt", "", kRefused, false);
    }
    void checks()
    {
        QFETCH(QString, nachname);
        QFETCH(QString, persNr);
        QFETCH(QString, message);
        QFETCH(bool, saved);
        addPerson(*m_db, "Meier", "Hans", "4711");
        addPerson(*m_db, "Schulz", "Eva");
        addPerson(*m_db, "Alt", "Otto", "999", true);
        QCOMPARE(sqlite3_exec(db().handle(),
                              "CREATE TRIGGER refuse BEFORE INSERT ON TBPersonen WHEN NEW.Nachname = 'Kaputt' "
                              "BEGIN SELECT RAISE(ABORT, 'no'); END",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        m_messages->queueAnswer(saved ? Messages::Answer::Yes : Messages::Answer::No);
        const QStringList typed{nachname, "Egon", persNr};
        open(-1, typed);
        m_dlg->pbOK->click();

        QCOMPARE(m_messages->shown.size(), int(!message.isEmpty()));
        QCOMPARE(m_messages->lastText().left(message.size()), message);
        if (message == kDuplicateQuestion)
            QCOMPARE(m_messages->shown.first().buttons, Messages::Buttons::YesNo);
        QCOMPARE(m_db->count("TBPersonen"), saved ? 4 : 3);
        QCOMPARE(m_dlg->isVisible(), !saved);
        QCOMPARE(fields(), typed);
        if (!saved && message != kRefused) { // back to the family name, selected for retyping
            QCOMPARE(m_dlg->focusWidget(), m_dlg->dfNachname);
            QCOMPARE(m_dlg->dfNachname->selectedText(), nachname);
        }
    }

    // What was typed is stored exactly, cut at the field's length, with the one appended blank; it comes back
    // exactly, and saving the unchanged person again stores the same, however often.
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::newRow("quotes, wildcards") << QStringList{"O'Neil*?", "'Dee' \"D\" [!a-z]", "#1'"};
        QTest::newRow("umlauts") << QStringList{"Müßiggang-Äöü", "Zoë", "ß-1"};
        QTest::newRow("blanks") << QStringList{" Meier ", "  ", " 7 "};
        QTest::newRow("beyond the lengths")
            << QStringList{QString(49, QChar(u'Ä')) + "'x", QString(51, QChar(u'x')), QString(19, QChar(u'9')) + "'9"};
    }
    void roundTrip()
    {
        QFETCH(QStringList, typed);
        const QStringList kept{typed.at(0).left(50), typed.at(1).left(50), typed.at(2).left(20)};
        open(-1, typed);
        for (int save = 0; save < 3; ++save) {
            m_dlg->pbOK->click();
            QVERIFY(m_messages->shown.isEmpty());
            QCOMPARE(m_db->count("TBPersonen"), 1);
            QCOMPARE(stored(), (QStringList{kept.at(0), kept.at(1) + ' ', kept.at(2) + ' '}));
            open(m_db->scalar("SELECT PersID FROM TBPersonen").toInt());
            QCOMPARE(fields(), kept);
        }
    }

    // From the dialog's button, leaving the edits unsaved: closes on success, stays open on refusal.
    void retire_data()
    {
        QTest::addColumn<QList<int>>("movements"); // their Status; 0: the copy is still out
        QTest::addColumn<bool>("retired");
        QTest::newRow("no movements") << QList<int>{} << true;
        QTest::newRow("all returned") << QList<int>{1, 1} << true;
        QTest::newRow("holds a key") << QList<int>{1, 0} << false;
    }
    void retire()
    {
        QFETCH(QList<int>, movements);
        QFETCH(bool, retired);
        const qint32 id = addPerson(*m_db, "Meier", "Hans", "4711");
        QCOMPARE(id, 1); // the holder of addMovement's copies
        addKey(*m_db, "A1", "Tor");
        for (int status : movements)
            addMovement(*m_db, "A1", status);
        open(id, {"Meier", "Johann", "4711"});
        recordStatements(m_sql);
        m_dlg->pbLoeschen->click();

        QStringList statements{"SELECT BewID FROM TBBewegungen WHERE Status = 0 AND PersonID = 1"};
        if (retired)
            statements << "UPDATE TBPersonen SET Storniert = true WHERE PersID = 1";
        QCOMPARE(m_sql, statements);
        QCOMPARE(m_db->scalar("SELECT Storniert FROM TBPersonen").toBool(), retired);
        QCOMPARE(m_dlg->isVisible(), !retired);
        QCOMPARE(m_dlg->dfVorname->text(), QStringLiteral("Johann"));
        QCOMPARE(m_messages->shown.size(), int(!retired));
        if (!retired) {
            QCOMPARE(m_messages->lastText(),
                     QStringLiteral("Diese Person besitzt noch Schlüssel und kann daher nicht gelöscht werden"));
            QCOMPARE(m_messages->shown.first().icon, Messages::Icon::Exclamation);
        }
    }
};

CLAVARO_TEST_MAIN(TestPersonDialog)
#include "test_persondialog.moc"

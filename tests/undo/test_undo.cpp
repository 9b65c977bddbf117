// Undo and redo of every change the program makes to the register: the register exactly as before (and
// as after), the journal saying what happened, refusals when the rows have changed since.
#include "confirmation/DlgFormular.h"
#include "core/Clock.h"
#include "core/SqlError.h"
#include "core/Startup.h"
#include "handouts/HandoutPane.h"
#include "history/History.h"
#include "keys/DlgSchluessel.h"
#include "keys/KeyPane.h"
#include "persons/DlgPerson.h"
#include "persons/PersonPane.h"
#include "plan/Schliessplan.h"
#include "plan/Verlust.h"
#include "support/Query.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "undo/Undo.h"
#include "widgets/TabListWidget.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableView>
#include <QUndoStack>

namespace {

// Every row of the register's tables with its rowid, each value with its type (quote() keeps 1 apart from
// '1'), and the system number the program holds.
QString registerRows()
{
    QStringList tables{app().AnlagenNr};
    for (const char* table : {"TBKopfdaten", "TBPersonen", "TBSchluessel", "TBBewegungen", "TBZylinder",
                              "TBSchliessung", "TBPlanSchluessel", "TBVerlust"}) {
        QStringList values{QStringLiteral("quote(rowid)")};
        for (Recordset info = db().openRecordset(QStringLiteral("PRAGMA table_info(%1)").arg(table)); !info.eof();
             info.moveNext())
            values << QStringLiteral("quote(\"%1\")").arg(info.field(1).toString());
        tables << column(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                             .arg(values.join(QStringLiteral(" || ',' || ")), QLatin1String(table)));
    }
    return tables.join('\n');
}

int lastEntry()
{
    return column(QStringLiteral("SELECT coalesce(max(VerlaufID), 0) FROM TBVerlauf")).toInt();
}

// Meier Hans (1) holds K7/3 (BewID 1); Schulz Eva (2) has returned T4/1, T4/2 and T4/5 (BewID 2 to 4).
// K7 opens the gate Z-1 and the office Z-2, T4 the office.
void seed(TestDatabase& t)
{
    addPerson(t, "Meier", "Hans", "17");
    addPerson(t, "Schulz", "Eva");
    addKey(t, "K7", "Tor ", 3, true);
    addKey(t, "T4", "Tür ");
    addMovement(t, "K7", 0, 1, "3/5/26", "3");
    for (const char* copy : {"1", "2", "5"})
        addMovement(t, "T4", 1, 2, "2/1/26", copy);
    t.exec("INSERT INTO TBKopfdaten (AnlagenNr, Bestätigung) VALUES ('4711', 'Alt')");
    Schliessplan::import(db(), planOf("Zylinder;Tür;K7;T4\nZ-1;Tor;X;\nZ-2;Büro;X;X\n"));
}

void handOut(qint32 person, const QString& key, const QString& number)
{
    HandoutPane pane;
    pane.selectedPerson = [person] { return std::optional(PersEntry{person, {}}); };
    pane.selectedKeyNumber = [key] { return key; };
    pane.dfZusatzNr->setText(number);
    pane.pbVergabe_Click();
}

// The return of the grid's first line, Meier's K7/3.
void returnK7()
{
    HandoutPane pane;
    pane.RefreshVergaben(false);
    pane.sprVergaben->selectRow(0);
    pane.pbRueckgabe_Click();
}

// The deletion of T4 from the key list.
void deleteT4()
{
    KeyPane pane;
    pane.pbSchlSuch_Click();
    pane.lstSchluessel->setCurrentRow(1);
    pane.pbSchlDel_Click();
}

void changeKey(const QString& opened, const QString& number, const QString& total)
{
    DlgSchluessel dialog;
    dialog.load(opened);
    dialog.dfSchluesselNr->setText(number);
    dialog.dfGesamt->setText(total);
    dialog.pbOK_Click();
}

void changePerson(qint32 id, const QString& nachname, const QString& vorname)
{
    DlgPerson dialog;
    dialog.load(id);
    dialog.dfNachname->setText(nachname);
    dialog.dfVorname->setText(vorname);
    dialog.pbOK_Click();
}

struct Change
{
    std::function<void()> make;
    QString takenBack; // the journal's entry for taking it back; none for the header row
    std::function<void()> before = {}; // what the register holds more, before the change
};

} // namespace

Q_DECLARE_METATYPE(Change)

class TestUndo : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;

private Q_SLOTS:
    void init()
    {
        Clock::setToday(QDate(2026, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        seed(*m_db);
        Undo::keepChanges();
    }
    void cleanup()
    {
        Undo::forget();
        m_messages.reset();
        m_db.reset();
        Clock::setToday(std::nullopt);
    }

    // Each change from its window, taken back and made again: the four tables exactly as before and after
    // it, types and rowids too; the journal has one entry for the taking back and, for making it again,
    // the entries the change itself wrote.
    void takeBackAndMakeAgain_data()
    {
        QTest::addColumn<Change>("c");
        QTest::newRow("return") << Change{returnK7,
                                          "Rückgabe zurückgenommen: Rückgabe von K7/3 durch Meier Hans zurückgenommen"};
        QTest::newRow("handout") << Change{
            [] { handOut(2, "K7", "2"); },
            "Vergabe zurückgenommen: Vergabe von K7/2 an Schulz Eva vom 10.03.2026 zurückgenommen"};
        QTest::newRow("retirement") << Change{
            [] {
                PersonPane pane;
                pane.pbPersSuch_Click();
                pane.lstPerson->setCurrentRow(1); // Schulz
                pane.pbPersDel_Click();
            },
            "Stornierung zurückgenommen: Stornierung der Person Schulz Eva zurückgenommen"};
        QTest::newRow("key deletion with 3 returned movements") << Change{
            deleteT4,
            "Löschung des Schlüssels zurückgenommen: Löschung des Schlüssels T4 (Tür, 3 Stück) mit seinen Vergaben "
            "zurückgenommen"};
        // More rows than one statement takes back or puts back.
        QTest::newRow("key deletion with 1,203 returned movements") << Change{
            deleteT4,
            "Löschung des Schlüssels zurückgenommen: Löschung des Schlüssels T4 (Tür, 3 Stück) mit seinen Vergaben "
            "zurückgenommen",
            [] {
                db().executeNative(QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 1209) INSERT INTO "
                    "TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status) SELECT 2, 'T4', i || ' ', "
                    "'2026-02-01', 1 FROM n"));
            }};
        QTest::newRow("person created") << Change{
            [] { changePerson(-1, "Neu", "Ida"); },
            "Anlage der Person zurückgenommen: Anlage der Person Neu Ida zurückgenommen"};
        QTest::newRow("person changed") << Change{
            [] { changePerson(1, "Meyer", "Hans"); },
            "Änderung der Person zurückgenommen: Änderung der Person Meyer Hans, Personalnummer 17 zurückgenommen, "
            "wieder Meier Hans, Personalnummer 17"};
        QTest::newRow("key created") << Change{
            [] { changeKey({}, "N1", "2"); },
            "Anlage des Schlüssels zurückgenommen: Anlage des Schlüssels N1 (, 2 Stück) zurückgenommen"};
        QTest::newRow("key renumbered with its movement") << Change{
            [] { changeKey("K7", "K70", "4"); },
            "Änderung des Schlüssels zurückgenommen: Änderung des Schlüssels K70 zurückgenommen, wieder K7 (jetzt: "
            "Tor, 3 Stück, mit Zusatznummer)"};
        QTest::newRow("template") << Change{[] {
                                                DlgFormular dialog;
                                                dialog.load();
                                                dialog.dfText->setPlainText("Neu");
                                                dialog.pbOK_Click();
                                            },
                                            ""};
        QTest::newRow("system number, asked for at the open") << Change{[] { QVERIFY(OpenDb()); }, "", [this] {
            m_db->exec("DELETE * FROM TBKopfdaten");
            app().AnlagenNr.clear();
            m_messages->queueInput(QStringLiteral("0815"));
        }};
        QTest::newRow("loss") << Change{
            [] { QVERIFY(Verlust::record(db(), 1, Clock::today())); },
            "Verlust zurückgenommen: Verlustmeldung von K7/3 (Meier Hans) vom 10.03.2026 zurückgenommen, wieder "
            "ausgegeben"};
        QTest::newRow("crossing made") << Change{
            [] { Schliessplan::setCrossing(db(), "Z-1", "T4", true); },
            "Schließung zurückgenommen: Zurückgenommen: Schlüssel T4 schließt Zylinder Z-1 nicht mehr"};
        QTest::newRow("crossing removed") << Change{
            [] { Schliessplan::setCrossing(db(), "Z-2", "K7", false); },
            "Entfernung der Schließung zurückgenommen: Zurückgenommen: Schlüssel K7 schließt wieder Zylinder Z-2"};
        QTest::newRow("plan imported, a key created, a cylinder gone")
            << Change{[] { Schliessplan::import(db(), planOf("Zylinder;Tür;N9;K7\nZ-3;Dach;X;\nZ-1;Tor;X;X\n")); },
                      "Einlesen des Schließplans zurückgenommen: Der Schließplan ist wieder wie vor dem Einlesen"};
    }
    void takeBackAndMakeAgain()
    {
        QFETCH(Change, c);
        if (c.before)
            c.before();
        const QString before = registerRows();
        const int start = lastEntry();
        c.make();
        const QString after = registerRows();
        const QString made = journalEntries(start);
        QVERIFY(after != before);
        QCOMPARE(Undo::stack().count(), 1);

        const int beforeUndo = lastEntry();
        QVERIFY(!Undo::undo().isEmpty());
        QCOMPARE(registerRows(), before);
        QCOMPARE(journalEntries(beforeUndo), c.takenBack);
        QVERIFY(!Undo::stack().canUndo());

        const int beforeRedo = lastEntry();
        QVERIFY(!Undo::redo().isEmpty());
        QCOMPARE(registerRows(), after);
        // The same entries; a change of several tables is made again table by table.
        const auto sorted = [](const QString& entries) {
            QStringList list = entries.split('|');
            list.sort();
            return list;
        };
        QCOMPARE(sorted(journalEntries(beforeRedo)), sorted(made));
    }

    // Saving a person unchanged changes no row: nothing to take back.
    void nothingChangedIsNotKept()
    {
        changePerson(1, "Meier", "Hans");
        QCOMPARE(Undo::stack().count(), 0);
    }

    // Rows changed behind the stack's back: refused with a message, nothing written, the change kept; once
    // they are as the change left them again, it goes back.
    void refusedWhenTheRowsChangedSince()
    {
        returnK7();
        m_db->exec("UPDATE TBBewegungen SET ZusatzNr = '4 ' WHERE BewID = 1");
        const QString changed = registerRows();
        const int entries = lastEntry();
        QVERIFY(Undo::undo().isEmpty());
        QCOMPARE(m_messages->lastText(), "Rückgängig nicht möglich: die Daten wurden seither geändert.");
        QCOMPARE(registerRows(), changed);
        QCOMPARE(lastEntry(), entries);
        QVERIFY(Undo::stack().canUndo());
        m_db->exec("UPDATE TBBewegungen SET ZusatzNr = '3 ' WHERE BewID = 1");
        QCOMPARE(Undo::undo(), QStringList{"TBBewegungen"});
        QCOMPARE(m_db->scalar("SELECT Status FROM TBBewegungen WHERE BewID = 1").toInt(), 0);
    }

    // A key renumbered after a handout of it: both go back in turn and come again, the handout's movement
    // with its BewID; a redo the engine refuses in between writes nothing.
    void changesThatBuildOnEachOther()
    {
        const QString before = registerRows();
        handOut(2, "K7", "2");
        changeKey("K7", "K70", "4");
        const QString after = registerRows();
        QCOMPARE(column("SELECT SchluesselNr || '/' || BewID FROM TBBewegungen WHERE Status = 0"), "K70/1|K70/5");
        const QStringList renumbered{"TBSchluessel", "TBBewegungen", "TBSchliessung", "TBPlanSchluessel"};
        QCOMPARE(Undo::undo(), renumbered);
        QCOMPARE(Undo::undo(), QStringList{"TBBewegungen"});
        QCOMPARE(registerRows(), before);
        Undo::redo();
        m_db->exec("INSERT INTO TBSchluessel (SchluesselNr, Gesamt) VALUES ('K70', 1)"); // taken meanwhile
        const QString taken = registerRows();
        QVERIFY_THROWS_EXCEPTION(SqlError, Undo::redo()); // the number is unique: the engine refuses
        QCOMPARE(registerRows(), taken);
        m_db->exec("DELETE * FROM TBSchluessel WHERE SchluesselNr = 'K70'");
        QCOMPARE(Undo::redo(), renumbered);
        QCOMPARE(registerRows(), after);
    }

    // The history of a key whose deletion was taken back shows each movement once, also after the
    // deletion was made again; a return taken back and made again counts from the last return.
    void historyStaysTrue()
    {
        const auto lines = [] {
            QStringList out;
            for (const HistoryLine& line : History::ofKey("T4"))
                out << line.zusatzNr + (line.back == HistoryLine::Back::Returned ? "r" : "?");
            return out.join(' ');
        };
        deleteT4();
        const QString returnedBeforeTheJournal = QStringLiteral("5? 2? 1?");
        QCOMPARE(lines(), returnedBeforeTheJournal);
        Undo::undo();
        QCOMPARE(lines(), returnedBeforeTheJournal);
        Undo::redo();
        QCOMPARE(lines(), returnedBeforeTheJournal);

        returnK7();
        m_db->exec("UPDATE TBVerlauf SET Zeitpunkt = '2000-01-01 08:00:00' WHERE Art = 2");
        Undo::undo();
        Undo::redo();
        QVERIFY(History::ofKey("K7").first().returned > QDate(2000, 1, 1));
    }
};

CLAVARO_TEST_MAIN(TestUndo)
#include "test_undo.moc"

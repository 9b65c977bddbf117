// The journal the triggers write, its descriptions, its conversion from sentences, and the history read
// from movements and journal.
#include "core/Journal.h"
#include "core/JournalText.h"
#include "core/Schema.h"
#include "core/Texts.h"
#include "history/History.h"
#include "history/VerlaufModel.h"
#include "support/Query.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include <QFile>

namespace {

QStringList lines(const QVector<HistoryLine>& history)
{
    VerlaufModel model;
    model.setLines(history);
    QStringList out;
    for (const QStringList& row : model.rowTexts())
        out << row.mid(0, 6).join(QLatin1Char('|')); // the personnel number left out
    return out;
}

// Meier (1) and Schulz (2); K10 (3 copies, additional number required); Meier holds K10/1 (BewID 1).
void seed(TestDatabase& t)
{
    addPerson(t, "Meier", "Anna", "17");
    addPerson(t, "Schulz", "Jörg");
    addKey(t, "K10", "Haupteingang ", 3, true);
    addMovement(t, "K10", 0, 1, "3/5/26", "1");
}

const QString kReturn = QStringLiteral("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1");
const QString kHandout = QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, "
                                        "Bis) VALUES(2, 'K10', '2 ', #12/6/26#, 0, null)");
const QString kPersonChange =
    QStringLiteral("UPDATE TBPersonen SET Nachname = '%1', Vorname = 'Anna ', PersNr = '%2 ' WHERE PersID = 1");
const QString kKeyChange = QStringLiteral("UPDATE TBSchluessel SET SchluesselNr = '%1', Funktion = 'Haupteingang ', "
                                          "Gesamt = %2, ZusatzNr = True WHERE SchluesselNr = 'K10'");
const QStringList kKeyDeletion = {"DELETE * FROM TBSchluessel WHERE SchluesselNr = 'K10'",
                                  "DELETE * FROM TBBewegungen WHERE SchluesselNr = 'K10'"};

// "kind: description" of each entry after the given one, oldest first, in the current language.
QString journal(int after = 0)
{
    QStringList entries;
    for (Recordset rs = db().openRecordset(Journal::factsQuery(QStringLiteral("v.VerlaufID > %1").arg(after)));
         !rs.eof(); rs.moveNext())
        entries.prepend(Journal::kindName(rs.field("Art").toInt()) + ": " + Journal::describe(rs));
    return entries.join(u'|');
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        seed(*m_db);
    }
    void cleanup()
    {
        m_db.reset();
        app().Sprache = QStringLiteral("DE");
    }

    // Each write adds exactly the entries given; the view describes them as the program does.
    void recordsEachWrite_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("entries");
        const auto row = [](const char* name, const QStringList& statements, const char* entries) {
            QTest::newRow(name) << statements << QString::fromUtf8(entries);
        };
        row("handout", {kHandout}, "Vergabe: Schlüssel K10/2 an Schulz Jörg ausgegeben");
        row("return, twice: the first stays", {kReturn, kReturn},
            "Rückgabe: Schlüssel K10/1 von Meier Anna zurückgegeben");
        row("person changed", {kPersonChange.arg("Meier-Lang", "18")},
            "Person geändert: Person Meier Anna, Personalnummer 17 geändert in Meier-Lang Anna, Personalnummer 18");
        row("saved unchanged, then case only", {kPersonChange.arg("Meier", "17"), kPersonChange.arg("MEIER", "17")},
            "Person geändert: Person Meier Anna, Personalnummer 17 geändert in MEIER Anna, Personalnummer 17");
        row("person retired", {"UPDATE TBPersonen SET Storniert = true WHERE PersID = 2"},
            "Person storniert: Person Schulz Jörg gelöscht (storniert)");
        row("key renumbered", {kKeyChange.arg("K11", "3")},
            "Schlüssel geändert: Schlüssel K10 geändert in K11 (vorher: Haupteingang, 3 Stück, mit Zusatznummer; "
            "jetzt: Haupteingang, 3 Stück, mit Zusatznummer)");
        row("key stock changed", {kKeyChange.arg("K10", "4")},
            "Schlüssel geändert: Schlüssel K10 geändert (vorher: Haupteingang, 3 Stück, mit Zusatznummer; jetzt: "
            "Haupteingang, 4 Stück, mit Zusatznummer)");
        // The key row first, then its movements; a removed movement is still described with its person.
        row("key deleted", kKeyDeletion,
            "Schlüssel gelöscht: Schlüssel K10 gelöscht (Haupteingang, 3 Stück, mit Zusatznummer)|Bewegung gelöscht: "
            "Vergabe von K10/1 an Meier Anna vom 05.03.2026 (noch ausgegeben) gelöscht");
    }
    void recordsEachWrite()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, entries);
        const int before = m_db->scalar("SELECT max(VerlaufID) FROM TBVerlauf").toInt();
        for (const QString& sql : statements)
            m_db->exec(sql);
        QCOMPARE(journal(before), entries);
        QCOMPARE(journalEntries(before), entries);
    }

    // Every kind's texts in every language are well formed, use only the journal's fields, and the same
    // fields as the German text.
    void everyKindIsDescribedInEveryLanguage()
    {
        const QStringList known = Journal::fieldNames();
        const auto fieldsOf = [](const QString& text) {
            const std::optional<QStringList> used = JournalText::fields(text);
            QStringList sorted = used.value_or(QStringList{QStringLiteral("(malformed)")});
            sorted.sort();
            sorted.removeDuplicates();
            return sorted;
        };
        for (const Journal::Kind& kind : Journal::kinds()) {
            const QStringList german = fieldsOf(kind.description);
            for (const QString& field : german)
                QVERIFY2(known.contains(field), qPrintable(field + " in " + kind.description));
            for (const int language : {1, 2}) {
                QVERIFY(TextCatalogue::lookup(kind.nameId * 10 + language));
                const std::optional<QString> text = TextCatalogue::lookup(kind.descriptionId * 10 + language);
                QVERIFY2(text && fieldsOf(*text) == german, qPrintable(text.value_or(kind.description)));
            }
        }
        app().Sprache = QStringLiteral("EN");
        m_db->exec(kPersonChange.arg("Meier-Lang", "18"));
        m_db->exec(kKeyDeletion.first());
        QCOMPARE(journal(4),
                 "Key holder changed: Key holder Meier Anna, personal number 17 changed to Meier-Lang Anna, personal "
                 "number 18|Key deleted: Key K10 deleted (Haupteingang, 3 copies, with additional number)");
    }

    // K10 to Meier, back, to Schulz, renumbered K11, deleted: the histories of key and person follow.
    void historyAcrossRenumberAndDeletion()
    {
        // The return's day as its entry has it, not the clock's: the two may fall on both sides of midnight.
        m_db->exec(kReturn);
        m_db->exec("UPDATE TBVerlauf SET Zeitpunkt = '2026-03-10 23:59:59' WHERE Art = 2");
        const QString today = QStringLiteral("10.03.2026");
        const QString meier = "05.03.2026|" + today + "|K11|1|Haupteingang|Meier Anna";
        addMovement(*m_db, "K10", 0, 2, "3/9/26", "1");
        m_db->exec(kKeyChange.arg("K11", "3"));
        QCOMPARE(lines(History::ofKey(QStringLiteral("k11"))),
                 (QStringList{"09.03.2026||K11|1|Haupteingang|Schulz Jörg", meier}));
        QVERIFY(History::ofKey(QStringLiteral("K10")).isEmpty());
        QCOMPARE(lines(History::ofPerson(1)), QStringList{meier});

        // Sorted by the return: unknown first, then by day, copies still out last; by date, not by text.
        addMovement(*m_db, "K11", 1, 1, "1/12/99", "2"); // stored as returned: no return recorded
        VerlaufModel model;
        model.setLines(History::ofKey(QStringLiteral("K11")));
        model.sort(1, Qt::AscendingOrder);
        QCOMPARE(model.cellText(0, 1) + '|' + model.cellText(1, 1) + '|' + model.cellText(2, 1),
                 "unbekannt|" + today + '|');
        model.sort(0, Qt::AscendingOrder);
        QCOMPARE(model.cellText(0, 0), QStringLiteral("12.01.1999"));

        m_db->exec("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 2");
        m_db->exec("DELETE * FROM TBSchluessel WHERE SchluesselNr = 'K11'");
        m_db->exec("DELETE * FROM TBBewegungen WHERE SchluesselNr = 'K11'");
        QCOMPARE(lines(History::ofPerson(1)),
                 (QStringList{meier, "12.01.1999|unbekannt|K11|2|Haupteingang|Meier Anna"}));
        QCOMPARE(History::ofKey(QStringLiteral("K11")).size(), 3);
    }

    // A register whose journal kept sentences: every entry is carried over, its facts read back from its
    // sentence where nothing else holds them, and every history shows what it showed before.
    void sentencesBecomeFacts()
    {
        app().DB.reset();
        QVERIFY(QFile::remove(m_db->path()));
        Database::createAtVersion(m_db->path(), 3);
        app().DB = Database::open(m_db->path());
        seed(*m_db);
        addKey(*m_db, "K20", "Tor, Süd ", 2);
        m_db->exec(kReturn);
        m_db->exec(kHandout);
        m_db->exec(kPersonChange.arg("Meier-Lang", "18"));
        addMovement(*m_db, "K20", 0, 1, "4/1/26");
        m_db->exec("DELETE * FROM TBSchluessel WHERE SchluesselNr = 'K20'");
        m_db->exec("DELETE * FROM TBBewegungen WHERE SchluesselNr = 'K20'");
        m_db->exec(kKeyChange.arg("K11", "4"));
        m_db->exec("UPDATE TBVerlauf SET Zeitpunkt = '2026-03-10 23:59:59' WHERE Ereignis = 'Rückgabe'");
        // Written by other tools: a handout whose movement went without a trace, an entry of a kind the
        // program does not know, and a sentence in a form it never wrote.
        m_db->exec("INSERT INTO TBVerlauf (Ereignis, PersID, SchluesselNr, BewID, ZusatzNr, Von) VALUES('Vergabe', "
                   "2, 'K30', 99, '4 ', #1/2/26#)");
        m_db->exec("INSERT INTO TBVerlauf (Ereignis, Beschreibung) VALUES('Import', 'Daten übernommen')");
        m_db->exec("INSERT INTO TBVerlauf (Ereignis, PersID, Beschreibung) VALUES('Person angelegt', 2, 'Person "
                   "Schulz, Personalnummer  angelegt')");
        const QString ids = column("SELECT VerlaufID FROM TBVerlauf ORDER BY VerlaufID");

        Schema::upgrade(db());
        QCOMPARE(column("SELECT VerlaufID FROM TBVerlauf ORDER BY VerlaufID"), ids);
        const QString today = QStringLiteral("10.03.2026");
        QCOMPARE(lines(History::all()), (QStringList{"06.12.2026||K11|2|Haupteingang|Schulz Jörg",
                                                     "01.04.2026|unbekannt|K20||Tor, Süd|Meier-Lang Anna",
                                                     "05.03.2026|" + today + "|K11|1|Haupteingang|Meier-Lang Anna"}));
        const QString expected =
            "Person angelegt: Person Meier Anna, Personalnummer 17 angelegt|"
            "Person angelegt: Person Schulz Jörg angelegt|"
            "Schlüssel angelegt: Schlüssel K10 angelegt: Haupteingang, 3 Stück, mit Zusatznummer|"
            "Vergabe: Schlüssel K11/1 an Meier-Lang Anna ausgegeben|"
            "Schlüssel angelegt: Schlüssel K20 angelegt: Tor, Süd, 2 Stück|"
            "Rückgabe: Schlüssel K11/1 von Meier-Lang Anna zurückgegeben|"
            "Vergabe: Schlüssel K11/2 an Schulz Jörg ausgegeben|"
            "Person geändert: Person Meier Anna, Personalnummer 17 geändert in Meier-Lang Anna, Personalnummer 18|"
            "Vergabe: Schlüssel K20 an Meier-Lang Anna ausgegeben|"
            "Schlüssel gelöscht: Schlüssel K20 gelöscht (Tor, Süd, 2 Stück)|"
            "Bewegung gelöscht: Vergabe von K20 an Meier-Lang Anna vom 01.04.2026 (noch ausgegeben) gelöscht|"
            "Schlüssel geändert: Schlüssel K10 geändert in K11 (vorher: Haupteingang, 3 Stück, mit Zusatznummer; "
            "jetzt: Haupteingang, 4 Stück, mit Zusatznummer)|"
            "Vergabe: Schlüssel K30/4 an Schulz Jörg ausgegeben|"
            "Eintrag: Daten übernommen|"
            "Person angelegt: Person Schulz, Personalnummer  angelegt";
        QCOMPARE(journal(), expected);
        QCOMPARE(journalEntries(), expected);
    }
};

CLAVARO_TEST_MAIN(TestJournal)
#include "test_journal.moc"

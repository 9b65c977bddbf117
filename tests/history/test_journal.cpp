// The journal the triggers write, and the history read from movements and journal.
#include "history/History.h"
#include "history/VerlaufModel.h"
#include "support/Query.h"
#include "support/TestData.h"
#include "support/TestMain.h"

namespace {

QStringList lines(const QVector<HistoryLine>& history)
{
    VerlaufModel model;
    model.setLines(history);
    QStringList out;
    for (const QStringList& row : model.rowTexts())
        out << row.join(QLatin1Char('|'));
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

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

    // "Ereignis,PersID,SchluesselNr,BewID" per journal entry after the one given, oldest first, joined by "|".
    static QString journal(int after = 0)
    {
        return column(QStringLiteral("SELECT printf('%s,%s,%s,%s', Ereignis, PersID, SchluesselNr, BewID) FROM "
                                     "TBVerlauf WHERE VerlaufID > %1 ORDER BY VerlaufID")
                          .arg(after));
    }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        seed(*m_db);
    }
    void cleanup() { m_db.reset(); }

    // Each write adds exactly the entries given, the last with a summary that begins as given.
    void recordsEachWrite_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("summary");
        const auto row = [](const char* name, const QStringList& statements, const QString& entries,
                            const QString& summary = {}) { QTest::newRow(name) << statements << entries << summary; };
        const QString person =
            QStringLiteral("UPDATE TBPersonen SET Nachname = '%1', Vorname = 'Anna ', PersNr = '%2 ' WHERE PersID = 1");
        const QString key = QStringLiteral("UPDATE TBSchluessel SET SchluesselNr = '%1', Funktion = 'Haupteingang ', "
                                           "Gesamt = %2, ZusatzNr = True WHERE SchluesselNr = 'K10'");
        row("handout",
            {"INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES(2, 'K10', '2 ', "
             "#12/6/26#, 0, null)"},
            "Vergabe,2,K10,2", "Schlüssel K10/2 an Schulz Jörg ausgegeben");
        row("return, twice: the first stays", {kReturn, kReturn}, "Rückgabe,1,K10,1",
            "Schlüssel K10/1 von Meier Anna zurückgegeben");
        row("person changed", {person.arg("Meier-Lang", "18")}, "Person geändert,1,,",
            "Person Meier Anna, Personalnummer 17 geändert in Meier-Lang Anna, Personalnummer 18");
        row("saved unchanged, then case only", {person.arg("Meier", "17"), person.arg("MEIER", "17")},
            "Person geändert,1,,");
        row("person retired", {"UPDATE TBPersonen SET Storniert = true WHERE PersID = 2"}, "Person storniert,2,,",
            "Person Schulz Jörg gelöscht (storniert)");
        row("key renumbered", {key.arg("K11", "3")}, "Schlüssel geändert,,K11,", "Schlüssel K10 geändert in K11 (");
        row("key stock changed", {key.arg("K10", "4")}, "Schlüssel geändert,,K10,",
            "Schlüssel K10 geändert (vorher: Haupteingang, 3 Stück, mit Zusatznummer; jetzt: Haupteingang, 4 Stück, "
            "mit Zusatznummer)");
        // The key deletion: key row first, then its movements.
        row("key deleted",
            {kReturn, "DELETE * FROM TBSchluessel WHERE SchluesselNr = 'K10'",
             "DELETE * FROM TBBewegungen WHERE SchluesselNr = 'K10'"},
            "Rückgabe,1,K10,1|Schlüssel gelöscht,,K10,|Bewegung gelöscht,1,K10,1",
            "Vergabe von K10/1 an Meier Anna vom 2026-03-05 gelöscht");
    }
    void recordsEachWrite()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, entries);
        QFETCH(QString, summary);
        const int before = m_db->scalar("SELECT max(VerlaufID) FROM TBVerlauf").toInt();
        for (const QString& sql : statements)
            m_db->exec(sql);
        QCOMPARE(journal(before), entries);
        const QString last = m_db->scalar("SELECT Beschreibung FROM TBVerlauf ORDER BY VerlaufID DESC").toString();
        QCOMPARE(last.left(summary.size()), summary);
    }

    // K10 to Meier, back, to Schulz, renumbered K11, deleted: the histories of key and person follow.
    void historyAcrossRenumberAndDeletion()
    {
        QCOMPARE(journal(), "Person angelegt,1,,|Person angelegt,2,,|Schlüssel angelegt,,K10,|Vergabe,1,K10,1");
        const QString today = QLocale().toString(QDate::currentDate(), QStringLiteral("dd.MM.yyyy"));
        const QString meier = "05.03.2026|" + today + "|K11|1|Haupteingang|Meier Anna";
        m_db->exec(kReturn);
        addMovement(*m_db, "K10", 0, 2, "3/9/26", "1");
        m_db->exec("UPDATE TBSchluessel SET SchluesselNr = 'K11', Funktion = 'Haupteingang ', Gesamt = 3, ZusatzNr = "
                   "True WHERE SchluesselNr = 'K10'");
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
};

CLAVARO_TEST_MAIN(TestJournal)
#include "test_journal.moc"

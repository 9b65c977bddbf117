// The journal the triggers write, the upgrade that brings it into an older register, and the history
// read from movements and journal.
#include "core/AppState.h"
#include "core/Database.h"
#include "core/Schema.h"
#include "history/History.h"
#include "history/VerlaufModel.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

// "Ereignis|PersID|SchluesselNr|BewID" per journal entry, oldest first.
QStringList journal(int after = 0)
{
    QStringList entries;
    for (Recordset rs = db().openRecordset(
             QStringLiteral("SELECT Ereignis, PersID, SchluesselNr, BewID FROM TBVerlauf WHERE VerlaufID > %1 "
                            "ORDER BY VerlaufID")
                 .arg(after));
         !rs.eof(); rs.moveNext())
        entries << QStringLiteral("%1|%2|%3|%4")
                       .arg(rs.field(0).toString(), rs.field(1).toString(), rs.field(2).toString(),
                            rs.field(3).toString());
    return entries;
}

int lastEntry()
{
    Recordset rs = db().openRecordset(QStringLiteral("SELECT max(VerlaufID) FROM TBVerlauf"));
    return rs.field(0).toInt();
}

void native(const char* sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(db().handle(), sql, nullptr, nullptr, &error);
    QVERIFY2(rc == SQLITE_OK, error);
}

// Meier (1) and Schulz (2); key K10 (3 copies, additional number required); Meier holds K10/1 (BewID 1).
void seed()
{
    db().execute(
        "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Meier', 'Anna ', '17 ', False)");
    db().execute("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Schulz', 'Jörg ', ' ', False)");
    db().execute(
        "INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('K10', 'Haupteingang ', 3, "
        "True)");
    db().execute("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES(1, 'K10', '1 ', "
                 "#3/5/26#, 0, null)");
}

QStringList texts(const VerlaufModel& model)
{
    QStringList lines;
    for (const QStringList& row : model.rowTexts())
        lines << row.join(QLatin1Char('|'));
    return lines;
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
        seed();
    }
    void cleanup() { m_db.reset(); }

    void seedIsJournalled()
    {
        QCOMPARE(journal(), (QStringList{"Person angelegt|1||", "Person angelegt|2||", "Schlüssel angelegt||K10|",
                                         "Vergabe|1|K10|1"}));
    }

    // The program's own statements; each adds exactly the entries given, with the summary of the last.
    void recordsEachWrite_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("summary");
        QTest::newRow("handout") << QStringList{"INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, "
                                                "Status, Bis) VALUES(2, 'K10', '2 ', #12/6/26#, 0, null)"}
                                 << QStringList{"Vergabe|2|K10|2"}
                                 << QStringLiteral("Schlüssel K10/2 an Schulz Jörg ausgegeben");
        QTest::newRow("return") << QStringList{"UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1"}
                                << QStringList{"Rückgabe|1|K10|1"}
                                << QStringLiteral("Schlüssel K10/1 von Meier Anna zurückgegeben");
        QTest::newRow("second return keeps the first")
            << QStringList{"UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1",
                           "UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1"}
            << QStringList{"Rückgabe|1|K10|1"} << QString();
        QTest::newRow("person changed")
            << QStringList{"UPDATE TBPersonen SET Nachname = 'Meier-Lang', Vorname = 'Anna ', PersNr = '18 ' WHERE "
                           "PersID = 1"}
            << QStringList{"Person geändert|1||"}
            << QStringLiteral("Person Meier Anna, Personalnummer 17 geändert in Meier-Lang Anna, Personalnummer 18");
        QTest::newRow("saved unchanged")
            << QStringList{"UPDATE TBPersonen SET Nachname = 'Meier', Vorname = 'Anna ', PersNr = '17 ' WHERE "
                           "PersID = 1"}
            << QStringList{} << QString();
        QTest::newRow("case only is a change")
            << QStringList{"UPDATE TBPersonen SET Nachname = 'MEIER', Vorname = 'Anna ', PersNr = '17 ' WHERE "
                           "PersID = 1"}
            << QStringList{"Person geändert|1||"} << QString();
        QTest::newRow("person retired") << QStringList{"UPDATE TBPersonen SET Storniert = true WHERE PersID = 2"}
                                        << QStringList{"Person storniert|2||"}
                                        << QStringLiteral("Person Schulz Jörg gelöscht (storniert)");
        QTest::newRow("key renumbered")
            << QStringList{"UPDATE TBSchluessel SET SchluesselNr = 'K11', Funktion = 'Haupteingang ', Gesamt = 3, "
                           "ZusatzNr = True WHERE SchluesselNr = 'K10'"}
            << QStringList{"Schlüssel geändert||K11|"}
            << QStringLiteral("Schlüssel K10 geändert in K11 (vorher: Haupteingang, 3 Stück, mit Zusatznummer; jetzt: "
                              "Haupteingang, 3 Stück, mit Zusatznummer)");
        QTest::newRow("key stock changed")
            << QStringList{"UPDATE TBSchluessel SET SchluesselNr = 'K10', Funktion = 'Haupteingang ', Gesamt = 4, "
                           "ZusatzNr = True WHERE SchluesselNr = 'K10'"}
            << QStringList{"Schlüssel geändert||K10|"}
            << QStringLiteral("Schlüssel K10 geändert (vorher: Haupteingang, 3 Stück, mit Zusatznummer; jetzt: "
                              "Haupteingang, 4 Stück, mit Zusatznummer)");
        // The key deletion: key row first, then its movements, each recorded with the key's function.
        QTest::newRow("key deleted") << QStringList{"UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1",
                                                    "DELETE * FROM TBSchluessel WHERE SchluesselNr = 'K10'",
                                                    "DELETE * FROM TBBewegungen WHERE SchluesselNr = 'K10'"}
                                     << QStringList{"Rückgabe|1|K10|1", "Schlüssel gelöscht||K10|",
                                                    "Bewegung gelöscht|1|K10|1"}
                                     << QStringLiteral("Vergabe von K10/1 an Meier Anna vom 2026-03-05 gelöscht");
    }
    void recordsEachWrite()
    {
        QFETCH(QStringList, statements);
        QFETCH(QStringList, entries);
        QFETCH(QString, summary);
        const int before = lastEntry();
        for (const QString& sql : statements)
            m_db->exec(sql);
        QCOMPARE(journal(before), entries);
        if (!summary.isEmpty())
            QCOMPARE(m_db->scalar("SELECT Beschreibung FROM TBVerlauf ORDER BY VerlaufID DESC").toString(), summary);
        // Local date and time as ISO text, today.
        const QString when = m_db->scalar("SELECT Zeitpunkt FROM TBVerlauf ORDER BY VerlaufID DESC").toString();
        QCOMPARE(QDateTime::fromString(when, QStringLiteral("yyyy-MM-dd HH:mm:ss")).date(), QDate::currentDate());
        if (QTest::currentDataTag() == QLatin1String("key deleted"))
            QCOMPARE(m_db->scalar("SELECT Funktion FROM TBVerlauf ORDER BY VerlaufID DESC").toString(),
                     QStringLiteral("Haupteingang "));
    }

    // A register written before the journal: the open adds it, and returns from before it have no date.
    void returnsBeforeTheJournal()
    {
        m_db.reset();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.MDB"));
        Database::createAtVersion(path, 0);
        app().DB = Database::open(path);
        seed();
        db().execute("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1");
        Schema::upgrade(db());
        QCOMPARE(journal(), QStringList{});

        VerlaufModel model;
        model.setLines(History::ofKey(QStringLiteral("K10")));
        QCOMPARE(texts(model), QStringList{"05.03.2026|unbekannt|K10|1|Haupteingang|Meier Anna"});
        app().Sprache = QStringLiteral("EN");
        QCOMPARE(model.cellText(0, 1), QStringLiteral("unknown"));
        app().Sprache = QStringLiteral("DE");
        app().DB.reset();
    }

    // K10 to Meier, back, to Schulz, renumbered K11: both movements under K11, Meier's under her; after
    // the key's deletion Meier's history still holds it.
    void historyAcrossRenumberAndDeletion()
    {
        const QString today = QLocale().toString(QDate::currentDate(), QStringLiteral("dd.MM.yyyy"));
        m_db->exec("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1");
        m_db->exec("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES(2, 'K10', "
                   "'1 ', #3/9/26#, 0, null)");
        m_db->exec("UPDATE TBSchluessel SET SchluesselNr = 'K11', Funktion = 'Haupteingang ', Gesamt = 3, ZusatzNr = "
                   "True WHERE SchluesselNr = 'K10'");

        VerlaufModel model;
        model.setLines(History::ofKey(QStringLiteral("k11")));
        QCOMPARE(texts(model), (QStringList{"09.03.2026||K11|1|Haupteingang|Schulz Jörg",
                                            "05.03.2026|" + today + "|K11|1|Haupteingang|Meier Anna"}));
        QVERIFY(History::ofKey(QStringLiteral("K10")).isEmpty());
        model.setLines(History::ofPerson(1));
        QCOMPARE(texts(model), QStringList{"05.03.2026|" + today + "|K11|1|Haupteingang|Meier Anna"});

        // Sorting by the return: unknown first, then by day, copies still out last.
        m_db->exec("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES(1, 'K11', "
                   "'2 ', #1/2/99#, 1, null)");
        native("DELETE FROM TBVerlauf WHERE Ereignis = 'Rückgabe' AND BewID = 3"); // as if before the journal
        model.setLines(History::ofKey(QStringLiteral("K11")));
        model.sort(1, Qt::AscendingOrder);
        QCOMPARE(model.cellText(0, 1), QStringLiteral("unbekannt"));
        QCOMPARE(model.cellText(1, 1), today);
        QCOMPARE(model.cellText(2, 1), QString());
        model.sort(0, Qt::AscendingOrder); // by date, across centuries
        QCOMPARE(model.cellText(0, 0), QStringLiteral("02.01.1999"));

        m_db->exec("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 2");
        m_db->exec("DELETE * FROM TBSchluessel WHERE SchluesselNr = 'K11'");
        m_db->exec("DELETE * FROM TBBewegungen WHERE SchluesselNr = 'K11'");
        model.setLines(History::ofPerson(1));
        QCOMPARE(texts(model), (QStringList{"05.03.2026|" + today + "|K11|1|Haupteingang|Meier Anna",
                                            "02.01.1999|unbekannt|K11|2|Haupteingang|Meier Anna"}));
        QCOMPARE(History::ofKey(QStringLiteral("K11")).size(), 3);
    }
};

CLAVARO_TEST_MAIN(TestJournal)
#include "test_journal.moc"

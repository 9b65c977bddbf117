#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Sql.h"
#include "core/SqlError.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

namespace {

const QString kJoin = QStringLiteral(
    "SELECT Von, TBSchluessel.SchluesselNr, TBBewegungen.ZusatzNr, Funktion, Nachname, Vorname, BewID FROM "
    "(TBBewegungen INNER JOIN TBSchluessel ON TBBewegungen.SchluesselNr = TBSchluessel.SchluesselNr) INNER JOIN "
    "TBPersonen ON TBBewegungen.PersonID = TBPersonen.PersID WHERE Status = 0  ORDER BY Von DESC, "
    "TBSchluessel.SchluesselNr ASC, TBBewegungen.ZusatzNr ASC");

QStringList column(const QString& sql, int index = 0)
{
    QStringList values;
    for (Recordset rs = db().openRecordset(sql); !rs.eof(); rs.moveNext())
        values.append(rs.field(index).toString());
    return values;
}

int sqlErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const SqlError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

class TestStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;

    // Two persons (one retired), two keys, three movements (one returned).
    void seed()
    {
        m_db->exec(
            "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Meier', 'Anna ', '17 ', False)");
        m_db->exec("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Alt', ' ', ' ', True)");
        m_db->exec("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('A1', 'Tor ', 2, True)");
        m_db->exec(
            "INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('B2', 'Keller ', 1, False)");
        const QString insert =
            QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, "
                           "Bis) VALUES(%1, '%2', '%3 ', #%4#, %5, null)");
        m_db->exec(insert.arg("1", "A1", "2", "12/31/25", "0"));
        m_db->exec(insert.arg("1", "B2", "", "3/1/26", "0"));
        m_db->exec(insert.arg("2", "A1", "1", "2/1/26", "1"));
    }

private Q_SLOTS:
    void init()
    {
        Clock::setToday(QDate(2026, 12, 5));
        m_db = std::make_unique<TestDatabase>();
    }
    void cleanup()
    {
        m_db.reset();
        Clock::setToday(std::nullopt);
    }

    // Every statement form the windows write, against a real file.
    void statementForms_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("firstColumn");
        QTest::newRow("not retired, ordered") << "SELECT * FROM TBPersonen WHERE NOT Storniert ORDER BY Nachname ASC, "
                                                 "Vorname ASC"
                                              << QStringList{"1"};
        QTest::newRow("= true") << "SELECT PersID FROM TBPersonen WHERE Storniert = true" << QStringList{"2"};
        QTest::newRow("Count in odd case") << "SELECT Count(BewID) FROM TBBEwegungen WHERE Status = 0 AND "
                                              "SchluesselNr = 'A1'"
                                           << QStringList{"1"};
        QTest::newRow("three-table join") << kJoin << QStringList{"2026-03-01", "2025-12-31"};
        QTest::newRow("date comparison") << "SELECT BewID FROM TBBewegungen WHERE Von >= #2/1/26# ORDER BY Von DESC"
                                         << QStringList{"2", "3"};
        QTest::newRow("null") << "SELECT Count(*) FROM TBBewegungen WHERE Bis IS null" << QStringList{"3"};
        QTest::newRow("date right after a literal") << "SELECT 'a'#1/2/26#" << QStringList{"a"};
        QTest::newRow("date right before a literal") << "SELECT #1/2/26#'a'" << QStringList{"2026-01-02"};
        QTest::newRow("leading byte-order mark kept")
            << QStringLiteral("SELECT '\uFEFFa'") << QStringList{QStringLiteral("\uFEFFa")};
        QTest::newRow("quoted text untouched")
            << "SELECT 'DELETE * FROM #1/1/26# True, O''Brien'" << QStringList{"DELETE * FROM #1/1/26# True, O'Brien"};
    }
    void statementForms()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, firstColumn);
        seed();
        QCOMPARE(column(sql), firstColumn);
    }

    void like_data()
    {
        QTest::addColumn<QString>("comparison");
        QTest::addColumn<bool>("matches");
        QTest::newRow("* inside") << "'Schmitt' LIKE '*MIT*'" << true;
        QTest::newRow("* empty run") << "'mit' LIKE '*mit*'" << true;
        QTest::newRow("no wildcard is whole text") << "'Schmitt' LIKE 'mit'" << false;
        QTest::newRow("? one") << "'Meier' LIKE 'M?ier'" << true;
        QTest::newRow("? not none") << "'Mier' LIKE 'M?ier'" << false;
        QTest::newRow("# digit") << "'A17' LIKE 'A#7'" << true;
        QTest::newRow("# not letter") << "'AB7' LIKE 'A#7'" << false;
        QTest::newRow("[abc]") << "'Bx' LIKE '[abc]x'" << true;
        QTest::newRow("[a-c]") << "'bx' LIKE '[a-c]x'" << true;
        QTest::newRow("[!abc]") << "'dx' LIKE '[!abc]x'" << true;
        QTest::newRow("[!abc] refuses") << "'ax' LIKE '[!abc]x'" << false;
        QTest::newRow("[*] literal star") << "'a*b' LIKE 'a[*]b'" << true;
        QTest::newRow("umlaut case") << "'MÜLLER' LIKE 'müll*'" << true;
        QTest::newRow("umlaut is no plain u") << "'Muller' LIKE 'Müll*'" << false;
        QTest::newRow("unclosed [ literal") << "'a[b' LIKE 'a[b'" << true;
        QTest::newRow("a byte-order mark is a character")
            << QStringLiteral("'\uFEFFMeier' LIKE '*\uFEFFMeier*' AND '\uFEFF1b' LIKE '?#?'") << true;
        QTest::newRow("backtracking") << "'abcabcabd' LIKE '*abc*abd'" << true;
        QTest::newRow("null stays unknown") << "(null LIKE '*') IS null AND ('a' LIKE null) IS null" << true;
    }
    void like()
    {
        QFETCH(QString, comparison);
        QFETCH(bool, matches);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT ") + comparison).toInt(), matches ? 1 : 0);
    }

    // Text columns compare ignoring case and trailing blanks, and sort the same way.
    void equalsIgnoresCaseAndTrailingBlanks_data()
    {
        QTest::addColumn<QString>("compared");
        QTest::addColumn<QStringList>("matched");
        QTest::newRow("trailing blank ignored, leading counts") << "12" << QStringList{"12 "};
        QTest::newRow("umlaut case, no plain vowel") << "müll " << QStringList{"MÜLL"};
        QTest::newRow("no prefix") << "1" << QStringList{};
        QTest::newRow("a byte-order mark counts")
            << QStringLiteral("\uFEFFMüll") << QStringList{QStringLiteral("\uFEFFMÜLL")};
    }
    void equalsIgnoresCaseAndTrailingBlanks()
    {
        QFETCH(QString, compared);
        QFETCH(QStringList, matched);
        for (const QString& stored : QStringList{"12 ", " 12", "MÜLL", "Mull", QStringLiteral("\uFEFFMÜLL")})
            m_db->exec(QStringLiteral("INSERT INTO TBBewegungen (ZusatzNr) VALUES('%1')").arg(stored));
        QCOMPARE(column(QStringLiteral("SELECT ZusatzNr FROM TBBewegungen WHERE ZusatzNr = '%1'").arg(compared)),
                 matched);
    }

    void orderIgnoresCase()
    {
        for (const QString& name : QStringList{"zander", "Öztürk", "Becker", "meier", "Adler", "bauer "})
            m_db->exec(QStringLiteral("INSERT INTO TBPersonen (Nachname) VALUES('%1')").arg(name));
        QCOMPARE(column("SELECT Nachname FROM TBPersonen ORDER BY Nachname ASC").join('|'),
                 QStringLiteral("Adler|bauer |Becker|meier|Öztürk|zander"));
    }

    // Dates go in as #m/d/y# literals and come back as days; an invalid day (null here) is refused.
    void dateLiterals_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<QDate>("day");
        QTest::newRow("20 years ahead") << QDate(2026, 12, 5) << "1/1/46" << QDate(2046, 1, 1);
        QTest::newRow("79 years back") << QDate(2026, 12, 5) << "1/1/47" << QDate(1947, 1, 1);
        QTest::newRow("four digits") << QDate(2026, 12, 5) << "12/5/2050" << QDate(2050, 12, 5);
        QTest::newRow("late century: ahead") << QDate(2095, 6, 1) << "3/4/05" << QDate(2105, 3, 4);
        QTest::newRow("late century: back") << QDate(2095, 6, 1) << "3/4/16" << QDate(2016, 3, 4);
        QTest::newRow("no such day") << QDate(2026, 12, 5) << "2/30/26" << QDate();
    }
    void dateLiterals()
    {
        QFETCH(QDate, today);
        QFETCH(QString, literal);
        QFETCH(QDate, day);
        Clock::setToday(today);
        const QString insert = QStringLiteral("INSERT INTO TBBewegungen (Von) VALUES(#%1#)").arg(literal);
        QCOMPARE(sqlErrorOf([&] { m_db->exec(insert); }), day.isValid() ? 0 : 1);
        QCOMPARE(m_db->scalar("SELECT Von FROM TBBewegungen"), day.isValid() ? QVariant(day) : QVariant());
    }

    void quoting()
    {
        seed();
        const QString name = QStringLiteral("O'Brien");
        m_db->exec(QStringLiteral("UPDATE TBPersonen SET Nachname = '%1' WHERE PersID = 1").arg(Sql::sqlText(name)));
        QCOMPARE(m_db->scalar("SELECT Nachname FROM TBPersonen WHERE PersID = 1").toString(), name);
        const QString attack = Sql::sqlText(QStringLiteral("x' OR '1'='1"));
        m_db->exec(QStringLiteral("UPDATE TBPersonen SET Vorname = 'changed' WHERE Nachname = '%1'").arg(attack));
        QCOMPARE(m_db->count("TBPersonen", "Vorname = 'changed'"), 0);
    }

    // Refused whole, nothing changed; a bad character in a typed value is named in the clerk's words.
    void refusedStatements_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        const QString value = QStringLiteral("UPDATE TBPersonen SET Vorname = 'O''Neil %1 x'");
        // Nothing can ride along behind a value.
        QTest::newRow("two statements") << "DELETE FROM TBPersonen; DELETE FROM TBSchluessel" << 1
                                        << "characters found after end of SQL statement";
        QTest::newRow("NUL cuts the statement")
            << QStringLiteral("DELETE * FROM TBPersonen") + QChar(0) + QStringLiteral("WHERE Nachname = 'Meier'") << 1
            << "the statement holds a NUL character outside a text value";
        QTest::newRow("NUL in a value") << value.arg(QChar(0)) << 19
                                        << "Ein eingegebener Text enthält ein Nullzeichen (Zeichencode 0), das nicht "
                                           "gespeichert werden kann. Bitte entfernen Sie es aus: \"O'Neil \uFFFD x\"";
        QTest::newRow("lone surrogate in a value")
            << value.arg(QChar(0xDC00)) << 19
            << "Ein eingegebener Text enthält ein ungültiges Zeichen (eine halbe Unicode-Zeichenkodierung), das nicht "
               "gespeichert werden kann. Bitte entfernen Sie es aus: \"O'Neil \uFFFD x\"";
        QTest::newRow("parameter swallowing a quote") << "UPDATE TBPersonen SET Nachname = $a('), Vorname = 'True'" << 1
                                                      << "statement parameters ($) are not supported";
    }
    void refusedStatements()
    {
        QFETCH(QString, sql);
        QFETCH(int, number);
        QFETCH(QString, description);
        seed();
        try {
            m_db->exec(sql);
            QFAIL("not refused");
        } catch (const SqlError& e) {
            QCOMPARE(e.number(), number);
            QCOMPARE(e.description(), description);
        }
        QCOMPARE(column("SELECT Nachname || Vorname FROM TBPersonen ORDER BY PersID"),
                 (QStringList{"MeierAnna ", "Alt "}));
    }

    void overLongValueRefused_data()
    {
        QTest::addColumn<QString>("insert");
        QTest::addColumn<int>("limit");
        QTest::newRow("Nachname") << "INSERT INTO TBPersonen (Nachname) VALUES('%1')" << 50;
        QTest::newRow("Vorname") << "INSERT INTO TBPersonen (Vorname) VALUES('%1')" << 51;
        QTest::newRow("SchluesselNr") << "INSERT INTO TBSchluessel (SchluesselNr) VALUES('%1')" << 10;
        QTest::newRow("ZusatzNr") << "INSERT INTO TBBewegungen (ZusatzNr) VALUES('%1')" << 11;
    }
    void overLongValueRefused()
    {
        QFETCH(QString, insert);
        QFETCH(int, limit);
        const QString table = insert.section(' ', 2, 2);
        m_db->exec(insert.arg(QString(limit, QChar(0x00DC)))); // counted in characters, not bytes
        QCOMPARE(sqlErrorOf([&] { db().execute(insert.arg(QString(limit + 1, 'x')), true); }), 19);
        QCOMPARE(m_db->count(table), 1);
    }

    void createRefusesExistingFile()
    {
        QCOMPARE(sqlErrorOf([&] { Database::create(m_db->path()); }), 14);
        QCOMPARE(m_db->count("TBPersonen"), 0); // the open file is untouched
    }

    void exclusiveAgainstSecondProcess()
    {
        m_db.reset(); // closes the file
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
        Database::create(path);

        QProcess holder;
        holder.start(QStringLiteral(CLAVARO_LOCK_HOLDER), {path});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("open"));
        QCOMPARE(sqlErrorOf([&] { Database::open(path); }), 5);
        holder.kill(); // SIGKILL: the holder gets no chance to close anything
        QVERIFY(holder.waitForFinished(10000));
        auto reopened = Database::open(path);
        // Within one process the lock holds too, and closing releases it.
        QCOMPARE(sqlErrorOf([&] { Database::open(path); }), 5);
        reopened.reset();
        QVERIFY(Database::open(path) != nullptr);
    }

    void keyNumberCarriedToMovements()
    {
        seed();
        m_db->exec("UPDATE TBSchluessel SET SchluesselNr = 'C3', Funktion = 'Tor ' WHERE SchluesselNr = 'A1'");
        QCOMPARE(m_db->count("TBBewegungen", "SchluesselNr = 'C3'"), 2);
        QCOMPARE(column(kJoin, 1), (QStringList{"B2", "C3"}));
    }

    void transactions()
    {
        seed();
        {
            Database::Transaction outer(db());
            m_db->exec("UPDATE TBSchluessel SET Gesamt = 5 WHERE SchluesselNr = 'A1'");
            {
                Database::Transaction inner(db());
                m_db->exec("UPDATE TBSchluessel SET Gesamt = 9 WHERE SchluesselNr = 'B2'");
            } // not committed: only the inner change goes
            // A statement refused for one row changes no row, and leaves the transaction standing.
            const QString longer = QStringLiteral("UPDATE TBSchluessel SET Funktion = Funktion || '%1'");
            QCOMPARE(sqlErrorOf([&] { m_db->exec(longer.arg(QString(45, 'x'))); }), 19);
            outer.commit();
        }
        QCOMPARE(column("SELECT Gesamt FROM TBSchluessel ORDER BY SchluesselNr"), (QStringList{"5", "1"}));
        QCOMPARE(column("SELECT Funktion FROM TBSchluessel ORDER BY SchluesselNr"), (QStringList{"Tor ", "Keller "}));
        {
            Database::Transaction t(db());
            m_db->exec("DELETE * FROM TBBewegungen");
            QCOMPARE(m_db->count("TBBewegungen"), 0);
        } // not committed: rolled back
        QCOMPARE(m_db->count("TBBewegungen"), 3);
    }

    void recordset()
    {
        seed();
        Recordset rs = db().openRecordset(
            "SELECT TBSchluessel.ZusatzNr, Gesamt, Von, Count(BewID), TBSchluessel.SchluesselNr, Bis FROM "
            "TBSchluessel INNER JOIN TBBewegungen ON TBSchluessel.SchluesselNr = "
            "TBBewegungen.SchluesselNr GROUP BY TBSchluessel.SchluesselNr "
            "ORDER BY TBSchluessel.SchluesselNr");
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.field("zusatzNr"), QVariant(true));
        QCOMPARE(rs.field(3), QVariant(2));
        QCOMPARE(rs.field("TBSchluessel.SchluesselNr"), QVariant(QStringLiteral("A1")));
        QVERIFY(rs.field("Bis").isNull());
        QCOMPARE(sqlErrorOf([&] { rs.field("Nope"); }), 25);
        rs.moveNext();
        QCOMPARE(rs.field("Von"), QVariant(QDate(2026, 3, 1)));
        rs.moveNext();
        QVERIFY(rs.eof());
        QCOMPARE(rs.recordCount(), 2);
    }
};

CLAVARO_TEST_MAIN(TestStore)
#include "test_store.moc"

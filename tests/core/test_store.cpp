#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Schema.h"
#include "core/Sql.h"
#include "core/SqlError.h"
#include "support/Query.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QTemporaryDir>
#include <memory>

// The store against a real file: the statement forms the windows write, LIKE, the text rules, refusals, the
// schema of older registers and its text limits.
class TestStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;

    // Two persons (one retired), two keys, three movements (one returned); keys F1... hold texts to compare.
    void seed()
    {
        m_db->exec("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Meier', 'Anna ', '17 ', "
                   "False), ('Alt', ' ', ' ', True)");
        m_db->exec("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('A1', 'Tor ', 2, True), "
                   "('B2', 'Keller ', 1, False)");
        m_db->exec(
            QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion) VALUES('F1', '12 '), ('F2', ' 12'), "
                           "('F3', 'MÜLL'), ('F4', 'Mull'), ('F5', '\uFEFFMÜLL'), ('F6', 'bauer '), "
                           "('F7', 'Öztürk'), ('F8', 'zander')"));
        m_db->exec(
            "INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES(1, 'A1', '2 ', "
            "#12/31/25#, 0, null), (1, 'B2', ' ', #3/1/26#, 0, null), (2, 'A1', '1 ', #2/1/26#, 1, null)");
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

    void queries_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("result");
        const auto row = [](const char* name, const QString& sql, const QString& result) {
            QTest::newRow(name) << sql << result;
        };
        // Several texts matched against patterns in one query ("text pattern"), each giving "1" or "0".
        const auto like = [](const QStringList& cases) {
            QStringList conditions;
            for (const QString& c : cases)
                conditions << "('" + c.section(u' ', 0, 0) + "' LIKE '" + c.section(u' ', 1) + "')";
            return "SELECT " + conditions.join(" || ");
        };
        row("date beside a literal", "SELECT 'a'#1/2/26# UNION ALL SELECT #1/2/26#'a'", "a|2026-01-02");
        // Text columns compare and sort ignoring case and trailing blanks; an umlaut is no plain vowel.
        row("=", "SELECT Funktion FROM TBSchluessel WHERE Funktion IN ('12', 'müll ', '1', 'tor')", "Tor |12 |MÜLL");
        row("= with byte-order mark, read back",
            QStringLiteral("SELECT Funktion FROM TBSchluessel WHERE Funktion = '\uFEFFMüll'"),
            QStringLiteral("\uFEFFMÜLL"));
        row("ORDER BY", "SELECT Funktion FROM TBSchluessel WHERE SchluesselNr <> 'F5' ORDER BY Funktion",
            " 12|12 |bauer |Keller |Mull|MÜLL|Öztürk|Tor |zander");
        row("LIKE *", like({"Schmitt *MIT*", "mit *mit*", "Schmitt mit", "abcabcabd *abc*abd"}), "1101");
        row("LIKE ? #", like({"Meier M?ier", "Mier M?ier", "A17 A#7", "AB7 A#7"}), "1010");
        row("LIKE [ ]", like({"Bx [abc]x", "bx [a-c]x", "dx [!abc]x", "ax [!abc]x", "a*b a[*]b", "a[b a[b"}), "111011");
        row("LIKE umlauts", like({"MÜLLER müll*", "Muller Müll*"}), "10");
        row("LIKE byte-order mark", like({QStringLiteral("\uFEFFMeier *\uFEFFMeier*"), QStringLiteral("\uFEFF1b ?#?")}),
            "11");
        row("LIKE null", "SELECT (null LIKE '*') IS null AND ('a' LIKE null) IS null", "1");
    }
    void queries()
    {
        QFETCH(QString, sql);
        QFETCH(QString, result);
        seed();
        QCOMPARE(column(sql), result);
    }

    // Every day a statement writes reads back as that day: a two-digit year in the window from 79 years back
    // to 20 ahead of today (moving with it across a century's end), any other in four digits, padded.
    void dateLiterals_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("literal");
        const QDate now(2026, 12, 5);
        QTest::newRow("today") << now << now << "12/5/26";
        QTest::newRow("79 years back") << now << QDate(1947, 1, 1) << "1/1/47";
        QTest::newRow("80 years back") << now << QDate(1946, 12, 31) << "12/31/1946";
        QTest::newRow("20 years ahead") << now << QDate(2046, 1, 1) << "1/1/46";
        QTest::newRow("21 years ahead") << now << QDate(2047, 1, 1) << "1/1/2047";
        QTest::newRow("year 50") << now << QDate(50, 1, 1) << "1/1/0050";
        QTest::newRow("year 999") << now << QDate(999, 1, 1) << "1/1/0999";
        QTest::newRow("after a century's end, ahead") << QDate(2095, 6, 1) << QDate(2115, 3, 4) << "3/4/15";
        QTest::newRow("after a century's end, back") << QDate(2095, 6, 1) << QDate(2016, 3, 4) << "3/4/16";
    }
    void dateLiterals()
    {
        QFETCH(QDate, today);
        QFETCH(QDate, day);
        QFETCH(QString, literal);
        Clock::setToday(today);
        QCOMPARE(Sql::dateLiteral(day), literal);
        QCOMPARE(column("SELECT #" + literal + "#"), day.toString(Qt::ISODate));
    }

    // Refused whole, nothing changed; a bad character in a typed value is named in the clerk's words.
    void refusedStatements_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("refused");
        const QString value = QStringLiteral("UPDATE TBPersonen SET Vorname = 'O''Neil %1 x'");
        QTest::newRow("two statements") << "DELETE FROM TBPersonen; DELETE FROM TBSchluessel"
                                        << "1 (characters found after end of SQL statement)";
        QTest::newRow("NUL cuts the statement")
            << QStringLiteral("DELETE * FROM TBPersonen") + QChar(0) + QStringLiteral("WHERE Nachname = 'Meier'")
            << "1 (the statement holds a NUL character outside a text value)";
        QTest::newRow("NUL in a value") << value.arg(QChar(0))
                                        << "19 (Ein eingegebener Text enthält ein Nullzeichen (Zeichencode 0), das "
                                           "nicht gespeichert werden kann. Bitte entfernen Sie es aus: \"O'Neil \uFFFD "
                                           "x\")";
        QTest::newRow("lone surrogate in a value")
            << value.arg(QChar(0xDC00))
            << "19 (Ein eingegebener Text enthält ein ungültiges Zeichen (eine halbe Unicode-Zeichenkodierung), das "
               "nicht gespeichert werden kann. Bitte entfernen Sie es aus: \"O'Neil \uFFFD x\")";
        QTest::newRow("no such day") << "INSERT INTO TBBewegungen (Von) VALUES(#2/30/26#)"
                                     << "1 (invalid date literal #2/30/26#)";
        QTest::newRow("parameter swallowing a quote") << "UPDATE TBPersonen SET Nachname = $a('), Vorname = 'True'"
                                                      << "1 (statement parameters ($) are not supported)";
    }
    void refusedStatements()
    {
        QFETCH(QString, sql);
        QFETCH(QString, refused);
        seed();
        QCOMPARE(refusal([&] { m_db->exec(sql); }), refused);
        QCOMPARE(column("SELECT Nachname || Vorname FROM TBPersonen ORDER BY PersID"), "MeierAnna |Alt ");
        QCOMPARE(m_db->count("TBSchluessel"), 10);
    }

    void exclusiveAgainstSecondProcess()
    {
        m_db.reset(); // closes the file
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
        Database::create(path);
        QVERIFY(refusal([&] { Database::create(path); }).startsWith("14 (")); // never written over

        QProcess holder;
        holder.start(QStringLiteral(CLAVARO_LOCK_HOLDER), {path});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("open"));
        QCOMPARE(refusal([&] { Database::open(path); }), "5 (database is locked)");
        holder.kill(); // SIGKILL: the holder gets no chance to close anything
        QVERIFY(holder.waitForFinished(10000));
        auto reopened = Database::open(path);
        reopened.reset(); // closing releases the lock
        QVERIFY(Database::open(path) != nullptr);
    }

    // Fields by name without case and by number, typed by their own table's column; an unknown name is refused.
    void recordset()
    {
        seed();
        Recordset rs = db().openRecordset("SELECT Bis, TBSchluessel.ZusatzNr, Gesamt, Von FROM TBBewegungen INNER JOIN "
                                          "TBSchluessel ON TBSchluessel.SchluesselNr = TBBewegungen.SchluesselNr "
                                          "ORDER BY Von DESC");
        QCOMPARE((QVariantList{rs.field("bis"), rs.field("zusatzNr"), rs.field(2), rs.field(3)}),
                 (QVariantList{QVariant(), false, 1, QDate(2026, 3, 1)}));
        QCOMPARE(refusal([&] { rs.field("Nope"); }), "25 (item not found in this collection: Nope)");
    }

    // An older register is upgraded once, to exactly the schema of a register created new.
    void everyOlderVersionIsUpgradedOnce()
    {
        // An index and a trigger may share a name; their places in sqlite_master move when the file is compacted.
        const QString objects =
            QStringLiteral("SELECT printf('%s %s %s', type, name, sql) FROM sqlite_master ORDER BY name, type");
        const QString current = column(objects);
        for (int from = 0; from < Schema::version(); ++from) {
            const QString older = m_db->dir() + QStringLiteral("/v%1.MDB").arg(from);
            Database::createAtVersion(older, from);
            auto db = Database::open(older);
            QCOMPARE(column(*db, "PRAGMA user_version"), QString::number(from));
            Schema::upgrade(*db);
            QCOMPARE(column(*db, objects), current);
            QCOMPARE(column(*db, "PRAGMA user_version"), QString::number(Schema::version()));

            // Once up to date, nothing is written again.
            const QString schema = column(*db, "PRAGMA schema_version");
            Schema::upgrade(*db);
            QCOMPARE(column(*db, "PRAGMA schema_version"), schema);
        }
    }

    // The text limits the program reads are those the register's CHECKs hold, counted in characters.
    void textLimitsAreTheChecks()
    {
        int keys = 0;
        for (const QString& table : Schema::tables()) {
            const QStringList texts =
                column("SELECT name FROM pragma_table_info('" + table + "') WHERE type = 'TEXT'").split(u'|');
            for (const QString& name : texts) {
                const int limit = Schema::textLimit(table, name);
                // A key needs its number; every other column goes in alone.
                const bool key = table == "TBSchluessel" && name != "SchluesselNr";
                const auto insert = [&](int length) {
                    return refusal([&] {
                        db().execute(QStringLiteral("INSERT INTO %1 (%2%3) VALUES ('%4'%5)")
                                         .arg(table, name, key ? ", SchluesselNr" : "", QString(length, u'ü'),
                                              key ? QStringLiteral(", 'K%1'").arg(++keys) : QString()));
                    });
                };
                QCOMPARE(insert(limit > 0 ? limit : 1000), QString());
                QCOMPARE(insert(limit > 0 ? limit + 1 : 1000).isEmpty(), limit == 0);
            }
        }
    }
};

CLAVARO_TEST_MAIN(TestStore)
#include "test_store.moc"

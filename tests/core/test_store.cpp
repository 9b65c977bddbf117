#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Dialect.h"
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

    void translate_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("executed");
        QTest::newRow("delete star") << "DELETE * FROM TBKopfDaten"
                                     << "DELETE FROM TBKopfDaten";
        QTest::newRow("delete star where") << "delete  *  from T WHERE a = 'x'"
                                           << "delete from T WHERE a = 'x'";
        QTest::newRow("date") << "WHERE Von >= #3/1/26#"
                              << "WHERE Von >= '2026-03-01'";
        QTest::newRow("date four-digit year") << "VALUES(#12/5/2026#)"
                                              << "VALUES('2026-12-05')";
        QTest::newRow("yes/no") << "SET a = True, b = false WHERE NOT c"
                                << "SET a = 1, b = 0 WHERE NOT c";
        QTest::newRow("literals untouched") << "SET a = 'DELETE * FROM #1/1/26# True', b = 'O''Brien #x#'"
                                            << "SET a = 'DELETE * FROM #1/1/26# True', b = 'O''Brien #x#'";
        QTest::newRow("quoted names untouched") << "SELECT [True], \"#1/1/26#\" FROM t"
                                                << "SELECT [True], \"#1/1/26#\" FROM t";
        QTest::newRow("word containing true") << "SELECT Trueness, untrue FROM t"
                                              << "SELECT Trueness, untrue FROM t";
    }
    void translate()
    {
        QFETCH(QString, written);
        QFETCH(QString, executed);
        QCOMPARE(Dialect::translate(written), executed);
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
        QTest::newRow("header in odd case") << "SELECT AnlagenNr FROM TBKopfDaten" << QStringList{};
    }
    void statementForms()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, firstColumn);
        seed();
        QCOMPARE(column(sql), firstColumn);
    }

    void actionForms()
    {
        seed();
        m_db->exec("UPDATE TBPersonen SET Storniert = true WHERE PersID = 1");
        QCOMPARE(m_db->count("TBPersonen", "NOT Storniert"), 0);
        m_db->exec("DELETE * FROM TBBewegungen WHERE SchluesselNr = 'A1'");
        QCOMPARE(m_db->count("TBBewegungen"), 1);
        m_db->exec("DELETE * FROM TBBewegungen");
        QCOMPARE(m_db->count("TBBewegungen"), 0);
    }

    void like_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("* inside") << "Schmitt"
                                  << "*MIT*" << true;
        QTest::newRow("* empty run") << "mit"
                                     << "*mit*" << true;
        QTest::newRow("no wildcard is whole text") << "Schmitt"
                                                   << "mit" << false;
        QTest::newRow("? one") << "Meier"
                               << "M?ier" << true;
        QTest::newRow("? not none") << "Mier"
                                    << "M?ier" << false;
        QTest::newRow("# digit") << "A17"
                                 << "A#7" << true;
        QTest::newRow("# not letter") << "AB7"
                                      << "A#7" << false;
        QTest::newRow("[abc]") << "Bx"
                               << "[abc]x" << true;
        QTest::newRow("[a-c]") << "cx"
                               << "[a-c]x" << true;
        QTest::newRow("[a-c] outside") << "dx"
                                       << "[a-c]x" << false;
        QTest::newRow("[!abc]") << "dx"
                                << "[!abc]x" << true;
        QTest::newRow("[!abc] refuses") << "ax"
                                        << "[!abc]x" << false;
        QTest::newRow("[*] literal star") << "a*b"
                                          << "a[*]b" << true;
        QTest::newRow("umlaut case") << "MÜLLER"
                                     << "müll*" << true;
        QTest::newRow("umlaut is no plain u") << "Muller"
                                              << "Müll*" << false;
        QTest::newRow("unclosed [ literal") << "a[b"
                                            << "a[b" << true;
        QTest::newRow("unclosed [ no wildcard") << "ab"
                                                << "a[b" << false;
        QTest::newRow("backtracking") << "abcabcabd"
                                      << "*abc*abd" << true;
    }
    void like()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        const QVariant v = m_db->scalar(QStringLiteral("SELECT '%1' LIKE '%2'").arg(text, pattern));
        QCOMPARE(v.toInt(), matches ? 1 : 0);
    }

    void likeWithNull()
    {
        QVERIFY(m_db->scalar("SELECT null LIKE '*'").isNull());
        QVERIFY(m_db->scalar("SELECT 'a' LIKE null").isNull());
    }

    void equalsIgnoresCaseAndTrailingBlanks_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("compared");
        QTest::addColumn<bool>("equal");
        QTest::newRow("trailing blank") << "12 "
                                        << "12" << true;
        QTest::newRow("case") << "ab"
                              << "AB" << true;
        QTest::newRow("umlaut case") << "MÜLL"
                                     << "müll " << true;
        QTest::newRow("leading blank counts") << " 12"
                                              << "12" << false;
        QTest::newRow("umlaut differs from vowel") << "Müll"
                                                   << "Mull" << false;
        QTest::newRow("prefix") << "12"
                                << "123" << false;
    }
    void equalsIgnoresCaseAndTrailingBlanks()
    {
        QFETCH(QString, stored);
        QFETCH(QString, compared);
        QFETCH(bool, equal);
        m_db->exec(QStringLiteral("INSERT INTO TBBewegungen (ZusatzNr) VALUES('%1')").arg(stored));
        QCOMPARE(m_db->count("TBBewegungen", QStringLiteral("ZusatzNr = '%1'").arg(compared)), equal ? 1 : 0);
    }

    void orderIgnoresCase()
    {
        for (const char* name : {"zander", "Öztürk", "Becker", "meier", "Adler", "bauer "})
            m_db->exec(QStringLiteral("INSERT INTO TBPersonen (Nachname) VALUES('%1')").arg(QString::fromUtf8(name)));
        QCOMPARE(column("SELECT Nachname FROM TBPersonen ORDER BY Nachname ASC").join('|'),
                 QString::fromUtf8("Adler|bauer |Becker|meier|Öztürk|zander"));
        // Key numbers are unique regardless of case.
        m_db->exec("INSERT INTO TBSchluessel (SchluesselNr) VALUES('AB1')");
        QCOMPARE(sqlErrorOf([&] { m_db->exec("INSERT INTO TBSchluessel (SchluesselNr) VALUES('ab1 ')"); }), 19);
    }

    void centuryWindow_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<QDate>("day");
        QTest::newRow("today") << QDate(2026, 12, 5) << "12/5/26" << QDate(2026, 12, 5);
        QTest::newRow("20 years ahead") << QDate(2026, 12, 5) << "1/1/46" << QDate(2046, 1, 1);
        QTest::newRow("79 years back") << QDate(2026, 12, 5) << "1/1/47" << QDate(1947, 1, 1);
        QTest::newRow("four digits") << QDate(2026, 12, 5) << "1/1/2050" << QDate(2050, 1, 1);
        QTest::newRow("late century: ahead") << QDate(2095, 6, 1) << "3/4/05" << QDate(2105, 3, 4);
        QTest::newRow("late century: back") << QDate(2095, 6, 1) << "3/4/16" << QDate(2016, 3, 4);
    }
    void centuryWindow()
    {
        QFETCH(QDate, today);
        QFETCH(QString, literal);
        QFETCH(QDate, day);
        Clock::setToday(today);
        m_db->exec(QStringLiteral("INSERT INTO TBBewegungen (Von) VALUES(#%1#)").arg(literal));
        QCOMPARE(m_db->scalar("SELECT Von FROM TBBewegungen"), QVariant(day));
    }

    void badDateLiteralRefused()
    {
        for (const char* literal : {"#2/30/26#", "#12/5#", "#1/1/126#", "#12/5/26"}) {
            const QString sql = QStringLiteral("INSERT INTO TBBewegungen (Von) VALUES(%1)").arg(literal);
            QCOMPARE(sqlErrorOf([&] { m_db->exec(sql); }), 1);
        }
        QCOMPARE(m_db->count("TBBewegungen"), 0);
    }

    void quoting()
    {
        seed();
        const QString name = QStringLiteral("O'Brien");
        m_db->exec(QStringLiteral("UPDATE TBPersonen SET Nachname = '%1' WHERE PersID = 1").arg(Sql::sqlText(name)));
        QCOMPARE(m_db->scalar("SELECT Nachname FROM TBPersonen WHERE PersID = 1").toString(), name);

        const QString attack = QStringLiteral("x' OR '1'='1");
        m_db->exec(
            QStringLiteral("UPDATE TBPersonen SET Vorname = '%1' WHERE Nachname = '%1'").arg(Sql::sqlText(attack)));
        QCOMPARE(m_db->count("TBPersonen", "Vorname = 'Anna'"), 1);
        m_db->exec(QStringLiteral("UPDATE TBPersonen SET Vorname = '%1' WHERE PersID = 2").arg(Sql::sqlText(attack)));
        QCOMPARE(column("SELECT Vorname FROM TBPersonen ORDER BY PersID"), (QStringList{"Anna ", attack}));
    }

    void overLongValueRefused_data()
    {
        QTest::addColumn<QString>("insert");
        QTest::addColumn<int>("limit");
        QTest::newRow("Nachname") << "INSERT INTO TBPersonen (Nachname) VALUES('%1')" << 50;
        QTest::newRow("Vorname") << "INSERT INTO TBPersonen (Vorname) VALUES('%1')" << 51;
        QTest::newRow("PersNr") << "INSERT INTO TBPersonen (PersNr) VALUES('%1')" << 21;
        QTest::newRow("SchluesselNr") << "INSERT INTO TBSchluessel (SchluesselNr) VALUES('%1')" << 10;
        QTest::newRow("Funktion") << "INSERT INTO TBSchluessel (SchluesselNr, Funktion) VALUES('K', '%1')" << 51;
        QTest::newRow("ZusatzNr") << "INSERT INTO TBBewegungen (ZusatzNr) VALUES('%1')" << 11;
        QTest::newRow("movement SchluesselNr") << "INSERT INTO TBBewegungen (SchluesselNr) VALUES('%1')" << 10;
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

    void openRefuses_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("number");
        QTest::newRow("garbage") << QByteArray(4096, 'x') << 26;
        QTest::newRow("empty file") << QByteArray() << 26;
    }
    void openRefuses()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, number);
        const QString path = m_db->dir() + QStringLiteral("/other.mdb");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QCOMPARE(sqlErrorOf([&] { Database::open(path); }), number);
        QCOMPARE(sqlErrorOf([&] { Database::open(m_db->dir() + QStringLiteral("/missing.mdb")); }), 14);
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
        try {
            Database::open(path);
            QFAIL("a second opener got in");
        } catch (const SqlError& e) {
            QCOMPARE(e.number(), 5);
            QVERIFY2(e.description().contains(QLatin1String("locked")), qPrintable(e.description()));
        }
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
            // A refused statement changes nothing, and leaves the rest of the transaction standing.
            QCOMPARE(sqlErrorOf([&] {
                         m_db->exec("UPDATE TBSchluessel SET Funktion = Funktion || "
                                    "'1234567890123456789012345678901234567890123456789'");
                     }),
                     19);
            outer.commit();
        }
        QCOMPARE(column("SELECT Gesamt FROM TBSchluessel ORDER BY SchluesselNr"), (QStringList{"5", "1"}));
        QCOMPARE(column("SELECT Funktion FROM TBSchluessel ORDER BY SchluesselNr"), (QStringList{"Tor ", "Keller "}));
        {
            Database::Transaction t(db());
            m_db->exec("DELETE * FROM TBBewegungen");
        }
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
        QCOMPARE(rs.field("GESAMT").typeId(), QMetaType::Int);
        QCOMPARE(rs.field(3), QVariant(2));
        QCOMPARE(rs.field("TBSchluessel.SchluesselNr"), QVariant(QStringLiteral("A1")));
        QVERIFY(rs.field("Bis").isNull());
        QCOMPARE(sqlErrorOf([&] { rs.field("Nope"); }), 25);
        rs.moveNext();
        QCOMPARE(rs.field("Von"), QVariant(QDate(2026, 3, 1)));
        rs.moveNext();
        QVERIFY(rs.eof());
        QCOMPARE(rs.recordCount(), 2);
        rs.close();

        Recordset empty = db().openRecordset("SELECT * FROM TBKopfdaten");
        QVERIFY(empty.eof());
        QCOMPARE(empty.recordCount(), 0);
    }

    void observerAndSingleStatements()
    {
        QList<QPair<QString, QString>> seen;
        db().setObserver([&](const QString& written, const QString& executed) { seen.append({written, executed}); });
        m_db->exec("DELETE * FROM TBKopfDaten");
        QCOMPARE(seen, (QList<QPair<QString, QString>>{{"DELETE * FROM TBKopfDaten", "DELETE FROM TBKopfDaten"}}));
        QCOMPARE(sqlErrorOf([&] { m_db->exec("DELETE FROM TBPersonen; DELETE FROM TBSchluessel"); }), 1);
        QCOMPARE(sqlErrorOf([&] { m_db->exec("SELECT * FROM TBPersonen"); }), 21);
        QCOMPARE(sqlErrorOf([&] { m_db->exec("SELECT * FROM TBNichtDa"); }), 1);
        QCOMPARE(seen.size(), 4);
        db().setObserver({});
    }
};

CLAVARO_TEST_MAIN(TestStore)
#include "test_store.moc"

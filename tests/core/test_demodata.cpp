#include "core/Clock.h"
#include "core/Database.h"
#include "core/DemoData.h"
#include "core/RegisterCheck.h"
#include "core/SqlError.h"
#include "support/Query.h"
#include "support/TestMain.h"

#include <QTemporaryDir>

Q_DECLARE_METATYPE(DemoData::Size)

// The demo register: what the windows rely on holds in it.
class TestDemoData : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void init() { Clock::setToday(QDate(2026, 3, 5)); }
    void cleanup() { Clock::setToday(std::nullopt); }

    void consistent_data()
    {
        QTest::addColumn<DemoData::Size>("size");
        QTest::newRow("demo") << DemoData::demo();
        // Scaled down from the largest site: most stock out, a person list of several pages.
        QTest::newRow("busy") << DemoData::Size{
            .persons = 900, .retired = 40, .keys = 700, .movements = 20000, .out = 2500, .years = 10};
    }
    void consistent()
    {
        QFETCH(DemoData::Size, size);
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".MDB"));
        DemoData::create(path, size);
        // The same day gives the same file; an existing file is never written over.
        DemoData::create(path + QStringLiteral("2"), size);
        QVERIFY(fileContent(path) == fileContent(path + QStringLiteral("2")));
        QVERIFY_THROWS_EXCEPTION(SqlError, DemoData::create(path, size));
        // Sound for --check: no movement without its person or key, no more copies out than exist, one header.
        QCOMPARE(RegisterCheck::run(path).problems, 0);
        auto db = Database::open(path);
        const auto count = [&](const QString& sql) {
            return db->openRecordset("SELECT Count(*) " + sql).field(0).toInt();
        };

        QCOMPARE(QList<int>({count("FROM TBPersonen WHERE NOT Storniert"), count("FROM TBPersonen WHERE Storniert"),
                             count("FROM TBSchluessel"), count("FROM TBBewegungen"),
                             count("FROM TBBewegungen WHERE Status = 0")}),
                 QList<int>({size.persons, size.retired, size.keys, size.movements, size.out}));
        // Nothing the handout checks refuse, stored as the program stores it (appended blanks, dates, numbering).
        const QStringList faults{
            "FROM (SELECT b.SchluesselNr FROM TBBewegungen b INNER JOIN TBSchluessel k ON b.SchluesselNr = "
            "k.SchluesselNr WHERE Status = 0 AND k.ZusatzNr GROUP BY b.SchluesselNr, b.ZusatzNr HAVING Count(*) > 1 "
            "OR b.ZusatzNr = ' ')",
            "FROM TBBewegungen INNER JOIN TBPersonen ON PersonID = PersID WHERE Status = 0 AND Storniert",
            "FROM TBPersonen WHERE substr(Vorname, -1) <> ' ' OR substr(PersNr, -1) <> ' '",
            QStringLiteral("FROM TBBewegungen WHERE substr(ZusatzNr, -1) <> ' ' OR Bis IS NOT NULL OR Von > "
                           "'2026-03-05' OR Von <= date('2026-03-05', '-%1 days')")
                .arg(size.years * 365),
            "FROM TBBewegungen a INNER JOIN TBBewegungen b ON b.BewID = a.BewID + 1 WHERE b.Von < a.Von"};
        for (const QString& fault : faults)
            QVERIFY2(count(fault) == 0, qPrintable(fault));
        QCOMPARE(count("FROM TBKopfdaten WHERE trim(AnlagenNr) <> ''"), 1); // the first start asks nothing
    }
};

CLAVARO_TEST_MAIN(TestDemoData)
#include "test_demodata.moc"

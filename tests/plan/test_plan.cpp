// The locking plan: the lock maker's file, the plan in the register, who can open a door, a lost copy.
#include "core/Csv.h"
#include "history/History.h"
#include "history/VerlaufModel.h"
#include "plan/PlanFile.h"
#include "plan/Schliessplan.h"
#include "plan/Verlust.h"
#include "support/Program.h"
#include "support/Query.h"
#include "support/RecordingPrinter.h"
#include "support/TestData.h"
#include "support/TestMain.h"

namespace {

// The plan of the tests: B1 opens both doors, K2 the cellar, GHS (the register lacks it) everything.
const QByteArray kPlan = "\xEF\xBB\xBFZylinder;Tür;B1;K2;GHS\r\n"
                         "Z-01;\"Büro; Süd\";X;;x\r\n"
                         "Z-02;Keller;X;X;X\r\n";

// Meier holds B1/1 and K2, Schulz B1/2, Abel (retired copy returned) nothing.
void seed(TestDatabase& t)
{
    addPerson(t, "Meier", "Anna", "17");
    addPerson(t, "Schulz", "Jörg");
    addKey(t, "B1", "Gruppe ", 3, true);
    addKey(t, "K2", "Keller ", 1);
    addMovement(t, "B1", 0, 1, "3/5/26", "1");
    addMovement(t, "B1", 0, 2, "3/6/26", "2");
    addMovement(t, "K2", 0, 1, "3/7/26");
}

// "Z-01:Büro; Süd:B1,GHS|…": each cylinder with its door and keys.
QString shown(const PlanMatrix& plan)
{
    QStringList cylinders;
    for (const PlanMatrix::Cylinder& c : plan.cylinders) {
        QStringList keys;
        for (const int k : c.keys)
            keys << plan.keys.at(k);
        cylinders << c.number + ':' + c.door + ':' + keys.join(',');
    }
    return cylinders.join('|');
}

} // namespace

class TestPlan : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        seed(*m_db);
    }
    void cleanup() { m_db.reset(); }

    // The forms a spreadsheet program saves, and files that are no plan, with the reason.
    void readsFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected"); // the plan as shown(), or the reason it is refused
        QTest::newRow("';', BOM, CRLF, quoted ';'") << kPlan << "Z-01:Büro; Süd:B1,GHS|Z-02:Keller:B1,K2,GHS";
        QTest::newRow("',', Windows-1252, LF, blank lines, trailing empty column")
            << QByteArray("Zylinder,T\xFCr,B1,\n\nZ-01,\"T\xFCr \"\"A\"\"\",X,\n") << "Z-01:Tür \"A\":B1";
        QTest::newRow("quote left open") << QByteArray("Zylinder;Tür;B1\nZ-01;\"Büro;X\n")
                                         << "Zeile 2: Ein Anführungszeichen wird nicht geschlossen.";
        QTest::newRow("not a plan") << QByteArray("Nr;Raum;B1\n")
                                    << "Die erste Zeile eines Schließplans beginnt mit Zylinder und Tür.";
        QTest::newRow("key twice") << QByteArray("Zylinder;Tür;B1;b1\n")
                                   << "Der Schlüssel b1 steht zweimal in der ersten Zeile.";
        QTest::newRow("cylinder twice") << QByteArray("Zylinder;Tür;B1\nZ-01;;X\nz-01 ;;\n")
                                        << "Der Zylinder z-01 steht zweimal im Plan (Zeilen 2 und 3).";
        QTest::newRow("other mark") << QByteArray("Zylinder;Tür;B1\nZ-01;;1\n")
                                    << "Zeile 2, Spalte 3: „1“ ist weder X noch leer.";
        QTest::newRow("X without a key") << QByteArray("Zylinder;Tür;B1\nZ-01;;X;X\n")
                                         << "Zeile 2, Spalte 4: die Spalte nennt keinen Schlüssel.";
        QTest::newRow("X without a cylinder")
            << QByteArray("Zylinder;Tür;B1\n;Flur;X\n") << "Zeile 2: es fehlt die Zylindernummer.";
    }
    void readsFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QString error;
        const auto rows = Csv::parse(bytes, &error);
        const auto plan = rows ? PlanFile::fromRows(*rows, &error) : std::nullopt;
        QCOMPARE(plan ? shown(*plan) : error, expected);
    }

    // A first import creates the missing key and reports the one the rule would change; the export reads
    // back as the same plan and a second import of it changes nothing; a changed plan reports its changes,
    // and a cylinder that stays keeps its area.
    void importExportReimport()
    {
        QByteArray first = kPlan;
        first.replace("GHS\r\n", "GHS;k-o\r\n");
        const Schliessplan::ImportReport report = Schliessplan::import(db(), planOf(first));
        QCOMPARE(report.lines(),
                 (QStringList{"Der Schließplan hat jetzt 2 Zylinder und 5 Schließungen.",
                              "Neue Schlüssel (Gesamtstand 0): 1", "  GHS",
                              "Nicht übernommen, die Schlüsselnummer wäre nach der Regel eine "
                              "andere: 1",
                              "  k-o (K0)", "Neue Zylinder: 2 (mit 5 Schließungen)", "  Z-01", "  Z-02"}));
        QCOMPARE(column("SELECT printf('%s,%s,%s', SchluesselNr, Gesamt, ZusatzNr) FROM TBSchluessel WHERE "
                        "SchluesselNr = 'GHS'"),
                 "GHS,0,0");
        m_db->exec("UPDATE TBZylinder SET Bereich = 'Haus A' WHERE ZylinderNr = 'Z-02'");

        const QString file = m_db->dir() + "/plan.csv";
        QString error;
        QVERIFY(PlanFile::write(file, Schliessplan::stored(db()), &error));
        QCOMPARE(fileContent(file), QByteArray(kPlan).replace(";x\r", ";X\r"));
        const Schliessplan::ImportReport again = Schliessplan::import(db(), *PlanFile::read(file, &error));
        QCOMPARE(again.lines(), QStringList{"Der Schließplan hat jetzt 2 Zylinder und 5 Schließungen."});

        const QByteArray changed = "Zylinder;Tür;B1;K2;GHS\nZ-03;Neu;X;;\nZ-02;Lager;;X;X\n";
        QCOMPARE(
            Schliessplan::import(db(), planOf(changed)).lines(),
            (QStringList{"Der Schließplan hat jetzt 2 Zylinder und 3 Schließungen.",
                         "Neue Zylinder: 1 (mit 1 Schließungen)", "  Z-03", "Entfernte Zylinder: 1", "  Z-01",
                         "Geänderte Türen: 1", "  Z-02: Keller → Lager", "Entfernte Schließungen: 1", "  Z-02: B1"}));
        QCOMPARE(shown(Schliessplan::stored(db())), "Z-03:Neu:B1|Z-02:Lager:K2,GHS");
        QCOMPARE(Schliessplan::cylinder(db(), "z-02")->area, "Haus A");
    }

    // A renumbered key keeps its crossings, a deleted one takes them along; the journal records every
    // change to the plan, by the key and by the cylinder.
    void followsTheKey()
    {
        Schliessplan::import(db(), planOf(kPlan));
        const int before = m_db->scalar("SELECT max(VerlaufID) FROM TBVerlauf").toInt();
        m_db->exec("UPDATE TBSchluessel SET SchluesselNr = 'B7' WHERE SchluesselNr = 'B1'");
        m_db->exec("DELETE * FROM TBSchluessel WHERE SchluesselNr = 'GHS'");
        Schliessplan::setCrossing(db(), "Z-01", "K2", true);
        m_db->exec("UPDATE TBZylinder SET Bereich = 'Haus A' WHERE ZylinderNr = 'Z-02'");
        QCOMPARE(shown(Schliessplan::stored(db())), "Z-01:Büro; Süd:B7,K2|Z-02:Keller:B7,K2");
        QCOMPARE(column(QStringLiteral("SELECT Beschreibung FROM VVerlauf WHERE VerlaufID > %1 AND Art >= 40 ORDER "
                                       "BY ZylinderNr, VerlaufID")
                            .arg(before)),
                 "Schlüssel GHS schließt Zylinder Z-01 nicht mehr|Schlüssel K2 schließt jetzt Zylinder Z-01|"
                 "Schlüssel GHS schließt Zylinder Z-02 nicht mehr|"
                 "Zylinder Z-02 geändert (vorher: Keller; jetzt: Keller, Bereich Haus A)");
    }

    // From the command line: holders of a door and doors of a key; an unreadable plan changes nothing.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // stdout, else the start of stderr
        QTest::newRow("who can open the cellar")
            << QStringList{"--who-can-open", "z-02"} << 0
            << "Meier;Anna;17;B1;1;05.03.2026\nMeier;Anna;17;K2;;07.03.2026\nSchulz;Jörg;;B1;2;06.03.2026\n";
        QTest::newRow("no such cylinder")
            << QStringList{"--who-can-open", "Z-9"} << 1 << "clavaro: Kein Zylinder Z-9 im Schließplan.";
        QTest::newRow("doors of B1") << QStringList{"--doors-of", "b1"} << 0 << "Z-01;\"Büro; Süd\";\nZ-02;Keller;\n";
        QTest::newRow("unreadable plan") << QStringList{"--import-locking-plan", "/nonexistent/plan.csv"} << 1 << "clavaro: ";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        Schliessplan::import(db(), planOf(kPlan));
        app().DB.reset(); // the program opens the file for itself
        const QByteArray before = fileContent(m_db->path());
        QProcess clavaro;
        QVERIFY(runProgram(clavaro, QStringList{"--database", m_db->path(), "--no-backup"} + arguments));
        QCOMPARE(clavaro.exitCode(), exitCode);
        if (exitCode == 0)
            QCOMPARE(QString::fromUtf8(clavaro.readAllStandardOutput()), output);
        else
            QVERIFY2(QString::fromUtf8(clavaro.readAllStandardError()).startsWith(output), qPrintable(output));
        QCOMPARE(fileContent(m_db->path()), before); // the answers only read
        app().DB = Database::open(m_db->path());
    }

    // A lost copy leaves the copies out and the stock in one step; the report names the doors and the
    // other holders, with the doors their keys open. A copy no longer out cannot be lost.
    void lossAndReport()
    {
        Schliessplan::import(db(), planOf(kPlan));
        QVERIFY(Verlust::record(db(), 1, QDate(2026, 12, 6)));
        QVERIFY(!Verlust::record(db(), 1, QDate(2026, 12, 7)));
        QCOMPARE(column("SELECT printf('%s,%s', b.Status, k.Gesamt) FROM TBBewegungen b, TBSchluessel k WHERE "
                        "b.BewID = 1 AND k.SchluesselNr = 'B1'"),
                 "1,2");
        QCOMPARE(column("SELECT Tag FROM TBVerlust"), "2026-12-06");
        // The journal says loss, not return; the history shows the day.
        const QVector<JournalLine> entries = History::entriesOfKey("B1");
        QCOMPARE(entries.at(1).kind + ": " + entries.at(1).description,
                 "Verlust: Schlüssel B1/1 von Meier Anna als verloren gemeldet, verloren am 06.12.2026");
        QCOMPARE(entries.at(0).kind, "Schlüssel geändert"); // one copy less
        QVERIFY(
            std::none_of(entries.begin(), entries.end(), [](const JournalLine& e) { return e.kind == "Rückgabe"; }));
        VerlaufModel history;
        history.setLines(History::ofKey("B1"));
        QCOMPARE(history.cellText(1, 1), "verloren am 06.12.2026");

        const auto report = Verlust::report(db(), 1);
        QVERIFY(report);
        QCOMPARE(report->others.size(), 1); // Meier's K2 is hers: only Schulz is told
        QCOMPARE(report->others.first().cylinders, (QStringList{"Z-01", "Z-02"}));
        RecordingPrinter printer;
        Verlust::print(printer, *report, "4711");
        QVERIFY(printer.ended);
        const QStringList expected{"0/14pt:*Verlustmeldung*",
                                   "",
                                   "0:Anlage: 4711",
                                   "0:Person: Meier Anna, Personalnummer 17",
                                   "0:Schlüssel: B1/1 (Gruppe)",
                                   "0:Ausgegeben am 05.03.2026",
                                   "0:Verloren gemeldet am 06.12.2026",
                                   "",
                                   "0:*Türen, die dieser Schlüssel öffnet: 2*",
                                   "300:_Zylinder_ _Tür_ _Bereich_ ",
                                   "300:Z-01 Büro; Süd  ",
                                   "300:Z-02 Keller  ",
                                   "",
                                   "0:*Weitere Personen mit einem Schlüssel zu diesen Türen: 1*",
                                   "300:_Person_ _Personalnummer_ _Schlüssel_ _Ausgegeben am_ _Zylinder_ ",
                                   "300:Schulz Jörg  B1/2 06.03.2026 Z-01, Z-02 "};
        QCOMPARE(printer.lines, expected);
    }
};

CLAVARO_TEST_MAIN(TestPlan)
#include "test_plan.moc"

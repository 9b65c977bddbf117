// Carrying a register over from a Jet file: files shaped like a site's TBDB.MDB, written by the test writer and
// read back by mdbtools' mdb-export first, so a fault of the writer cannot hide one of the import.
#include "JetWriter.h"
#include "core/AppState.h"
#include "core/CollationVersion.h"
#include "core/Database.h"
#include "core/RegisterCheck.h"
#include "core/Schema.h"
#include "core/Startup.h"
#include "core/TextCollation.h"
#include "jet/JetImport.h"
#include "support/JetSamples.h"
#include "support/Program.h"
#include "support/Query.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"
#include "ui/BasMain.h"
#include "ui/DlgUebernahme.h"
#include "widgets/DialogRunner.h"

#include <QDateTime>
#include <QPlainTextEdit>
#include <QTemporaryDir>

namespace {

using Rows = QList<QVariantList>;
using JetWriter::Format;

const QString kTemplate = [] {
    QString text = QStringLiteral("Empfangsbestätigung\r\n\r\n[&P] erhält [&K] am [&D].\r\n");
    for (int i = 0; i < 120; ++i)
        text += QStringLiteral("Zeile %1: Schlüssel sorgfältig aufbewahren, Verlust sofort melden.\r\n").arg(i);
    return text + QStringLiteral("Ort, Datum          Unterschrift");
}();

// A register with every kind of value the four tables hold, as a site's file has them.
struct Site
{
    Rows header{{QDate(2019, 4, 1), "by user", " SA 20417 ", 1, " ", kTemplate}};
    Rows persons{{3, "Müller", "Jürgen ", "4711 ", false},
                 {7, "Weiß", " ", " ", true},
                 {12, "O'Brien", QVariant(), "  ", false},
                 {13, "Groß-Öztürk", "Zoë ", "ß€ ", false}};
    Rows keys{{"A1", "Haupteingang ", 3, true}, {"B12", "Büro 1.12 ", 1, false}, {"K10 ", "Keller ", 2, false}};
    Rows movements{{5, 3, "A1", "1 ", QDate(2020, 1, 2), 0, QVariant()},
                   {9, 3, "a1", "2 ", QDate(2021, 2, 3), 1, QVariant()},
                   {10, 7, "B12", " ", QDate(1999, 12, 31), 1, QDate(2000, 1, 5)},
                   {11, 13, "K10", " ", QDate(2024, 2, 29), 0, QVariant()}};
    int textSize = 0;    // when set, the text columns take this many characters, as a site may have widened them
    bool extras = false; // a table and a column the register does not know

    QString write(const QString& path, Format format) const
    {
        QList<JetWriter::Table> tables = JetWriter::registerTables();
        const Rows* rows[] = {&header, &persons, &keys, &movements};
        for (int t = 0; t < 4; ++t) {
            tables[t].rowCount = rows[t]->size();
            tables[t].row = [r = *rows[t]](qint64 i) { return r[i]; };
            for (JetWriter::Column& column : tables[t].columns) {
                if (textSize && column.type == JetWriter::Type::Text)
                    column.size = textSize;
            }
        }
        if (extras) {
            tables[1].columns.append({QStringLiteral("Telefon"), JetWriter::Type::Text, 20});
            tables[1].row = [r = persons](qint64 i) { return r[i] + QVariantList{QStringLiteral("0815")}; };
            tables.append({QStringLiteral("Archiv"), {{QStringLiteral("Notiz"), JetWriter::Type::Memo}}, 1, [](qint64) {
                               return QVariantList{QStringLiteral("alt")};
                           }});
        }
        return JetWriter::write(path, format, tables);
    }
};

// The register's rows of a table in mdb-export's form: dates with a time of 00:00:00, yes/no as 1 and 0.
QList<QStringList> registerRows(const QString& path, const QString& table, const QStringList& columns)
{
    const auto db = Database::openReadOnly(path);
    QList<QStringList> rows;
    for (Recordset rs = db->openRecordset(
             QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns.join(QStringLiteral(", ")), table));
         !rs.eof(); rs.moveNext()) {
        QStringList row;
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value = rs.field(c);
            if (value.typeId() == QMetaType::QDate)
                row << value.toDate().toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
            else if (value.typeId() == QMetaType::Bool)
                row << (value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
            else
                row << value.toString();
        }
        rows << row;
    }
    return rows;
}

} // namespace

class TestJetImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString newPath(const QString& name) { return m_dir.filePath(QStringLiteral("%1-%2").arg(++m_files).arg(name)); }

    // The site as a Jet file, checked against what mdb-export reads of it.
    QString jetFile(const Site& site, Format format)
    {
        const QString path = newPath(QStringLiteral("TBDB.MDB"));
        const QString error = site.write(path, format);
        if (!error.isEmpty())
            qFatal("the writer refused: %s", qPrintable(error));
        const JetWriter::Export persons = JetWriter::exportTable(path, QStringLiteral("TBPersonen"));
        if (persons.rows.size() != site.persons.size() || persons.rows.value(0).value(1) != QStringLiteral("Müller"))
            qFatal("mdb-export does not read the writer's file as written: %s", qPrintable(persons.error));
        return path;
    }

private Q_SLOTS:
    void init() { app().Sprache = QStringLiteral("EN"); }

    // Every row and every value as mdb-export reads the Jet file; numbers, Null, journal and versions of a new
    // register.
    void carriedWhole_data()
    {
        QTest::addColumn<Format>("format");
        QTest::newRow("Jet 3") << Format::Jet3;
        QTest::newRow("Jet 4") << Format::Jet4;
    }
    void carriedWhole()
    {
        QFETCH(Format, format);
        Site site;
        site.extras = true;
        const QString jet = jetFile(site, format);
        const QByteArray before = fileContent(jet);
        const QString target = newPath(QStringLiteral("new.MDB"));
        const JetImport::Report report = JetImport::carryOver(jet, target);

        QCOMPARE(fileContent(jet), before);
        for (const QString& table : Schema::tables()) {
            const JetWriter::Export exported = JetWriter::exportTable(jet, table);
            QStringList columns = exported.columns;
            columns.removeAll(QStringLiteral("Telefon"));
            QList<QStringList> expected;
            for (const QStringList& row : exported.rows)
                expected << row.mid(0, columns.size());
            QCOMPARE(registerRows(target, table, columns), expected);
        }
        QCOMPARE(report.ignored, QStringList({"Table Archiv", "Column Telefon of the table TBPersonen"}));
        QVERIFY(report.faulty.total() == 0 && report.changed.isEmpty() && report.notCarried.isEmpty());
        QCOMPARE(RegisterCheck::run(target).problems, 0);

        auto db = Database::open(target);
        QCOMPARE(column(*db, "SELECT count(*) FROM TBPersonen WHERE Vorname IS NULL"), "1"); // Null stays Null
        QCOMPARE(column(*db, "SELECT Bestätigung FROM TBKopfdaten"), kTemplate);
        QCOMPARE(
            journalEntries(*db),
            "Übernommen: TBKopfdaten: 1 Zeilen aus einer Jet-Datei übernommen|Übernommen: TBPersonen: 4 Zeilen aus "
            "einer Jet-Datei übernommen|Übernommen: TBSchluessel: 3 Zeilen aus einer Jet-Datei übernommen|"
            "Übernommen: TBBewegungen: 4 Zeilen aus einer Jet-Datei übernommen"); // one entry a table
        QCOMPARE(column(*db, "PRAGMA user_version").toInt(), Schema::version());
        QCOMPARE(CollationVersion::stored(*db), TextCollation::version());
        // The auto-numbers go on after the highest; the journal's triggers work from here on.
        db->execute("INSERT INTO TBPersonen (Nachname, Storniert) VALUES ('Neu', False)");
        db->execute("INSERT INTO TBBewegungen (PersonID, SchluesselNr, Status) VALUES (14, 'B12', 0)");
        QCOMPARE(column(*db, "SELECT max(PersID) || ' ' || (SELECT max(BewID) FROM TBBewegungen) FROM TBPersonen"),
                 "14 12");
        QCOMPARE(column(*db, "SELECT count(*) FROM TBVerlauf"), "6");
    }

    // What the register cannot take as it is: carried and named (and --check names exactly the same), changed
    // and named, or not carried and named.
    void faults_data()
    {
        QTest::addColumn<Rows>("header");
        QTest::addColumn<Rows>("persons");
        QTest::addColumn<Rows>("keys");
        QTest::addColumn<Rows>("movements");
        QTest::addColumn<QString>("line");  // of the report
        QTest::addColumn<QString>("query"); // on the new register
        QTest::addColumn<QString>("result");
        const QDate day(2022, 5, 6);
        QTest::newRow("movement of a missing person")
            << Rows() << Rows() << Rows() << Rows{{20, 99, "A1", " ", day, 1, QVariant()}}
            << "  movement 20 (key A1): person 99 does not exist"
            << "SELECT PersonID FROM TBBewegungen WHERE BewID = 20"
            << "99";
        QTest::newRow("movement of a missing key")
            << Rows() << Rows() << Rows() << Rows{{21, 3, "ZZ9", " ", day, 0, QVariant()}}
            << "  movement 21: key ZZ9 does not exist"
            << ""
            << "";
        QTest::newRow("more copies out than exist")
            << Rows() << Rows() << Rows()
            << Rows{{22, 3, "B12", " ", day, 0, QVariant()}, {23, 7, "b12", " ", day, 0, QVariant()}}
            << "  key B12: 2 out, 1 in total"
            << ""
            << "";
        QTest::newRow("two header rows") << Rows{{QDate(2020, 1, 1), "by user", "2", 1, " ", ""}} << Rows() << Rows()
                                         << Rows() << "  Header rows: 2 (the program keeps exactly one)"
                                         << "SELECT AnlagenNr FROM TBKopfdaten"
                                         << " SA 20417 |2";
        QTest::newRow("keys differing only in case")
            << Rows() << Rows() << Rows{{"a1", "Nebeneingang ", 5, false}} << Rows()
            << "  TBSchluessel SchluesselNr \"a1\" (Funktion \"Nebeneingang \", Gesamt 5, ZusatzNr False): the same "
               "number as the key \"A1\" carried over"
            << "SELECT Gesamt FROM TBSchluessel WHERE SchluesselNr = 'a1'"
            << "3";
        QTest::newRow("key number with a blank at its end")
            << Rows() << Rows() << Rows{{"B12 ", QVariant(), 1, true}} << Rows()
            << "  TBSchluessel SchluesselNr \"B12 \" (Funktion (none), Gesamt 1, ZusatzNr True): the same number as "
               "the key \"B12\" carried over"
            << "SELECT count(*) FROM TBSchluessel"
            << "3";
        QTest::newRow("key without a number")
            << Rows() << Rows() << Rows{{QVariant(), "Tor ", 1, false}} << Rows()
            << "  TBSchluessel, row 4 (Funktion \"Tor \", Gesamt 1, ZusatzNr False): without a key number"
            << ""
            << "";
        const QString longName = QString(48, u'x') + QStringLiteral("äöü");
        QTest::newRow("text longer than its column")
            << Rows() << Rows{{14, longName, " ", " ", false}} << Rows() << Rows()
            << "  TBPersonen PersID 14, column Nachname: cut to 50 characters; in full: \"" + longName + "\""
            << "SELECT Nachname FROM TBPersonen WHERE PersID = 14" << longName.left(50);
        QTest::newRow("character of code 0")
            << Rows() << Rows{{15, QStringLiteral("Nu") + QChar(0) + QStringLiteral("ll"), " ", " ", false}} << Rows()
            << Rows() << "  TBPersonen PersID 15, column Nachname: characters with the code 0 removed"
            << "SELECT Nachname FROM TBPersonen WHERE PersID = 15"
            << "Null";
        QTest::newRow("time of day")
            << Rows() << Rows() << Rows() << Rows{{24, 3, "A1", " ", QDateTime(day, QTime(14, 30)), 1, QVariant()}}
            << "  TBBewegungen BewID 24, column Von: the time of day 14:30:00 left out, the day kept"
            << "SELECT Von FROM TBBewegungen WHERE BewID = 24"
            << "2022-05-06";
        QTest::newRow("day after the year 9999")
            << Rows() << Rows() << Rows() << Rows{{25, 3, "A1", " ", day, 1, QDate(12000, 1, 1)}}
            << "  TBBewegungen BewID 25, column Bis: a day outside the years 1 to 9999 (value 3688951), carried over "
               "empty"
            << "SELECT count(*) FROM TBBewegungen WHERE BewID = 25 AND Bis IS NULL"
            << "1";
        QTest::newRow("person number taken")
            << Rows() << Rows{{3, "Doppelt", " ", " ", false}} << Rows() << Rows()
            << "  TBPersonen PersID 3: the number was taken already or missing; carried over as PersID 14"
            << "SELECT Nachname FROM TBPersonen WHERE PersID IN (3, 14) ORDER BY PersID"
            << "Müller|Doppelt";
    }
    void faults()
    {
        QFETCH(Rows, header);
        QFETCH(Rows, persons);
        QFETCH(Rows, keys);
        QFETCH(Rows, movements);
        QFETCH(QString, line);
        QFETCH(QString, query);
        QFETCH(QString, result);
        Site site;
        site.textSize = 255;
        site.header += header;
        site.persons += persons;
        site.keys += keys;
        site.movements += movements;
        const QString target = newPath(QStringLiteral("new.MDB"));
        const JetImport::Report report = JetImport::carryOver(jetFile(site, Format::Jet4), target);

        const QStringList lines = report.lines();
        QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
        // Apart from the one fault, the site is clean: one line under one heading, and nothing else.
        QCOMPARE(report.faulty.total() + report.changed.size() + report.notCarried.size(), 1);
        const RegisterCheck::Result check = RegisterCheck::run(target);
        QCOMPARE(check.problems, report.faulty.total());
        QCOMPARE(RegisterCheck::consistency(*Database::openReadOnly(target), 100), report.faulty);
        if (!query.isEmpty())
            QCOMPARE(column(*Database::openReadOnly(target), query), result);
    }

    // A file that cannot be carried over is named with the reason; nothing is written and the file stays as it was.
    void refused_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("truncated") << "truncate"
                                   << "It is damaged.\r\nThe table TBBewegungen counts 4 rows; 0 can be read.";
        QTest::newRow("random bytes after the header") << "scramble"
                                                       << "It is damaged.\r\nIts list of tables cannot be read.";
        QTest::newRow("without the four tables")
            << "testV1997.mdb"
            << "It does not hold the four tables of this program.\r\nThe table TBKopfdaten is missing.\r\nThe table "
               "TBPersonen is missing.\r\nThe table TBSchluessel is missing.\r\nThe table TBBewegungen is missing.";
        QTest::newRow("a column of another type")
            << "Status as text"
            << "It does not hold the four tables of this program.\r\nThe column Status of the table TBBewegungen has "
               "the type Text, which does not fit here.";
        QTest::newRow("encrypted") << "encrypt"
                                   << "It is encrypted with the database password, and this program cannot decrypt it.";
    }
    void refused()
    {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        QString jet;
        if (damage.endsWith(".mdb")) {
            jet = jetSample(damage, m_dir.path());
        } else {
            Site site;
            if (damage == "Status as text") {
                // The writer takes the types from the table list; the register's tables with one column changed.
                jet = newPath(QStringLiteral("TBDB.MDB"));
                QList<JetWriter::Table> tables = JetWriter::registerTables();
                tables[3].columns[5] = {QStringLiteral("Status"), JetWriter::Type::Text, 10};
                QCOMPARE(JetWriter::write(jet, Format::Jet4, tables), QString());
            } else {
                jet = jetFile(site, Format::Jet4);
            }
            QFile file(jet);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QByteArray bytes = file.readAll();
            if (damage == "truncate")
                bytes.truncate(bytes.size() - 4096);
            else if (damage == "scramble")
                for (qsizetype i = 4096; i < bytes.size(); ++i)
                    bytes[i] = char(i * 7919 % 251);
            else if (damage == "encrypt")
                bytes[0x14] = 2, bytes[0x3e] = char(bytes[0x3e] ^ 0x5a); // the later format, a key in the header
            file.resize(0);
            file.write(bytes);
        }
        const QByteArray before = fileContent(jet);
        const QString target = newPath(QStringLiteral("new.MDB"));
        try {
            JetImport::carryOver(jet, target);
            QFAIL("carried over");
        } catch (const JetError& e) {
            QCOMPARE(JetImport::refusal(jet, e), "The Jet file cannot be carried over:\r\n" + jet + "\r\n\r\n" +
                                                     message + "\r\n\r\nThe file is left as it was.");
        }
        QCOMPARE(fileContent(jet), before);
        QCOMPARE(QDir(m_dir.path()).entryList({QFileInfo(target).fileName() + "*"}), QStringList());
    }

    // At the start on a Jet TBDB.MDB: No leaves it byte for byte; Yes sets it aside, carries it over, shows the
    // report and goes on as on any register.
    void atStart()
    {
        const QString jet = jetFile(Site(), Format::Jet4);
        const QByteArray before = fileContent(jet);
        ScriptedMessages messages;
        QStringList shown;
        DialogRunner::setHook([&shown](QDialog& dialog) {
            if (auto* report = qobject_cast<DlgUebernahme*>(&dialog))
                shown = report->dfBericht->toPlainText().split(u'\n');
        });
        messages.queueAnswer(Messages::Answer::No);
        QVERIFY(!carryOverJetFile(jet));
        QCOMPARE(messages.lastText(),
                 "The database " + jet +
                     " is a file in the format of the Jet database engine. "
                     "Shall its content be carried over into a new database of this program?\r\n\r\n"
                     "The Jet file itself is not changed; afterwards it is named " +
                     jet + ".jet.");
        QCOMPARE(fileContent(jet), before);
        QVERIFY(!QFileInfo::exists(jet + ".jet"));

        QVERIFY(carryOverJetFile(jet));
        DialogRunner::setHook({});
        QCOMPARE(fileContent(jet + ".jet"), before);
        QCOMPARE(shown.value(0), "Carried over from the Jet file " + jet + ".jet (Jet 4)");
        app().databasePath = jet;
        QVERIFY(OpenDb()); // the system number came with the header row: nothing asked
        QCOMPARE(app().AnlagenNr, " SA 20417 ");
        closeRegister(); // the day's copy OpenDb started stops with it
    }

    // clavaro --import-jet JETFILE NEWFILE, without a display; an existing NEWFILE is never overwritten.
    void commandLine()
    {
        const QString jet = jetFile(Site(), Format::Jet3);
        const QString target = newPath(QStringLiteral("new.MDB"));
        for (int exitCode : {0, 1}) {
            QProcess process; // the report in English
            QVERIFY(runProgram(process, {"--import-jet", jet, target}, QStringLiteral("en_US.UTF-8")));
            QCOMPARE(process.exitCode(), exitCode);
            if (exitCode == 0)
                QVERIFY(process.readAllStandardOutput().startsWith("Carried over from the Jet file " + jet.toUtf8() +
                                                                   " (Jet 3)\n"));
            else
                QCOMPARE(process.readAllStandardError(),
                         "clavaro: " + target.toUtf8() + " already exists; not overwritten.\n");
        }
    }
};

CLAVARO_TEST_MAIN(TestJetImport)
#include "test_jetimport.moc"

// CSV files: quoting, a round trip through an independent reader, the command-line export, and the
// exports and history window started from the main window's lists.
#include "core/AppState.h"
#include "core/Csv.h"
#include "handouts/VergabenModel.h"
#include "history/DlgVerlauf.h"
#include "history/Export.h"
#include "history/VerlaufModel.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"
#include "ui/DialogRunner.h"
#include "ui/FrmMain.h"

#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void seed(TestDatabase& t)
{
    t.exec("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Müller', 'Jörg ', '7;8 ', False)");
    t.exec("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('O''Neil', '\"Bob\" ', ' ', False)");
    t.exec("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Alt', 'Eva ', ' ', True)");
    t.exec("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Abel', 'Ute ', '3 ', False)");
    t.exec("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('K10', 'Tor; Süd ', 3, False)");
    t.exec("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('9', 'Keller ', 1, False)");
    t.exec("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES(1, 'K10', ' ', "
           "#3/5/26#, 0, null)");
    t.exec("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES(4, 'K10', ' ', "
           "#3/1/26#, 0, null)");
}

// Answers the save dialog with path; other dialogs go to next.
DialogRunner::Hook saveAs(const QString& path, DialogRunner::Hook next = {})
{
    return [path, next](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(path);
            dialog.setResult(QDialog::Accepted);
        } else if (next) {
            next(dialog);
        }
    };
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

private Q_SLOTS:
    void cleanup()
    {
        DialogRunner::setHook({});
        m_db.reset();
        app().Sprache = QStringLiteral("DE");
        app().printToPdfDir.clear();
    }

    void quoting_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "Meier"
                               << "Meier";
        QTest::newRow("umlaut") << "Jörg Müßig"
                                << "Jörg Müßig";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("separator") << "Tor; Süd"
                                   << "\"Tor; Süd\"";
        QTest::newRow("quote") << "Say \"hi\""
                               << "\"Say \"\"hi\"\"\"";
        QTest::newRow("line break") << "a\r\nb"
                                    << "\"a\r\nb\"";
        QTest::newRow("blank at an end") << " 7"
                                         << "\" 7\"";
        QTest::newRow("comma stays bare") << "a,b"
                                          << "a,b";
    }
    void quoting()
    {
        QFETCH(QString, value);
        QFETCH(QString, field);
        QCOMPARE(Csv::field(value), field);
        const QByteArray doc = Csv::document({"A", "B"}, {{value, "x"}});
        QCOMPARE(doc, QByteArray("\xEF\xBB\xBF"
                                 "A;B\r\n") +
                          (field + ";x\r\n").toUtf8());
    }

    // What a spreadsheet program's reader makes of the file: Python's csv module, as LibreOffice parses.
    void roundTripThroughAReader()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        const QStringList header = {"Nachname", "Funktion"};
        const QList<QStringList> rows = {
            {"Müller; Söhne", "Say \"hi\""}, {"two\nlines", "CR\r\nLF"}, {" blank ", ""}, {"ÄÖÜäöüß€", "'quote'"}};
        QTemporaryDir dir;
        const QString path = dir.filePath("t.csv");
        QString error;
        QVERIFY(Csv::write(path, header, rows, &error));
        QProcess reader;
        reader.start(python, {"-c",
                              "import csv, json, sys\n"
                              "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                              "    print(json.dumps(list(csv.reader(f, delimiter=';'))))",
                              path});
        QVERIFY(reader.waitForFinished());
        QCOMPARE(reader.exitCode(), 0);
        const QJsonArray read = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
        QList<QStringList> back;
        for (const QJsonValue& row : read)
            back.append(row.toVariant().toStringList());
        QCOMPARE(back, QList<QStringList>{header} + rows);
    }

    // Without a display: the lists as a fresh start shows them (retired persons left out, keys in the
    // list's order with their stock) and every movement.
    void commandLine()
    {
        const QString binary = qEnvironmentVariable("CLAVARO_BINARY");
        if (binary.isEmpty())
            QSKIP("CLAVARO_BINARY is not set (run through ctest)");
        m_db = std::make_unique<TestDatabase>();
        seed(*m_db);
        m_db->exec("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 2");
        const QString path = m_db->path();
        app().DB.reset(); // the export opens the file for itself

        const QString out = m_db->dir() + QStringLiteral("/export");
        QProcess clavaro;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "de_DE.UTF-8");
        env.remove("DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        clavaro.setProcessEnvironment(env);
        clavaro.start(binary, {"--database", path, "--export-csv", out, "--no-backup"});
        QVERIFY(clavaro.waitForFinished());
        QCOMPARE(clavaro.readAllStandardError(), QByteArray());
        QCOMPARE(clavaro.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(path + ".backup"));

        const QString today = QLocale().toString(QDate::currentDate(), QStringLiteral("dd.MM.yyyy"));
        QCOMPARE(fileBytes(out + "/Personen.csv"),
                 Csv::document({"Nachname", "Vorname", "Personalnummer"},
                               {{"Abel", "Ute", "3"}, {"Müller", "Jörg", "7;8"}, {"O'Neil", "\"Bob\"", ""}}));
        QCOMPARE(fileBytes(out + "/Schluessel.csv"),
                 Csv::document({"SchlüsselNr", "Funktion", "Gesamt", "Ausgegeben", "Frei"},
                               {{"9", "Keller", "1", "0", "1"}, {"K10", "Tor; Süd", "3", "1", "2"}}));
        QCOMPARE(fileBytes(out + "/Vergaben.csv"),
                 Csv::document({"Datum", "SchlüsselNr", "ZusatzNr", "Funktion", "Person"},
                               {{"05.03.2026", "K10", "", "Tor; Süd", "Müller Jörg"}}));
        QCOMPARE(fileBytes(out + "/Verlauf.csv"),
                 Csv::document({"Ausgegeben am", "Zurück am", "SchlüsselNr", "ZusatzNr", "Funktion", "Person"},
                               {{"05.03.2026", "", "K10", "", "Tor; Süd", "Müller Jörg"},
                                {"01.03.2026", today, "K10", "", "Tor; Süd", "Abel Ute"}}));

        clavaro.start(binary, {"--database", path, "--export-csv", out});
        QVERIFY(clavaro.waitForFinished());
        QCOMPARE(clavaro.exitCode(), 0);
        QCOMPARE(QDir(path + ".backup").entryList(QDir::Files).size(), 1);

        clavaro.start(binary, {"--database", m_db->dir() + "/missing.MDB", "--export-csv", out});
        QVERIFY(clavaro.waitForFinished());
        QCOMPARE(clavaro.exitCode(), 1);
    }

    // From the window: exactly the lines the list shows after a search, in its order; a file that
    // exists is replaced only when the user says so.
    void fromTheLists()
    {
        m_db = std::make_unique<TestDatabase>();
        seed(*m_db);
        FrmMain main;
        main.dfPersSuch->setText(QStringLiteral("l")); // not the retired Alt
        main.pbPersSuch_Click();
        main.dfPersSuch->setText(QStringLiteral("xyz")); // typed, not searched: the list stays
        const QString file = m_db->dir() + QStringLiteral("/p.csv");
        DialogRunner::setHook(saveAs(file));
        main.lstPerson_Exportieren();
        const QByteArray persons =
            Csv::document({"Nachname", "Vorname", "Personalnummer"},
                          {{"Abel", "Ute", "3"}, {"Müller", "Jörg", "7;8"}, {"O'Neil", "\"Bob\"", ""}});
        QCOMPARE(fileBytes(file), persons);

        main.pbSchlSuch_Click();
        ScriptedMessages messages;
        messages.queueAnswer(Messages::Answer::No);
        main.lstSchluessel_Exportieren();
        QCOMPARE(messages.lastText(), QStringLiteral("Die Datei ist bereits vorhanden. Soll sie ersetzt werden?"));
        QCOMPARE(fileBytes(file), persons);
        app().Sprache = QStringLiteral("EN");
        main.lstSchluessel_Exportieren(); // answered Yes
        QCOMPARE(fileBytes(file), Csv::document({"Key No.", "Function", "Total", "Out", "Available"},
                                                {{"9", "Keller", "1", "0", "1"}, {"K10", "Tor; Süd", "3", "2", "1"}}));

        // The handout grid after a header click: its lines in the shown order, its header texts.
        main.setTexts();
        main.RefreshVergaben(false);
        main.sprVergaben_Click(0, VergabenModel::Datum); // ascending
        main.sprVergaben_Exportieren();
        QCOMPARE(fileBytes(file), Csv::document({"Date", "Key No.", "Add No.", "Function", "Key holder"},
                                                {{"01.03.2026", "K10", "", "Tor; Süd", "Abel Ute"},
                                                 {"05.03.2026", "K10", "", "Tor; Süd", "Müller Jörg"}}));
    }

    // Ctrl+H on the selected key opens its history: newest first, a header click sorts, the line count,
    // and the export writes the lines as sorted.
    void historyWindow()
    {
        m_db = std::make_unique<TestDatabase>();
        seed(*m_db);
        FrmMain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.pbSchlSuch_Click();
        main.lstSchluessel->setFocus();
        main.lstSchluessel->setCurrentRow(1); // K10
        const QString file = m_db->dir() + QStringLiteral("/h.csv");

        app().printToPdfDir = m_db->dir() + QStringLiteral("/pdf");
        QStringList seen;
        DialogRunner::setHook(saveAs(file, [&](QDialog& dialog) {
            auto& window = static_cast<DlgVerlauf&>(dialog);
            QCOMPARE(window.objectName(), QStringLiteral("dlgVerlauf"));
            seen << window.windowTitle() << window.lblBetreff->text() << window.lblAnzahl->text();
            for (int r = 0; r < window.verlauf->rowCount(); ++r)
                seen << window.verlauf->cellText(r, 5);
            window.show(); // a real click on the person column's header
            QHeaderView* header = window.sprVerlauf->horizontalHeader();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(5) + 5, header->height() / 2));
            window.pbDrucken->click();
            window.pbExportieren->click();
            window.pbSchliessen->click();
        }));
        QTest::keyClick(main.lstSchluessel, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(seen, (QStringList{"Verlauf", "Schlüssel: K10  Tor; Süd", "Zeilen: 2", "Müller Jörg", "Abel Ute"}));
        const QStringList pdfs = QDir(app().printToPdfDir).entryList({"Verlauf-*-K10.pdf"}, QDir::Files);
        QCOMPARE(pdfs.size(), 1);
        QVERIFY(fileBytes(app().printToPdfDir + '/' + pdfs.first()).startsWith("%PDF"));
        QCOMPARE(fileBytes(file),
                 Csv::document({"Ausgegeben am", "Zurück am", "SchlüsselNr", "ZusatzNr", "Funktion", "Person"},
                               {{"01.03.2026", "", "K10", "", "Tor; Süd", "Abel Ute"},
                                {"05.03.2026", "", "K10", "", "Tor; Süd", "Müller Jörg"}}));

        // From a line of the grid: the key of its movement, even when renumbered since the refill, or its person.
        main.RefreshVergaben(false);
        m_db->exec("UPDATE TBSchluessel SET SchluesselNr = 'K12' WHERE SchluesselNr = 'K10'");
        main.sprVergaben->selectRow(0); // Müller's K10 of 05.03.2026
        seen.clear();
        DialogRunner::setHook([&](QDialog& dialog) {
            auto& window = static_cast<DlgVerlauf&>(dialog);
            seen << window.lblBetreff->text() << window.lblAnzahl->text();
        });
        main.sprVergaben_Verlauf();
        main.sprVergaben_VerlaufPerson();
        QCOMPARE(seen, (QStringList{"Schlüssel: K12  Tor; Süd", "Zeilen: 2", "Person: Müller Jörg", "Zeilen: 1"}));

        // The context menu of the person list offers the same, in the current language.
        app().Sprache = QStringLiteral("FR");
        main.setTexts();
        QStringList entries;
        for (const QAction* action : main.lstPerson->actions())
            entries << action->text() + QLatin1Char('|') + action->shortcut().toString();
        QCOMPARE(entries, (QStringList{"Historique…|Ctrl+H", "Exporter…|"}));
    }
};

CLAVARO_TEST_MAIN(TestExport)
#include "test_export.moc"

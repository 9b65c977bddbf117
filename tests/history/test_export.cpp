// CSV files, the command-line export, and the exports and history window started from the main window.
#include "core/CollationVersion.h"
#include "core/Csv.h"
#include "core/TextCollation.h"
#include "handouts/HandoutPane.h"
#include "handouts/VergabenModel.h"
#include "history/DlgVerlauf.h"
#include "history/HistoryMenus.h"
#include "history/ProtokollModel.h"
#include "history/VerlaufModel.h"
#include "keys/KeyPane.h"
#include "persons/PersonPane.h"
#include "support/Program.h"
#include "support/Query.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"
#include "widgets/DialogRunner.h"
#include "widgets/TabListWidget.h"

#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

namespace {

const QStringList kHistoryHeader{"Ausgegeben am", "Zurück am", "SchlüsselNr",   "ZusatzNr",
                                 "Funktion",      "Person",    "Personalnummer"};
const QByteArray kPersons = Csv::document({"Nachname", "Vorname", "Personalnummer"},
                                          {{"Abel", "Ute", "3"}, {"Müller", "Jörg", "7;8"}, {"O'Neil", "\"Bob\"", ""}});

// Müller (1) holds K10 since 5 March, Abel (4) since 1 March; Alt is retired.
void seed(TestDatabase& t)
{
    addPerson(t, "Müller", "Jörg", "7;8");
    addPerson(t, "O'Neil", "\"Bob\"");
    addPerson(t, "Alt", "Eva", {}, true);
    addPerson(t, "Abel", "Ute", "3");
    addKey(t, "K10", "Tor; Süd ", 3);
    addKey(t, "9", "Keller ", 1);
    addMovement(t, "K10", 0, 1, "3/5/26");
    addMovement(t, "K10", 0, 4, "3/1/26");
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
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        seed(*m_db);
    }
    void cleanup()
    {
        DialogRunner::setHook({});
        m_db.reset();
        app().printToPdfDir.clear();
    }

    // Quoted only where needed: a separator, a quote, a line break or a blank at either end.
    void quoting()
    {
        const QString path = m_db->dir() + QStringLiteral("/t.csv");
        QVERIFY(Csv::write(
            path, {"Nachname", "Funktion"},
            {{"Müller; Söhne", "Say \"hi\""}, {"two\nlines", "CR\r\nLF"}, {" blank ", ""}, {"ÄÖÜäöüß€", "'a,b'"}},
            nullptr));
        QCOMPARE(
            fileContent(path),
            QByteArray("\xEF\xBB\xBF"
                       "Nachname;Funktion\r\n\"Müller; Söhne\";\"Say \"\"hi\"\"\"\r\n\"two\nlines\";\"CR\r\nLF\"\r\n"
                       "\" blank \";\r\nÄÖÜäöüß€;'a,b'\r\n"));
    }

    // Without a display: the lists as a fresh start shows them, every movement, and nothing beside the register.
    void commandLine()
    {
        m_db->exec("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 2");
        m_db->exec("UPDATE TBVerlauf SET Zeitpunkt = '2026-03-10 23:59:59' WHERE Art = 2"); // not the clock's day
        m_db->exec("UPDATE TBSystem SET Wert = 'old' WHERE Eintrag = 'Sortierfolge'");      // indexes in an older order
        const QString path = m_db->path();
        app().DB.reset(); // the export opens the file for itself

        const QString out = m_db->dir() + QStringLiteral("/export");
        QProcess clavaro; // no locale configured: dates as at home, "05.03.2026"
        const auto run = [&](const QString& database) {
            return runProgram(clavaro, {"--database", database, "--export-csv", out}) ? clavaro.exitCode() : -1;
        };
        QCOMPARE(run(path), 0);
        QCOMPARE(clavaro.readAllStandardError(), QByteArray());
        QVERIFY(!QFileInfo::exists(path + ".backup"));
        app().DB = Database::open(path); // the export opened it as a start does: indexes in the running order
        QCOMPARE(CollationVersion::stored(db()), TextCollation::version());
        app().DB.reset();

        const QString today = QStringLiteral("10.03.2026");
        QCOMPARE(fileContent(out + "/Personen.csv"), kPersons);
        QCOMPARE(fileContent(out + "/Schluessel.csv"),
                 Csv::document({"SchlüsselNr", "Funktion", "Gesamt", "Ausgegeben", "Frei"},
                               {{"9", "Keller", "1", "0", "1"}, {"K10", "Tor; Süd", "3", "1", "2"}}));
        QCOMPARE(fileContent(out + "/Vergaben.csv"),
                 Csv::document({"Datum", "SchlüsselNr", "ZusatzNr", "Funktion", "Person", "Personalnummer"},
                               {{"05.03.2026", "K10", "", "Tor; Süd", "Müller Jörg", "7;8"}}));
        QCOMPARE(fileContent(out + "/Verlauf.csv"),
                 Csv::document(kHistoryHeader, {{"05.03.2026", "", "K10", "", "Tor; Süd", "Müller Jörg", "7;8"},
                                                {"01.03.2026", today, "K10", "", "Tor; Süd", "Abel Ute", "3"}}));
        QVERIFY(fileContent(out + "/Protokoll.csv").contains(";Rückgabe;Schlüssel K10 von Abel Ute zurückgegeben\r\n"));

        QCOMPARE(run(m_db->dir() + "/missing.MDB"), 1);
    }

    // From the window: the lines the list shows, in its order; an existing file replaced only when told.
    void fromTheLists()
    {
        FrmMain main;
        main.persons->pbPersSuch_Click();                         // not the retired Alt
        main.persons->dfPersSuch->setText(QStringLiteral("xyz")); // typed, not searched: the list stays
        const QString file = m_db->dir() + QStringLiteral("/p.csv");
        DialogRunner::setHook(saveAs(file));
        HistoryMenus::lstPerson_Exportieren(*main.persons);
        QCOMPARE(fileContent(file), kPersons);

        main.keys->pbSchlSuch_Click();
        ScriptedMessages messages;
        messages.queueAnswer(Messages::Answer::No);
        HistoryMenus::lstSchluessel_Exportieren(*main.keys);
        QCOMPARE(messages.lastText(), QStringLiteral("Die Datei ist bereits vorhanden. Soll sie ersetzt werden?"));
        QCOMPARE(fileContent(file), kPersons);
        app().Sprache = QStringLiteral("EN");
        HistoryMenus::lstSchluessel_Exportieren(*main.keys); // answered Yes
        QCOMPARE(fileContent(file),
                 Csv::document({"Key No.", "Function", "Total", "Out", "Available"},
                               {{"9", "Keller", "1", "0", "1"}, {"K10", "Tor; Süd", "3", "2", "1"}}));

        // The handout grid after a header click: its lines in the shown order, its header texts.
        main.setTexts();
        main.handouts->RefreshVergaben(false);
        main.handouts->sprVergaben_Click(0, VergabenModel::Datum); // ascending
        HistoryMenus::sprVergaben_Exportieren(*main.handouts);
        QCOMPARE(fileContent(file),
                 Csv::document({"Date", "Key No.", "Add No.", "Function", "Key holder", "Personal number"},
                               {{"01.03.2026", "K10", "", "Tor; Süd", "Abel Ute", "3"},
                                {"05.03.2026", "K10", "", "Tor; Süd", "Müller Jörg", "7;8"}}));
    }

    // Ctrl+H opens the selected key's history, newest first; print and export take the lines as sorted.
    void historyWindow()
    {
        FrmMain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.keys->pbSchlSuch_Click();
        main.keys->lstSchluessel->setFocus();
        main.keys->lstSchluessel->setCurrentRow(1); // K10
        const QString file = m_db->dir() + QStringLiteral("/h.csv");
        app().printToPdfDir = m_db->dir() + QStringLiteral("/pdf");
        QStringList seen;
        DialogRunner::setHook(saveAs(file, [&](QDialog& dialog) {
            auto& window = static_cast<DlgVerlauf&>(dialog);
            seen << window.lblBetreff->text() << window.lblAnzahl->text() << window.verlauf->cellText(0, 5);
            window.show(); // a real click on the person column's header; the selected line stays selected
            const QRect table = window.sprVerlauf->geometry();
            const QPoint close = window.pbSchliessen->pos();
            window.resize(window.size() + QSize(100, 50)); // the table takes the room, the buttons move with it
            QTRY_COMPARE(window.sprVerlauf->size(), table.size() + QSize(100, 50));
            QCOMPARE(window.pbSchliessen->pos(), close + QPoint(100, 50));
            window.sprVerlauf->selectRow(0);
            QHeaderView* header = window.sprVerlauf->horizontalHeader();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(5) + 5, header->height() / 2));
            seen << window.verlauf->cellText(window.sprVerlauf->selectionModel()->selectedRows().value(0).row(), 5);
            window.pbDrucken->click();
            window.pbExportieren->click();
            window.pbAenderungen->click(); // the journal's entries about the key, newest first
            seen << window.lblAnzahl->text() << window.protokoll->cellText(0, 2);
        }));
        QTest::keyClick(main.keys->lstSchluessel, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(seen, (QStringList{"Schlüssel: K10  Tor; Süd", "Zeilen: 2", "Müller Jörg", "Müller Jörg", "Zeilen: 3",
                                    "Schlüssel K10 an Abel Ute ausgegeben"}));
        const QStringList pdfs = QDir(app().printToPdfDir).entryList({"Verlauf-*-K10.pdf"}, QDir::Files);
        QCOMPARE(pdfs.size(), 1);
        QVERIFY(fileContent(app().printToPdfDir + '/' + pdfs.first()).startsWith("%PDF"));
        QCOMPARE(fileContent(file),
                 Csv::document(kHistoryHeader, {{"01.03.2026", "", "K10", "", "Tor; Süd", "Abel Ute", "3"},
                                                {"05.03.2026", "", "K10", "", "Tor; Süd", "Müller Jörg", "7;8"}}));

        // From a line of the grid: the key of its movement, even when renumbered since the refill, or its person.
        main.handouts->RefreshVergaben(false);
        m_db->exec("UPDATE TBSchluessel SET SchluesselNr = 'K12' WHERE SchluesselNr = 'K10'");
        main.handouts->sprVergaben->selectRow(0); // Müller's K10 of 05.03.2026
        seen.clear();
        DialogRunner::setHook([&](QDialog& dialog) {
            auto& window = static_cast<DlgVerlauf&>(dialog);
            seen << window.lblBetreff->text() << window.lblAnzahl->text();
            window.pbAenderungen->click(); // the key's entries from before its renumbering too
            seen << window.lblAnzahl->text();
        });
        HistoryMenus::sprVergaben_Verlauf(*main.handouts);
        HistoryMenus::sprVergaben_VerlaufPerson(*main.handouts);
        QCOMPARE(seen, (QStringList{"Schlüssel: K12  Tor; Süd", "Zeilen: 2", "Zeilen: 4", "Person: Müller Jörg",
                                    "Zeilen: 1", "Zeilen: 2"}));

        // The person list's context menu follows the language, its undo entries too.
        app().Sprache = QStringLiteral("FR");
        main.setTexts();
        QStringList entries;
        for (const QAction* action : main.persons->lstPerson->actions())
            entries << action->text();
        QCOMPARE(entries.join('|'), QStringLiteral("Historique…|Exporter…||Annuler|Rétablir"));
    }
};

CLAVARO_TEST_MAIN(TestExport)
#include "test_export.moc"

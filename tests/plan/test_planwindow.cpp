// The locking plan's window: the frozen matrix, toggling a crossing, who can open the current door, the
// search, import, export, and the printout across pages.
#include "handouts/HandoutPane.h"
#include "keys/DlgSchluessel.h"
#include "keys/KeyPane.h"
#include "plan/Schliessplan.h"
#include "plan/window/DlgSchliessplan.h"
#include "plan/window/PlanMenus.h"
#include "plan/window/SchliessplanModel.h"
#include "plan/window/SchliessplanPrintout.h"
#include "support/Query.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TextRecorder.h"
#include "ui/FrmMain.h"
#include "undo/Undo.h"
#include "widgets/DialogRunner.h"
#include "widgets/TabListWidget.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QTableView>
#include <QTableWidget>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList texts(const QTableWidget* table, int column)
{
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r)
        out << table->item(r, column)->text();
    return out;
}

} // namespace

class TestPlanWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

private Q_SLOTS:
    // Meier holds B1/1, Schulz K2; B1 opens both doors, K2 the cellar.
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        addPerson(*m_db, "Meier", "Anna", "17");
        addPerson(*m_db, "Schulz", "Jörg");
        addKey(*m_db, "B1", "Gruppe ", 3, true);
        addKey(*m_db, "K2", "Keller ", 1);
        addMovement(*m_db, "B1", 0, 1, "3/5/26", "1");
        addMovement(*m_db, "K2", 0, 2, "3/7/26");
        Schliessplan::import(db(), planOf("Zylinder;Tür;B1;K2\nZ-01;Büro;X;\nZ-02;Keller;X;X\n"));
    }
    void cleanup()
    {
        DialogRunner::setHook({});
        m_db.reset();
    }

    // The frozen view shows cylinder and door, the other the keys; a click on a crossing writes it and
    // the lists of the current door follow; the search goes on from the current cylinder and wraps.
    void matrixToggleAndSearch()
    {
        DlgSchliessplan window;
        window.load();
        QCOMPARE(window.lblAnzahl->text(), "2 Zylinder, 2 Schlüssel, 3 Schließungen");
        QVERIFY(!window.sprZylinder->isColumnHidden(SchliessplanModel::kTuer));
        QVERIFY(window.sprZylinder->isColumnHidden(SchliessplanModel::kFirstKey));
        QVERIFY(window.sprPlan->isColumnHidden(SchliessplanModel::kTuer));
        QCOMPARE(window.plan->headerData(3, Qt::Horizontal).toString(), "K2");

        window.setCurrentCylinder(1);
        QCOMPARE(window.lblBerechtigte->text(), "Wer kann Z-02 (Keller) öffnen:");
        QCOMPARE(texts(window.sprInhaber, 0), (QStringList{"Meier", "Schulz"}));
        QCOMPARE(texts(window.sprSchluessel, 4), (QStringList{"2", "0"})); // in the safe: B1 3 - 1, K2 1 - 1

        window.sprPlan_Click(1, 2); // B1 no longer opens the cellar
        QCOMPARE(column("SELECT SchluesselNr FROM TBSchliessung WHERE ZylinderNr = 'Z-02'"), "K2");
        QCOMPARE(window.plan->data(window.plan->index(1, 2)).toString(), "");
        QCOMPARE(window.lblAnzahl->text(), "2 Zylinder, 2 Schlüssel, 2 Schließungen");
        QCOMPARE(texts(window.sprInhaber, 0), QStringList{"Schulz"});
        window.sprPlan_Click(0, 3);
        QCOMPARE(column("SELECT SchluesselNr FROM TBSchliessung WHERE ZylinderNr = 'Z-01'"), "B1|K2");

        ScriptedMessages messages;
        window.dfSuche->setText("kel");
        window.pbSuchen_Click();
        QCOMPARE(window.sprZylinder->currentIndex().row(), 1);
        window.dfSuche->setText("z-0");
        window.pbSuchen_Click();
        QCOMPARE(window.sprZylinder->currentIndex().row(), 0); // wrapped round
        window.dfSuche->setText("Dach");
        window.pbSuchen_Click();
        QCOMPARE(messages.lastText(), "Kein Zylinder und keine Tür enthält „Dach“.");
    }

    // Opened from a key, the window stands on the first door the key opens. The key numbers on top stand
    // as high as the longest of them, also once a plan with a longer one came in.
    void opensAtTheKey()
    {
        const auto currentCell = [](const QString& key) {
            QModelIndex current;
            DialogRunner::setHook(
                [&](QDialog& dialog) { current = static_cast<DlgSchliessplan&>(dialog).sprPlan->currentIndex(); });
            DlgSchliessplan::open(nullptr, key);
            return std::pair(current.row(), current.column());
        };
        QCOMPARE(currentCell("K2"), std::pair(1, 3));
        QCOMPARE(currentCell("b1"), std::pair(0, 2));

        DlgSchliessplan window;
        window.load();
        const int before = window.sprPlan->horizontalHeader()->height();
        ScriptedMessages messages;
        const QString longer = m_db->dir() + "/longer.csv";
        writeFile(longer, "Zylinder;Tür;B1;K2;WWWWWWWWWW\nZ-01;Büro;X;;X\n");
        window.importFile(longer);
        QVERIFY(window.sprPlan->horizontalHeader()->height() > before);
    }

    // Ctrl+Z in the window takes the last change back and Ctrl+Y makes it again, the matrix and the
    // current door's holders following; the main window learns which tables changed.
    void undoInTheWindow()
    {
        Undo::keepChanges();
        DlgSchliessplan window;
        window.load();
        window.setCurrentCylinder(1);
        window.sprPlan_Click(1, 2); // B1 no longer opens the cellar
        QCOMPARE(window.mnuRueckgaengig->text(), "Rückgängig: Änderung des Schließplans");
        window.mnuRueckgaengig->trigger();
        QCOMPARE(column("SELECT SchluesselNr FROM TBSchliessung WHERE ZylinderNr = 'Z-02' ORDER BY 1"), "B1|K2");
        QVERIFY(window.plan->opens(1, 2));
        QCOMPARE(texts(window.sprInhaber, 0), (QStringList{"Meier", "Schulz"}));
        window.mnuWiederholen->trigger();
        QVERIFY(!window.plan->opens(1, 2));
        QCOMPARE(texts(window.sprInhaber, 0), QStringList{"Schulz"});
        QCOMPARE(window.changedTables(), QStringList{"TBSchliessung"});
        Undo::forget();
    }

    // A file that is no plan changes nothing and says why; a plan replaces the shown one and is reported.
    // The export writes the plan in the form it was read in.
    void importAndExport()
    {
        DlgSchliessplan window;
        window.load();
        ScriptedMessages messages;
        const QString bad = m_db->dir() + "/bad.csv";
        writeFile(bad, "Zylinder;Tür;B1\nZ-03;Dach;ja\n");
        window.importFile(bad);
        QCOMPARE(messages.lastText(), "Der Schließplan kann nicht eingelesen werden:\r\nZeile 2, Spalte 3: „ja“ ist "
                                      "weder X noch leer.\r\nDer Schließplan wurde nicht geändert.");
        QCOMPARE(window.plan->rowCount(), 2);

        const QString good = m_db->dir() + "/good.csv";
        writeFile(good, "Zylinder;Tür;K2;B1\nZ-03;Dach;X;\n");
        window.importFile(good);
        QVERIFY(messages.lastText().startsWith("Der Schließplan hat jetzt 1 Zylinder und 1 Schließungen."));
        QCOMPARE(window.plan->cylinderNumber(0), "Z-03");

        const QString exported = m_db->dir() + "/export.csv";
        DialogRunner::setHook([&](QDialog& dialog) {
            static_cast<QFileDialog&>(dialog).selectFile(exported);
            dialog.setResult(QDialog::Accepted);
        });
        window.pbExportieren_Click();
        QCOMPARE(fileContent(exported), "\xEF\xBB\xBFZylinder;Tür;K2;B1\r\nZ-03;Dach;X;\r\n");
    }

    // The main window's entries: the key dialog lists what the key opens; a loss asked for and confirmed
    // leaves the list, lowers the total and prints the report; answered No, nothing happens.
    void mainWindowEntries()
    {
        DlgSchluessel key;
        key.load("B1");
        QCOMPARE(key.lblZylinder->text(), "Der Schlüssel öffnet 2 Zylinder:");
        QCOMPARE(texts(key.lstZylinder, 1), (QStringList{"Büro", "Keller"}));

        FrmMain main;
        main.show();
        const auto menu = [](QWidget* list) {
            QStringList entries;
            for (const QAction* action : list->actions())
                entries << action->text();
            return entries;
        };
        QVERIFY(menu(main.keys->lstSchluessel).contains("Schließplan…"));
        QVERIFY(menu(main.handouts->sprVergaben).contains("Verlust melden…"));
        QTemporaryDir pdfs;
        app().printToPdfDir = pdfs.path();
        ScriptedMessages messages;
        main.handouts->sprVergaben->selectRow(0); // K2 of Schulz, the newer handout
        messages.queueAnswer(Messages::Answer::No);
        PlanMenus::sprVergaben_VerlustMelden(*main.handouts);
        QCOMPARE(main.handouts->vergaben->maxRows(), 2);
        PlanMenus::sprVergaben_VerlustMelden(*main.handouts);
        app().printToPdfDir.clear();
        QCOMPARE(messages.shown.first().text, "Soll der Schlüssel K2 von Schulz Jörg als verloren gemeldet werden? Er "
                                              "verlässt die Liste, und der Gesamtstand des Schlüssels sinkt um eins.");
        QCOMPARE(main.handouts->vergaben->maxRows(), 1);
        QCOMPARE(m_db->scalar("SELECT Gesamt FROM TBSchluessel WHERE SchluesselNr = 'K2'").toInt(), 0);
        QCOMPARE(QDir(pdfs.path()).entryList({"Verlustmeldung-*-K2.pdf"}).size(), 1);
    }

    // Every page repeats the key numbers of its columns and the cylinders of its rows; the pages together
    // show each crossing once; the PDF holds as many pages.
    void printsAcrossPages()
    {
        PlanMatrix plan;
        for (int k = 0; k < 90; ++k)
            plan.keys << QStringLiteral("K%1").arg(k);
        for (int c = 0; c < 120; ++c)
            plan.cylinders << PlanMatrix::Cylinder{
                QStringLiteral("Z-%1").arg(c), QStringLiteral("Raum %1").arg(c), {}, {}, {c % 90}};
        QTemporaryDir dir;
        QPdfWriter writer(dir.filePath("plan.pdf"));
        writer.setPageMargins(QMarginsF(25, 36, 25, 36), QPageLayout::Point);
        SchliessplanPrintout printout(plan, "Schließplan", "Brannwerk MERIDIAN Clavaro");
        printout.layout(writer);
        QVERIFY(printout.pageCount() >= 4);
        int marks = 0;
        for (int page = 1; page <= printout.pageCount(); ++page) {
            TextRecorder recorder(writer);
            QPainter painter(&recorder);
            printout.drawPage(painter, page);
            painter.end();
            const QStringList shown = recorder.texts();
            const auto [firstRow, endRow] = printout.rowsOf(page);
            const auto [firstKey, endKey] = printout.keysOf(page);
            QVERIFY(shown.first().startsWith("Schließplan – Zylinder"));
            QCOMPARE(shown.mid(1, 2), (QStringList{"Zylinder", "Tür"}));
            QCOMPARE(shown.mid(3, endKey - firstKey), plan.keys.mid(firstKey, endKey - firstKey));
            QCOMPARE(shown.filter(QRegularExpression("^Z-")).size(), endRow - firstRow);
            QVERIFY(shown.contains(QStringLiteral("Z-%1").arg(firstRow)));
            QCOMPARE(shown.last(), QStringLiteral("%1 / %2").arg(page).arg(printout.pageCount()));
            marks += int(shown.count("X"));
        }
        QCOMPARE(marks, 120);
        QVERIFY(printout.print(writer));
        QCOMPARE(fileContent(dir.filePath("plan.pdf")).count("/Type /Page\n"), printout.pageCount());
    }
};

CLAVARO_TEST_MAIN(TestPlanWindow)
#include "test_planwindow.moc"

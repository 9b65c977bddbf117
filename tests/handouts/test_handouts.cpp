// The handout list with its filter and sort, the handout and the return, as the main window runs them.
#include "core/AppState.h"
#include "core/Clock.h"
#include "handouts/DlgFilter.h"
#include "handouts/VergabenModel.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "ui/DialogRunner.h"
#include "ui/FrmMain.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <memory>

namespace {

const QString kAll = QStringLiteral(
    "SELECT Von, TBSchluessel.SchluesselNr, TBBewegungen.ZusatzNr, Funktion, Nachname, Vorname, BewID FROM "
    "(TBBewegungen INNER JOIN TBSchluessel ON TBBewegungen.SchluesselNr = TBSchluessel.SchluesselNr) INNER JOIN "
    "TBPersonen ON TBBewegungen.PersonID = TBPersonen.PersID WHERE Status = 0 %1 ORDER BY Von DESC, "
    "TBSchluessel.SchluesselNr ASC, TBBewegungen.ZusatzNr ASC");

const int kGrey = 0xC0C0C0;
const int kPlain = VergabenModel::kDefaultBackground;

} // namespace

class TestHandouts : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<FrmMain> m_main;
    QStringList m_sql;

    void movement(qint32 person, const QString& key, const QString& number, const QDate& von, int status = 0)
    {
        m_db->exec(QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                                  "VALUES(%1, '%2', '%3', #%4#, %5, null)")
                       .arg(person)
                       .arg(key, number, Sql::dateLiteral(von))
                       .arg(status));
    }
    // The visible cells of every line, joined by "|".
    QStringList lines() const
    {
        QStringList out;
        const VergabenModel& grid = *m_main->vergaben;
        for (int r = 1; r <= grid.maxRows(); ++r) {
            QStringList cells;
            for (int c = 1; c <= 5; ++c)
                cells << grid.cellText(r, c);
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    QStringList column(int col) const
    {
        QStringList out;
        for (int r = 1; r <= m_main->vergaben->maxRows(); ++r)
            out << m_main->vergaben->cellText(r, col);
        return out;
    }
    QList<int> backgrounds(int row)
    {
        QList<int> out;
        for (int c = 1; c <= 6; ++c) {
            m_main->vergaben->setRow(row);
            m_main->vergaben->setCol(c);
            out << m_main->vergaben->backColor();
        }
        return out;
    }
    // Opens the filter through the Filter button, types the fields and presses OK.
    void filter(const QStringList& typed)
    {
        DialogRunner::setHook([&](QDialog& shown) {
            auto& dialog = static_cast<DlgFilter&>(shown);
            QLineEdit* fields[] = {dialog.dfVonDatum, dialog.dfBisDatum, dialog.dfSchlNr, dialog.dfName};
            for (int i = 0; i < typed.size(); ++i)
                fields[i]->setText(typed[i]);
            dialog.pbOK_Click();
        });
        m_main->pbFilter_Click();
    }
    static void select(QListWidget* list, const QString& prefix)
    {
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text().startsWith(prefix)) {
                list->setCurrentRow(i);
                return;
            }
        }
    }

private Q_SLOTS:
    void init()
    {
        Clock::setToday(QDate(2026, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        m_main = std::make_unique<FrmMain>();
        DlgFilter::fltVonDatum.clear();
        DlgFilter::fltBisDatum.clear();
        DlgFilter::fltResponse = false;
    }
    void cleanup()
    {
        DialogRunner::setHook({});
        m_main.reset();
        m_messages.reset();
        m_db.reset();
        Clock::setToday(std::nullopt);
    }

    // Newest day first, then key and additional number as text; returned and orphaned movements are
    // not listed; the statement is exactly the designed one, with two blanks where no filter stands.
    void listOrderAndCells()
    {
        const qint32 abel = addPerson(*m_db, "Abel", "Anna");
        const qint32 zorn = addPerson(*m_db, "Zorn");
        addKey(*m_db, "A1", "Keller ");
        addKey(*m_db, "B2", "");
        movement(abel, "B2", " ", QDate(2026, 3, 5));
        movement(zorn, "A1", "2 ", QDate(2026, 3, 5));
        movement(abel, "A1", "1 ", QDate(2026, 3, 5));
        movement(abel, "A1", "9 ", QDate(2026, 3, 1));
        movement(abel, "A1", "3 ", QDate(2026, 3, 6), 1); // returned
        movement(99, "A1", "4 ", QDate(2026, 3, 6));      // no such person
        m_db->exec("INSERT INTO TBBewegungen (PersonID, SchluesselNr, Von, Status) VALUES(1, 'B2', #1/2/26#, 0)");
        recordStatements(m_sql);
        m_main->RefreshVergaben(false);
        QCOMPARE(m_sql, QStringList{kAll.arg(QString())});
        QCOMPARE(lines(), (QStringList{"05.03.2026|A1|1 |Keller |Abel Anna ", "05.03.2026|A1|2 |Keller |Zorn  ",
                                       "05.03.2026|B2| ||Abel Anna ", "01.03.2026|A1|9 |Keller |Abel Anna ",
                                       "02.01.2026|B2|||Abel Anna "}));
        // The hidden sixth cell holds the movement; the refill leaves the last line's ID cell current.
        QCOMPARE(m_main->vergaben->cellValue(5, 6).toInt(),
                 m_db->scalar("SELECT Max(BewID) FROM TBBewegungen").toInt());
        QCOMPARE(m_main->vergaben->cellValue(1, 1).toDate(), QDate(2026, 3, 5));
        QCOMPARE(m_main->vergaben->row(), 5);
        QCOMPARE(m_main->vergaben->col(), 6);
        QVERIFY(m_main->sprVergaben->isColumnHidden(5));
    }

    void filterNarrowsTheList_data()
    {
        QTest::addColumn<QStringList>("typed"); // from, to, key number, name
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("nothing typed") << QStringList{"", " ", "", ""} << "" << QStringList{"A1X", "BA1", "A10", "A1"};
        QTest::newRow("key prefix") << QStringList{"", "", " A1 ", ""} << "AND  TBSchluessel.SchluesselNr LIKE 'A1*'"
                                    << QStringList{"A1X", "A10", "A1"};
        QTest::newRow("key prefix in lower case")
            << QStringList{"", "", "a1", ""} << "AND  TBSchluessel.SchluesselNr LIKE 'a1*'"
            << QStringList{"A1X", "A10", "A1"};
        QTest::newRow("March, both ends included")
            << QStringList{"1.3.2026", "31.3.2026", "", ""} << "AND  Von >= #3/1/26# AND Von <= #3/31/26#"
            << QStringList{"BA1", "A10"};
        QTest::newRow("day and month in German order, two-digit year")
            << QStringList{"05.03.26", "", "", ""} << "AND  Von >= #3/5/26#" << QStringList{"A1X", "BA1"};
        QTest::newRow("a day long ago keeps its century")
            << QStringList{"", "1.1.1940", "", ""} << "AND  Von <= #1/1/1940#" << QStringList{};
        QTest::newRow("all four, quote doubled")
            << QStringList{"15.1.2026", "2.2.2026", "A", "O'N"}
            << "AND  Von >= #1/15/26# AND Von <= #2/2/26# AND TBSchluessel.SchluesselNr LIKE 'A*' AND Nachname LIKE "
               "'O''N*'"
            << QStringList{"A1"};
    }
    void filterNarrowsTheList()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, where);
        QFETCH(QStringList, keys);
        const qint32 oneil = addPerson(*m_db, "O'Neil", "Sean");
        const qint32 abel = addPerson(*m_db, "Abel");
        for (const char* key : {"A1", "A10", "A1X", "BA1"})
            addKey(*m_db, key, "");
        movement(oneil, "A1", " ", QDate(2026, 2, 2));
        movement(abel, "A10", " ", QDate(2026, 3, 1));
        movement(abel, "BA1", " ", QDate(2026, 3, 31));
        movement(abel, "A1X", " ", QDate(2026, 4, 1));
        recordStatements(m_sql);
        filter(typed);
        QCOMPARE(m_sql, QStringList{kAll.arg(where)});
        QCOMPARE(column(2), keys);
        // A refill without the dialog applies no filter.
        m_main->RefreshVergaben(false);
        QCOMPARE(m_main->vergaben->maxRows(), 4);
    }

    // A refused date keeps the dialog open with the field's text selected; the members of dates that
    // passed are set already. Closing the dialog then lists everything, even after a filter.
    void filterRefusals_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("von");
        QTest::newRow("from-date no date")
            << QStringList{"abc", "1.3.2026"} << "'Von Datum' enthält einen ungültigen Wert"
            << "dfVonDatum"
            << "1/1/26";
        QTest::newRow("to-date no day") << QStringList{"1.3.2026", "31.2.2026"}
                                        << "'Bis Datum' enthält einen ungültigen Wert"
                                        << "dfBisDatum"
                                        << "3/1/26";
        QTest::newRow("to-date before from-date")
            << QStringList{"5.3.2026", "4.3.2026"} << "Das 'Bis-Datum' darf nicht vor dem 'Von-Datum' liegen"
            << "dfVonDatum"
            << "3/5/26";
    }
    void filterRefusals()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, von);
        addPerson(*m_db, "Abel");
        addKey(*m_db, "K1", "");
        movement(1, "K1", " ", QDate(2025, 1, 1));
        movement(1, "K1", " ", QDate(2026, 3, 9));
        filter({"1.1.2026"});
        QCOMPARE(m_main->vergaben->maxRows(), 1);

        int result = -1;
        DialogRunner::setHook([&](QDialog& shown) {
            auto& dialog = static_cast<DlgFilter&>(shown);
            dialog.dfVonDatum->setText(typed[0]);
            dialog.dfBisDatum->setText(typed[1]);
            dialog.pbOK_Click();
            QCOMPARE(m_messages->lastText(), message);
            QCOMPARE(m_messages->shown.last().icon, Messages::Icon::Information);
            auto* field = dialog.findChild<QLineEdit*>(focus);
            QCOMPARE(dialog.focusWidget(), field);
            QCOMPARE(field->selectedText(), field->text());
            QCOMPARE(DlgFilter::fltVonDatum, von);
            QCOMPARE(dialog.dfBisDatum->text(), typed[1]);
            result = dialog.result();
            dialog.show();
            dialog.close(); // the close box counts as Abbrechen
        });
        m_main->pbFilter_Click();
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!DlgFilter::fltResponse);
        QCOMPARE(m_main->vergaben->maxRows(), 2);
    }

    // One order state for the whole grid: each header click turns it, whichever column; the sorted
    // column turns grey and the others plain; dates compare as dates; kind 1 changes nothing.
    void sortToggleAcrossColumns()
    {
        addKey(*m_db, "K1", "");
        movement(addPerson(*m_db, "Zorn"), "K1", "1 ", QDate(2026, 3, 5));
        movement(addPerson(*m_db, "Abel"), "K1", "2 ", QDate(1999, 3, 5));
        movement(addPerson(*m_db, "meier"), "K1", "3 ", QDate(2000, 1, 1));
        m_main->RefreshVergaben(false);
        const QStringList ids = column(6);

        m_main->sprVergaben_Click(0, 5);
        QCOMPARE(column(5), (QStringList{"Abel  ", "meier  ", "Zorn  "}));
        QCOMPARE(backgrounds(1), (QList<int>{kPlain, kPlain, kPlain, kPlain, kGrey, kPlain}));
        m_main->sprVergaben_Click(0, 5);
        QCOMPARE(column(5), (QStringList{"Zorn  ", "meier  ", "Abel  "}));
        m_main->sprVergaben_Click(0, 1);
        QCOMPARE(column(1), (QStringList{"05.03.1999", "01.01.2000", "05.03.2026"}));
        QCOMPARE(backgrounds(3), (QList<int>{kGrey, kPlain, kPlain, kPlain, kPlain, kPlain}));
        QCOMPARE(column(3), (QStringList{"2 ", "3 ", "1 "})); // lines move whole
        m_main->sprVergaben_Click(1, 5);
        QCOMPARE(column(1), (QStringList{"05.03.1999", "01.01.2000", "05.03.2026"}));
        QCOMPARE(backgrounds(3).first(), kGrey);

        // The state survives a refill, which brings back the query's order and plain cells.
        m_main->RefreshVergaben(false);
        QCOMPARE(column(6), ids);
        QCOMPARE(backgrounds(1).first(), kPlain);
        m_main->sprVergaben_Click(0, 1);
        QCOMPARE(column(1), (QStringList{"05.03.2026", "01.01.2000", "05.03.1999"}));
    }

    void handout_data()
    {
        QTest::addColumn<bool>("person");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("out"); // an earlier movement: "key/number", returned: "key/number/1"
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no person, no key") << false << ""
                                           << ""
                                           << ""
                                           << "Es ist keine Person für die Vergabe ausgewählt"
                                           << "";
        QTest::newRow("no key") << true << ""
                                << ""
                                << ""
                                << "Es ist kein Schlüssel für die Vergabe ausgewählt"
                                << "";
        QTest::newRow("number required, blanks only")
            << true << "KZ"
            << "  "
            << ""
            << "Für die Vergabe dieses Schlüssels muß eine Zusatznummer angegeben werden"
            << "dfZusatzNr";
        QTest::newRow("number out with this key, stored with its blank") << true << "KZ"
                                                                         << "3 "
                                                                         << "KZ/3 "
                                                                         << "Diese Zusatznummer wurde bereits verwendet"
                                                                         << "dfZusatzNr";
        QTest::newRow("number out with another key") << true << "KZ"
                                                     << "3"
                                                     << "K1/3 "
                                                     << ""
                                                     << "";
        QTest::newRow("number returned") << true << "KZ"
                                         << "3"
                                         << "KZ/3 /1"
                                         << ""
                                         << "";
        QTest::newRow("no copy left") << true << "K1"
                                      << ""
                                      << "K1/ "
                                      << "Es sind keine Schlüssel mehr verfügbar"
                                      << "dfSchlSuch";
        QTest::newRow("nothing in stock") << true << "K0"
                                          << ""
                                          << ""
                                          << "Es sind keine Schlüssel mehr verfügbar"
                                          << "dfSchlSuch";
        QTest::newRow("key gone meanwhile")
            << true << "GONE"
            << ""
            << ""
            << "Diesen Schlüssel gibt es nicht mehr. Die Schlüsselliste wird neu geladen."
            << "dfSchlSuch";
        QTest::newRow("no number required: typed text kept, quote doubled, large stock") << true << "KBIG"
                                                                                         << "x'"
                                                                                         << ""
                                                                                         << ""
                                                                                         << "";
    }
    void handout()
    {
        QFETCH(bool, person);
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, out);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        addPerson(*m_db, "Meier", "Hans");
        m_db->exec("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES ('K1', '', 1, False), "
                   "('K0', '', 0, False), ('KZ', '', 5, True), ('KBIG', '', 70000, False), ('GONE', '', 1, False)");
        if (!out.isEmpty()) {
            const QStringList parts = out.split('/');
            movement(1, parts[0], parts[1], QDate(2026, 1, 1), parts.size() > 2 ? 1 : 0);
        }
        m_main->show();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        if (person)
            m_main->lstPerson->setCurrentRow(0);
        if (!key.isEmpty())
            select(m_main->lstSchluessel, key + '\t');
        m_db->exec("DELETE * FROM TBSchluessel WHERE SchluesselNr = 'GONE'");
        m_main->dfZusatzNr->setText(typed);
        const int movements = m_db->count("TBBewegungen");
        const int listed = m_main->vergaben->maxRows();
        recordStatements(m_sql);

        m_messages->queueAnswer(Messages::Answer::No);
        m_main->pbVergabe_Click();
        QCOMPARE(m_messages->shown.size(), 1);
        if (!message.isEmpty()) {
            QCOMPARE(m_messages->lastText(), message);
            QCOMPARE(m_messages->shown.last().icon, Messages::Icon::Information);
            if (!focus.isEmpty())
                QCOMPARE(QApplication::focusWidget()->objectName(), focus);
            QCOMPARE(m_db->count("TBBewegungen"), movements);
            QCOMPARE(m_main->lstSchluessel->count(), key == "GONE" ? 4 : 5);
            return;
        }
        // Answered No: nothing stored, the field keeps its text. Then Yes.
        QCOMPARE(m_messages->lastText(),
                 "Soll der Person 'Meier Hans' der Schlüssel '" + key + "/" + typed + "' zugeordnet werden?");
        QCOMPARE(m_db->count("TBBewegungen"), movements);
        QCOMPARE(m_main->dfZusatzNr->text(), typed);
        m_main->pbVergabe_Click();
        QCOMPARE(m_sql.filter("INSERT").first(),
                 "INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES(1, '" + key +
                     "', '" + Sql::sqlText(typed) + " ', #3/10/26#, 0, null)");
        QCOMPARE(m_db->count("TBBewegungen", "Status = 0 AND Bis IS NULL AND Von = #3/10/26#"), 1);
        QCOMPARE(m_main->vergaben->maxRows(), listed + 1);
        QCOMPARE(m_main->vergaben->cellText(1, 3), typed + ' ');
        QVERIFY(m_main->dfZusatzNr->text().isEmpty());
        QVERIFY(m_main->selectedPerson());
        QCOMPARE(m_main->selectedKeyNumber(), key);
    }

    // The return takes the selected line's movement, also after a re-sort; without a selected line
    // or with an empty identifier nothing is written.
    void returnAfterSort()
    {
        addKey(*m_db, "K1", "");
        movement(addPerson(*m_db, "Zorn"), "K1", "1 ", QDate(2026, 3, 5));
        movement(addPerson(*m_db, "Abel"), "K1", "2 ", QDate(2026, 3, 1));
        m_main->RefreshVergaben(false);
        m_main->sprVergaben_Click(0, 5);
        recordStatements(m_sql);
        m_main->pbRueckgabe_Click();
        QVERIFY(m_sql.isEmpty());

        m_main->sprVergaben->selectRow(0); // Abel
        m_main->sprVergaben_Click(0, 5);   // Zorn first now; the selection follows Abel
        QCOMPARE(m_main->vergaben->activeRow(), 2);
        m_main->pbRueckgabe_Click();
        QCOMPARE(m_sql.first(), QStringLiteral("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 2"));
        QCOMPARE(m_db->count("TBBewegungen", "Status = 1 AND Bis IS NULL AND ZusatzNr = '2'"), 1);
        QCOMPARE(lines(), QStringList{"05.03.2026|K1|1 ||Zorn  "});

        m_main->vergaben->setMaxRows(2);
        m_main->sprVergaben->selectRow(1);
        m_sql.clear();
        m_main->pbRueckgabe_Click();
        QVERIFY(m_sql.isEmpty());
    }

    // More lines than a 16-bit counter holds: filled and sorted whole, the lines kept together.
    void largeList()
    {
        VergabenModel::Lines many;
        many.lines.resize(40000);
        for (int i = 0; i < many.lines.size(); ++i) {
            many.lines[i].von = QDate(2000, 1, 1).addDays(i % 9000);
            many.lines[i].person = many.texts.add(QStringLiteral("P%1").arg(i));
            many.lines[i].bewId = i;
        }
        VergabenModel& grid = *m_main->vergaben;
        grid.setLines(std::move(many));
        m_main->sprVergaben_Click(0, 6);
        m_main->sprVergaben_Click(0, 6);
        QCOMPARE(grid.cellText(1, 6), QStringLiteral("39999"));
        QCOMPARE(grid.cellText(40000, 5), QStringLiteral("P0"));
        QCOMPARE(grid.cellValue(40000, 1).toDate(), QDate(2000, 1, 1));
    }
};

CLAVARO_TEST_MAIN(TestHandouts)
#include "test_handouts.moc"

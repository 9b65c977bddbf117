// The handout pane on its own: the list with its filter and sort, the handout and the return, the printed list.
#include "core/AppState.h"
#include "core/Clock.h"
#include "handouts/DlgFilter.h"
#include "handouts/HandoutPane.h"
#include "handouts/ListPrintout.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TextRecorder.h"
#include "widgets/DesignedFont.h"
#include "widgets/DialogRunner.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

namespace {

const QString kAll = QStringLiteral(
    "SELECT Von, TBSchluessel.SchluesselNr, TBBewegungen.ZusatzNr, Funktion, Nachname, Vorname, BewID FROM "
    "(TBBewegungen INNER JOIN TBSchluessel ON TBBewegungen.SchluesselNr = TBSchluessel.SchluesselNr) INNER JOIN "
    "TBPersonen ON TBBewegungen.PersonID = TBPersonen.PersID WHERE Status = 0 %1 ORDER BY Von DESC, "
    "TBSchluessel.SchluesselNr ASC, TBBewegungen.ZusatzNr ASC");

// Person chosen, key, typed number, an earlier movement ("key/number[/1 if returned]"), refusal, its focus;
// when the handout goes ahead, the number as the insert writes it.
struct Attempt
{
    bool person;
    QString key, typed, out, message, focus, stored;
};

} // namespace

class TestHandoutPane : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<HandoutPane> m_pane;
    QStringList m_sql;

    // The cells of columns first to last of every line, joined by "|".
    QStringList lines(int first = 1, int last = 5) const
    {
        QStringList out;
        for (int r = 1; r <= m_pane->vergaben->maxRows(); ++r) {
            QStringList cells;
            for (int c = first; c <= last; ++c)
                cells << m_pane->vergaben->text(r, c);
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    QString column(int c) const { return lines(c, c).join(QLatin1Char(' ')); }
    // A line's six cells as the grid shows them: 'g' on the sorted column's grey, '.' on plain.
    QString shades(int row) const
    {
        QString out;
        for (int c = 0; c < 6; ++c) {
            const QVariant back = m_pane->vergaben->index(row - 1, c).data(Qt::BackgroundRole);
            out += !back.isValid() ? '.' : back == QColor(0xC0C0C0) ? 'g' : '?';
        }
        return out;
    }
private Q_SLOTS:
    void init()
    {
        Clock::setToday(QDate(2026, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        m_pane = std::make_unique<HandoutPane>();
    }
    void cleanup()
    {
        DialogRunner::setHook({});
        m_pane.reset();
        m_messages.reset();
        m_db.reset();
        Clock::setToday(std::nullopt);
    }

    // Newest day first, then key and number as text; returned and orphaned movements left out; two blanks.
    void listOrderAndCells()
    {
        const qint32 abel = addPerson(*m_db, "Abel", "Anna");
        const qint32 zorn = addPerson(*m_db, "Zorn");
        addKey(*m_db, "A1", "Keller ");
        addKey(*m_db, "B2", "");
        addMovement(*m_db, "B2", 0, abel, "3/5/26");
        addMovement(*m_db, "A1", 0, zorn, "3/5/26", "2");
        addMovement(*m_db, "A1", 0, abel, "3/5/26", "1");
        addMovement(*m_db, "A1", 0, abel, "3/1/26", "9");
        addMovement(*m_db, "A1", 1, abel, "3/6/26", "3"); // returned
        addMovement(*m_db, "A1", 0, 99, "3/6/26", "4");   // no such person
        m_db->exec("INSERT INTO TBBewegungen (PersonID, SchluesselNr, Von, Status) VALUES(1, 'B2', #1/2/26#, 0)");
        m_pane->RefreshVergaben(false);
        QCOMPARE(lines(), (QStringList{"05.03.2026|A1|1 |Keller |Abel Anna ", "05.03.2026|A1|2 |Keller |Zorn  ",
                                       "05.03.2026|B2| ||Abel Anna ", "01.03.2026|A1|9 |Keller |Abel Anna ",
                                       "02.01.2026|B2|||Abel Anna "}));
        // The hidden sixth cell holds the movement.
        QCOMPARE(*m_pane->vergaben->movement(5), m_db->scalar("SELECT Max(BewID) FROM TBBewegungen").toInt());
        // Namesakes differ by their personnel number, which the person cell's tooltip shows.
        m_db->exec("UPDATE TBPersonen SET PersNr = '4711 ' WHERE Nachname = 'Abel'");
        const auto tip = [this](int row, int col) { return m_pane->vergaben->index(row, col).data(Qt::ToolTipRole); };
        QCOMPARE(tip(0, 4).toString(), QStringLiteral("Abel Anna – Personalnummer 4711"));
        QCOMPARE(tip(1, 4).toString(), QStringLiteral("Zorn – ohne Personalnummer"));
        QVERIFY(!tip(0, 0).isValid());
    }

    // A refused date leaves the dialog open; closing it then lists all.
    void filterTheList_data()
    {
        // Typed "from|to|key|name"; the condition; the refusal "message|focus"; the keys listed; the filter as
        // the window and the printed list tell it.
        QTest::addColumn<QStringList>("f");
        const QString all = QStringLiteral("A1X BA1 A10 A1");
        QTest::newRow("nothing typed") << QStringList{"| ||", "", "", all};
        QTest::newRow("key prefix, blanks trimmed, lower case") << QStringList{
            "|| a1 |", "AND  TBSchluessel.SchluesselNr LIKE 'a1*'", "", "A1X A10 A1", "SchlüsselNr beginnt mit „a1“"};
        QTest::newRow("day and month in German order, two-digit year")
            << QStringList{"05.03.26", "AND  Von >= #3/5/26#", "", "A1X BA1", "Datum ab 05.03.2026"};
        QTest::newRow("a day long ago keeps its century")
            << QStringList{"|1.1.1940", "AND  Von <= #1/1/1940#", "", "", "Datum bis 01.01.1940"};
        QTest::newRow("all four, one day with both ends included, quote doubled") << QStringList{
            "2.2.2026|2.2.2026|A1|O'N",
            "AND  Von >= #2/2/26# AND Von <= #2/2/26# AND TBSchluessel.SchluesselNr LIKE 'A1*' AND Nachname "
            "LIKE 'O''N*'",
            "", "A1",
            "Datum ab 02.02.2026, Datum bis 02.02.2026, SchlüsselNr beginnt mit „A1“, Name beginnt mit „O'N“"};
        QTest::newRow("from-date no date")
            << QStringList{"abc|1.3.2026", "", "'Von Datum' enthält einen ungültigen Wert|dfVonDatum", all};
        QTest::newRow("to-date no day") << QStringList{"1.3.2026|31.2.2026", "",
                                                       "'Bis Datum' enthält einen ungültigen Wert|dfBisDatum", all};
        QTest::newRow("to-date before from-date") << QStringList{
            "5.3.2026|4.3.2026", "", "Das 'Bis-Datum' darf nicht vor dem 'Von-Datum' liegen|dfVonDatum", all};
    }
    void filterTheList()
    {
        QFETCH(QStringList, f);
        const qint32 oneil = addPerson(*m_db, "O'Neil", "Sean");
        const qint32 abel = addPerson(*m_db, "Abel");
        for (const char* key : {"A1", "A10", "A1X", "BA1"})
            addKey(*m_db, key, "");
        addMovement(*m_db, "A1", 0, oneil, "2/2/26");
        addMovement(*m_db, "A10", 0, abel, "3/1/26");
        addMovement(*m_db, "BA1", 0, abel, "3/31/26");
        addMovement(*m_db, "A1X", 0, abel, "4/1/26");
        recordStatements(m_sql);
        QString refusal;
        DialogRunner::setHook([&](QDialog& shown) {
            auto& dialog = static_cast<DlgFilter&>(shown);
            const QStringList typed = f[0].split(QLatin1Char('|'));
            QLineEdit* fields[] = {dialog.dfVonDatum, dialog.dfBisDatum, dialog.dfSchlNr, dialog.dfName};
            for (int i = 0; i < typed.size(); ++i)
                fields[i]->setText(typed[i]);
            dialog.pbOK_Click();
            if (dialog.result() == QDialog::Accepted)
                return;
            // Open still, the field's text selected for retyping, nothing typed lost; then the close box.
            auto* field = qobject_cast<QLineEdit*>(dialog.focusWidget());
            QVERIFY(field && field->selectedText() == field->text() && dialog.dfBisDatum->text() == typed.value(1));
            refusal = m_messages->lastText() + '|' + field->objectName();
            dialog.show();
            dialog.close();
        });
        m_pane->pbFilter_Click();
        QCOMPARE(refusal, f[2]);
        QCOMPARE(m_sql, QStringList{kAll.arg(f[1])});
        QCOMPARE(column(2), f[3]);
        // Beside the caption: how many lines, and that a filter hides some; the printed list says which.
        const int shown = m_pane->vergaben->maxRows();
        const bool filtered = !f.value(4).isEmpty();
        QCOMPARE(m_pane->lblFilterStand->text(),
                 QStringLiteral("Zeilen: %1%2").arg(shown).arg(filtered ? " – gefiltert" : ""));
        QCOMPARE(m_pane->lblFilterStand->toolTip(), f.value(4));
        QCOMPARE(m_pane->listNote(),
                 filtered ? QStringLiteral("Gefilterte Liste (%1) – Zeilen: %2").arg(f[4]).arg(shown)
                          : QStringLiteral("Vollständige Liste aller ausgegebenen Schlüssel – Zeilen: 4"));
        QCOMPARE(m_pane->mnuFilterAufheben->isEnabled(), filtered);
        m_pane->mnuFilterAufheben->trigger(); // every copy out again, in one step
        QCOMPARE(m_pane->vergaben->maxRows(), 4);
        QCOMPARE(m_pane->lblFilterStand->text(), QStringLiteral("Zeilen: 4"));
        QVERIFY(!m_pane->mnuFilterAufheben->isEnabled());
    }

    // One order state: each header click turns it, whichever column; the sorted column grey, the others
    // plain; dates as dates; kind 1 changes nothing. The return takes the selected line's movement.
    void sortToggleAndReturn()
    {
        addKey(*m_db, "K1", "");
        addMovement(*m_db, "K1", 0, addPerson(*m_db, "Zorn"), "3/5/26", "1");
        addMovement(*m_db, "K1", 0, addPerson(*m_db, "Abel"), "3/5/1999", "2");
        addMovement(*m_db, "K1", 0, addPerson(*m_db, "meier"), "1/1/2000", "3");
        m_pane->RefreshVergaben(false);
        const QString ids = column(6);

        m_pane->sprVergaben_Click(0, 5);
        QCOMPARE(column(5) + shades(1), "Abel   meier   Zorn  ....g.");
        const QString descending = "05.03.2026 01.01.2000 05.03.1999g.....";
        m_pane->sprVergaben_Click(0, 1);
        QCOMPARE(column(1) + shades(3), descending);
        QCOMPARE(column(3), "1  3  2 "); // lines move whole
        m_pane->sprVergaben_Click(1, 5);
        QCOMPARE(column(1) + shades(3), descending);
        m_pane->RefreshVergaben(false); // the query's order and plain cells; the order state stays
        QCOMPARE(column(6) + shades(1), ids + "......");
        m_pane->sprVergaben_Click(0, 1);
        QCOMPARE(column(1), "05.03.1999 01.01.2000 05.03.2026");

        recordStatements(m_sql);
        m_pane->pbRueckgabe_Click();
        QVERIFY(m_sql.isEmpty());
        m_pane->sprVergaben->selectRow(2); // Zorn
        m_pane->sprVergaben_Click(0, 5);   // Zorn first now; the selection follows him
        m_pane->pbRueckgabe_Click();
        QCOMPARE(m_sql.first(), QStringLiteral("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1"));
        QCOMPARE(lines(1, 3), (QStringList{"01.01.2000|K1|3 ", "05.03.1999|K1|2 "}));
        VergabenModel::Lines noIdentifier;
        noIdentifier.lines.resize(1);
        m_pane->vergaben->setLines(std::move(noIdentifier));
        m_pane->sprVergaben->selectRow(0);
        m_sql.clear();
        m_pane->pbRueckgabe_Click(); // a line with an empty identifier
        QVERIFY(m_sql.isEmpty());
    }

    // Refusals in their order (each row's later checks would refuse too), else No stores nothing, Yes inserts.
    void handout_data()
    {
        QTest::addColumn<Attempt>("a");
        const QString required = "Für die Vergabe dieses Schlüssels muß eine Zusatznummer angegeben werden";
        const QString taken = QStringLiteral("Diese Zusatznummer wurde bereits verwendet");
        const QString noneLeft = QStringLiteral("Es sind keine Schlüssel mehr verfügbar");
        const QString gone =
            QStringLiteral("Diesen Schlüssel gibt es nicht mehr. Die Schlüsselliste wird neu geladen.");
        QTest::newRow("no person, no key")
            << Attempt{false, "", "", "", "Es ist keine Person für die Vergabe ausgewählt", "", ""};
        QTest::newRow("no key") << Attempt{true, "", "", "", "Es ist kein Schlüssel für die Vergabe ausgewählt",
                                           "",   ""};
        QTest::newRow("number required, blanks only, none left")
            << Attempt{true, "KZ", "  ", "KZ/7", required, "dfZusatzNr", ""};
        QTest::newRow("number out with this key, stored with its blank, none left")
            << Attempt{true, "KZ", "3 ", "KZ/3", taken, "dfZusatzNr", ""};
        QTest::newRow("number out with another key") << Attempt{true, "KZ", "3", "K1/3", "", "", "3 "};
        QTest::newRow("number returned") << Attempt{true, "KZ", "3", "KZ/3/1", "", "", "3 "};
        QTest::newRow("no copy left") << Attempt{true, "K1", "", "K1/", noneLeft, "dfSchlSuch", ""};
        QTest::newRow("key gone meanwhile") << Attempt{true, "GONE", "", "", gone, "dfSchlSuch", ""};
        QTest::newRow("no number required: typed text kept, quote doubled, stock beyond 16 bits")
            << Attempt{true, "KBIG", "x'", "", "", "", "x'' "};
    }
    void handout()
    {
        QFETCH(Attempt, a);
        addPerson(*m_db, "Meier", "Hans");
        m_db->exec("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES ('K1', '', 1, False), "
                   "('KZ', '', 1, True), ('KBIG', '', 65536, False), ('GONE', '', 1, False)");
        if (!a.out.isEmpty())
            addMovement(*m_db, a.out.section('/', 0, 0), a.out.count('/') - 1, 1, "1/1/26", a.out.section('/', 1, 1));
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowActive(m_pane.get()));
        m_pane->selectedPerson = [&a]() -> std::optional<PersEntry> {
            return a.person ? std::optional(PersEntry{1, "Meier Hans"}) : std::nullopt;
        };
        m_pane->selectedKeyNumber = [&a] { return a.key; };
        QSignalSpy gone(m_pane.get(), &HandoutPane::keyGone);
        QSignalSpy keySearch(m_pane.get(), &HandoutPane::keySearchWanted);
        m_db->exec("DELETE * FROM TBSchluessel WHERE SchluesselNr = 'GONE'");
        m_pane->dfZusatzNr->setText(a.typed);
        m_pane->RefreshVergaben(false);
        const int movements = m_db->count("TBBewegungen");
        const int listed = m_pane->vergaben->maxRows();
        recordStatements(m_sql);

        m_messages->queueAnswer(Messages::Answer::No);
        m_pane->pbVergabe_Click();
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_db->count("TBBewegungen"), movements);
        if (!a.message.isEmpty()) {
            QCOMPARE(m_messages->lastText(), a.message);
            if (a.focus == "dfZusatzNr")
                QCOMPARE(QApplication::focusWidget(), m_pane->dfZusatzNr);
            QCOMPARE(keySearch.count(), int(a.focus == "dfSchlSuch"));
            QCOMPARE(gone.count(), int(a.key == "GONE")); // a gone key refills the key list
            return;
        }
        QCOMPARE(m_messages->lastText(),
                 "Soll der Person 'Meier Hans' der Schlüssel '" + a.key + "/" + a.typed + "' zugeordnet werden?");
        QCOMPARE(m_pane->dfZusatzNr->text(), a.typed);
        m_pane->pbVergabe_Click();
        QCOMPARE(m_sql.filter("INSERT").first(),
                 "INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) VALUES(1, '" + a.key +
                     "', '" + a.stored + "', #3/10/26#, 0, null)");
        QCOMPARE(m_pane->vergaben->maxRows(), listed + 1);
        QVERIFY(m_pane->dfZusatzNr->text().isEmpty());
    }

    // The columns' shares are measured in Arial's widths; in a wider font a date and the captions still fit.
    void columnsHoldTheirTextInAnyFont()
    {
        m_pane->setTexts();
        const std::array<int, 5> designed = {1009, 1211, 1009, 3028, 4038};
        m_pane->sprVergaben->setFont(designedFont());
        m_pane->setColumnWidths(designed);
        QCOMPARE(m_pane->sprVergaben->columnWidth(0), qRound(1009 / 15.0));
        m_pane->sprVergaben->setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
        m_pane->setColumnWidths(designed);
        const QFontMetrics metrics = m_pane->sprVergaben->fontMetrics();
        QVERIFY(m_pane->sprVergaben->columnWidth(0) > metrics.horizontalAdvance(QStringLiteral("28.12.2026")));
        QVERIFY(m_pane->sprVergaben->columnWidth(1) > metrics.horizontalAdvance(QStringLiteral("SchlüsselNr")));
        QCOMPARE(m_pane->sprVergaben->columnWidth(3), qRound(3028 / 15.0)); // wide enough as designed
    }

    // With many lines and one long enough to wrap: every line once and in order under a header and the note
    // of what the list holds on every page.
    void linesAcrossPages()
    {
        ListPrintout::Table table{{"Datum", "SchlüsselNr", "ZusatzNr", "Funktion", "Person"}, {}};
        QStringList expected;
        for (int i = 1; i <= 153; ++i) {
            expected << QStringLiteral("K%1").arg(i);
            table.lines << QStringList{"05.03.2026", expected.last(), "", "", QStringLiteral("Person %1").arg(i)};
        }
        table.lines[6][4] = QStringLiteral("Sehr-langer-Doppelname-der-nicht-in-die-Spalte-passt ").repeated(4);
        QTemporaryDir dir;
        QPdfWriter writer(dir.filePath("list.pdf"));
        writer.setPageMargins(QMarginsF(25, 36, 25, 36), QPageLayout::Point);
        const QString note = "Gefilterte Liste (Datum ab 05.03.2026) – Zeilen: 153";
        ListPrintout printout(table, "Liste der Schlüsselvergaben", "Brannwerk MERIDIAN Clavaro", note);
        printout.layout(writer);
        QVERIFY(printout.pageCount() > 1);
        QStringList keys;
        for (int page = 1; page <= printout.pageCount(); ++page) {
            TextRecorder recorder(writer);
            QPainter painter(&recorder);
            printout.drawPage(painter, page);
            painter.end();
            const QStringList texts = recorder.texts();
            QCOMPARE(texts.mid(0, 4), (QStringList{"Liste der Schlüsselvergaben", note, "Datum", "SchlüsselNr"}));
            const QString number = QStringLiteral("%1 / %2").arg(page).arg(printout.pageCount());
            QCOMPARE(texts.mid(texts.size() - 2), (QStringList{"Brannwerk MERIDIAN Clavaro", number}));
            keys << texts.filter(QRegularExpression("^K\\d+$"));
        }
        QCOMPARE(keys, expected);
        QVERIFY(printout.print(writer));
    }
};

CLAVARO_TEST_MAIN(TestHandoutPane)
#include "test_handoutpane.moc"

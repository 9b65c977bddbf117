// The key dialog and the key pane: number filter, stock, saving and its checks; the key list, its buttons, and
// the key deletion from the pane and the dialog.
#include "core/SqlError.h"
#include "keys/DlgSchluessel.h"
#include "keys/KeyPane.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "widgets/DialogRunner.h"
#include "widgets/TabListWidget.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>

class TestKeys : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<KeyPane> m_pane;
    QStringList m_sql;

    QStringList rows() const
    {
        QStringList texts;
        for (int i = 0; i < m_pane->lstSchluessel->count(); ++i)
            texts << m_pane->lstSchluessel->item(i)->text();
        return texts;
    }
    void select(const QString& keyNumber)
    {
        m_pane->lstSchluessel->setCurrentItem(
            m_pane->lstSchluessel->findItems(keyNumber + QLatin1Char('\t'), Qt::MatchStartsWith).value(0));
    }
    int keys(const QString& nr) { return m_db->count(QStringLiteral("TBSchluessel"), "SchluesselNr = '" + nr + "'"); }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        // Key numbers of 3, 4 (one of them two bytes in UTF-8), 5 and 10 characters; a tab in a function.
        for (const char* key : {"A12|Haupt\teingang ", "ÄB12|Tor ", "GH200|Hof ", "ABCDEFGH12|O'Neil "})
            addKey(*m_db, QString::fromUtf8(key).section('|', 0, 0), QString::fromUtf8(key).section('|', 1));
        m_pane = std::make_unique<KeyPane>();
        m_pane->pbSchlSuch_Click();
    }
    void cleanup()
    {
        DialogRunner::setHook({});
        m_pane.reset();
        m_messages.reset();
        m_db.reset();
    }

    void filter_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("beeps");
        QTest::newRow("typed, umlauts too") << QStringLiteral("k-1oqä1Öü2ß") << false << "K10012" << 5;
        // The field keeps its ten places first; the filter then cleans what arrived in one go.
        QTest::newRow("pasted long with junk") << "x1-y2 z3.w4v5abc" << true << "X1Y2Z3W" << 3;
    }
    void filter()
    {
        QFETCH(QString, input);
        QFETCH(bool, paste);
        QFETCH(QString, expected);
        QFETCH(int, beeps);
        DlgSchluessel dlg;
        if (paste)
            dlg.dfSchluesselNr->insert(input);
        else // key by key, umlauts too, as a keyboard types them
            for (QChar c : input)
                QTest::sendKeyEvent(QTest::Click, dlg.dfSchluesselNr, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QCOMPARE(dlg.dfSchluesselNr->text(), expected);
        QCOMPARE(m_messages->beeps, beeps);
        QCOMPARE(dlg.dfSchluesselNr->cursorPosition(), int(expected.size()));
    }

    // OK refuses a missing number (350) and one that another key has (351), also as a changed number, and
    // writes nothing then. The insert appends a blank to the function; the update writes it back as it
    // stands, even at full length.
    void save()
    {
        addKey(*m_db, QStringLiteral("B7"), QStringLiteral("Keller "));
        const QString typedFunction = QString(49, QLatin1Char('x')) + QLatin1Char('\'');
        const QString function = Sql::sqlText(typedFunction) + QLatin1Char(' ');
        DlgSchluessel dlg;
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        const auto ok = [&](const QString& typed) {
            m_messages->clear();
            dlg.dfSchluesselNr->setText(typed);
            dlg.pbOK_Click();
            return m_messages->lastText();
        };
        const QString k351 = QStringLiteral("Ein Schlüssel mit dieser Nummer ist bereits vorhanden.");
        dlg.load(QString());
        QVERIFY(!dlg.pbLoeschen->isEnabled());
        dlg.dfFunktion->setText(typedFunction);
        dlg.dfGesamt->setText(QStringLiteral("3 Stück"));
        dlg.cbZusatzNr->setChecked(true);
        recordStatements(m_sql);
        QCOMPARE(ok(QStringLiteral(" ")), QStringLiteral("Eine Schlüsselnummer muß angegeben werden!"));
        QCOMPARE(ok(QStringLiteral("b7")), k351);
        QCOMPARE(ok(QStringLiteral("k7")), QString());
        QCOMPARE(m_sql.filter(QRegularExpression("^(INSERT|UPDATE)")),
                 QStringList{"INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('K7', '" +
                             function + "', 3, True)"});

        recordStatements(m_sql);
        dlg.load(QStringLiteral("K7"));
        QVERIFY(dlg.pbLoeschen->isEnabled());
        QCOMPARE(ok(QStringLiteral("B7")), k351);
        QCOMPARE(ok(QStringLiteral("K73")), QString());
        QCOMPARE(m_sql.filter(QRegularExpression("^(INSERT|UPDATE)")),
                 QStringList{"UPDATE TBSchluessel SET SchluesselNr = 'K73', Funktion = '" + function +
                             "', Gesamt = 3, ZusatzNr = True WHERE SchluesselNr = 'K7'"});
        QCOMPARE(m_sql.mid(0, 2),
                 QStringList({"SELECT * FROM TBSchluessel WHERE SchluesselNr = 'K7'",
                              "SELECT Count(BewID) FROM TBBEwegungen WHERE Status = 0 AND SchluesselNr = 'K7'"}));
        QCOMPARE(accepted.count(), 2);
    }

    // A key number longer than its field (written by another tool) stays when OK changes nothing; a change
    // that would store it shortened is asked about first.
    void overlongNumber()
    {
        const QString number = QStringLiteral("ABCDEFGHJK12");
        db().executeNative("PRAGMA ignore_check_constraints = 1");
        addKey(*m_db, number, "Tor ");
        db().executeNative("PRAGMA ignore_check_constraints = 0");
        DlgSchluessel dlg;
        dlg.load(number);
        recordStatements(m_sql);
        dlg.pbOK_Click();
        QCOMPARE(m_sql.filter(QRegularExpression("^(INSERT|UPDATE)")), QStringList());
        QVERIFY(m_messages->shown.isEmpty());
        dlg.load(number);
        dlg.dfGesamt->setText(QStringLiteral("5"));
        m_messages->queueAnswer(Messages::Answer::No);
        dlg.pbOK_Click();
        QCOMPARE(m_messages->lastText(), "Gespeicherte Werte sind länger, als dieses Fenster sie fassen kann, und "
                                         "würden gekürzt gespeichert: Schlüsselnummer\r\nTrotzdem speichern?");
        QCOMPARE(m_sql.filter(QRegularExpression("^(INSERT|UPDATE)")), QStringList());
        QCOMPARE(keys(number), 1);
    }

    // With 5 in total and 3 out, 2 are free; leaving the total at 2, not at 3, warns (German in every
    // language), but OK stores it; a new key loaded afterwards starts from nothing out.
    void stock()
    {
        addKey(*m_db, QStringLiteral("K5"), QStringLiteral("Haupteingang "), 5);
        for (int status : {0, 0, 0, 1})
            addMovement(*m_db, QStringLiteral("K5"), status);
        app().Sprache = QStringLiteral("EN");
        DlgSchluessel dlg;
        dlg.load(QStringLiteral("K5"));
        QCOMPARE(dlg.dfVerfuegbar->text(), QStringLiteral("2"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.pbOK);
        for (const QString& total : {QStringLiteral("3"), QStringLiteral("2")}) {
            dlg.dfGesamt->setFocus();
            dlg.dfGesamt->setText(total);
            dlg.pbOK->setFocus();
        }
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_messages->lastText(),
                 QStringLiteral("Die Gesamtmenge darf die Anzahl der vergebenen Schlüssel nicht unterschreiten"));
        dlg.pbOK_Click();
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT Gesamt FROM TBSchluessel WHERE SchluesselNr = 'K5'")).toInt(), 2);
        dlg.load(QString());
        dlg.dfGesamt_LostFocus();
        QCOMPARE(m_messages->shown.size(), 1);
    }

    // The search statement and the rows: key number, a tab, a second tab for numbers under five characters,
    // the function; the refill under the hourglass leaves nothing selected. A shorter list removes the
    // selected row, so the current item moves during the refill (the sanitizer build reads along).
    void fill_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("where");
        QTest::newRow("blanks only") << "   "
                                     << QStringList{"A12\t\tHaupt\teingang ", "ABCDEFGH12\tO'Neil ", "GH200\tHof ",
                                                    "ÄB12\t\tTor "}
                                     << "";
        QTest::newRow("a tab is searched for, not trimmed") << "\t" << QStringList{"A12\t\tHaupt\teingang "}
                                                            << "WHERE SchluesselNr LIKE '*\t*' OR Funktion LIKE '*\t*'";
        QTest::newRow("quote doubled") << "o'n" << QStringList{"ABCDEFGH12\tO'Neil "}
                                       << "WHERE SchluesselNr LIKE '*o''n*' OR Funktion LIKE '*o''n*'";
    }
    void fill()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        QFETCH(QString, where);
        select(QStringLiteral("A12"));
        m_pane->dfSchlSuch->setText(search);
        QStringList sql;
        bool hourglass = false;
        db().setObserver([&](const QString& written, const QString&) {
            sql << written;
            hourglass = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        m_pane->pbSchlSuch_Click();
        QCOMPARE(sql, QStringList{"SELECT * FROM TBSchluessel " + where});
        QVERIFY(hourglass && !QApplication::overrideCursor());
        QCOMPARE(rows(), expected);
        QCOMPARE(m_pane->selectedKeyNumber(), QString());
        db().setObserver({});
    }

    // Edit opens the selected key, its number read back from the row whole (nothing selected: nothing), New a
    // blank one; both refill the list.
    void newAndEditOpenTheDialogThenRefill()
    {
        QStringList opened;
        DialogRunner::setHook([&](QDialog& dialog) {
            opened << static_cast<DlgSchluessel&>(dialog).SchlNr;
            m_db->exec(QStringLiteral("UPDATE TBSchluessel SET Funktion = 'changed' WHERE SchluesselNr = 'A12'"));
        });
        m_pane->pbSchlEdit_Click();
        select(QStringLiteral("A12"));
        m_pane->pbSchlEdit_Click();
        QVERIFY(rows().contains(QStringLiteral("A12\t\tchanged")));
        m_pane->pbSchlNeu_Click();
        addKey(*m_db, QStringLiteral("\uFEFFK1"), QString()); // a byte-order mark is part of the number
        m_pane->pbSchlSuch_Click();
        select(QStringLiteral("\uFEFFK1"));
        m_pane->pbSchlEdit_Click();
        QCOMPARE(opened, (QStringList{"A12", "", QStringLiteral("\uFEFFK1")}));
    }

    // Refused with 706 from both places while a copy is out; the main window refills its list either way.
    // Then the dialog deletes the key it was opened for, not the number in its field, with its returned
    // movements, and closes only then; the main window deletes the selected one.
    void deleteKey()
    {
        addMovement(*m_db, QStringLiteral("A12"), 0); // BewID 1
        addMovement(*m_db, QStringLiteral("GH200"), 1);
        select(QStringLiteral("A12"));
        m_pane->pbSchlDel_Click();
        QCOMPARE(m_messages->lastText(), "Dieser Schlüssel ist noch ausgegeben und kann daher nicht gelöscht werden");
        QCOMPARE(m_pane->selectedKeyNumber(), QString());
        DlgSchluessel dlg;
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        dlg.load(QStringLiteral("A12"));
        dlg.dfSchluesselNr->setText(QStringLiteral("GH200"));
        dlg.pbLoeschen_Click();
        QCOMPARE(m_messages->shown.size(), 2);
        QCOMPARE(accepted.count(), 0);

        m_db->exec(QStringLiteral("UPDATE TBBewegungen SET Status = 1 WHERE BewID = 1"));
        dlg.pbLoeschen_Click();
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(keys(QStringLiteral("A12")), 0);
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), 1);
        // The two deletes land together or not at all.
        select(QStringLiteral("GH200"));
        db().executeNative("CREATE TEMP TRIGGER refuse BEFORE DELETE ON TBBewegungen BEGIN SELECT RAISE(ABORT, 'no'); "
                           "END");
        QVERIFY_THROWS_EXCEPTION(SqlError, m_pane->pbSchlDel_Click());
        QCOMPARE(keys(QStringLiteral("GH200")), 1);
        db().executeNative("DROP TRIGGER refuse");
        m_pane->pbSchlDel_Click();
        QCOMPARE(rows(), (QStringList{"ABCDEFGH12\tO'Neil ", "ÄB12\t\tTor "}));
        QCOMPARE(m_db->count(QStringLiteral("TBBewegungen")), 0);
        QCOMPARE(m_messages->shown.size(), 2);
    }
    // The fast order (first eight characters as one integer) agrees with the plain comparison without
    // case: texts alike beyond eight characters, letters that are not ASCII early and late, one that
    // folds to ASCII (Kelvin sign), a surrogate pair, a text that is the beginning of another; a row
    // added later goes to its place.
    void keyListSortsWithoutCase()
    {
        QStringList texts =
            QStringLiteral("SCHLUESSEL2\tb|schluessel10\ta|SCHLUESSEL1\tz|Ärger\tx|Aerger\tx|Zoo\tÜbung|"
                           "Zoo\tubung|kA\tk|KM\tk|B|B\t|b\tx|éclair\t|Eclair\t|\U0001F511\tSchlüssel|"
                           "\u212AL\tKelvin")
                .split(QLatin1Char('|'));
        m_pane->lstSchluessel->setRows(texts);
        m_pane->lstSchluessel->addItem(QStringLiteral("a1\tKeller"));
        texts << QStringLiteral("a1\tKeller");
        std::stable_sort(texts.begin(), texts.end(),
                         [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        QCOMPARE(rows(), texts);
        QVERIFY(m_pane->lstSchluessel->selectedItems().isEmpty());
    }
};

CLAVARO_TEST_MAIN(TestKeys)
#include "test_keys.moc"

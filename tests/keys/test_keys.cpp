// The key dialog: number filter, stock, saving and its checks.
#include "keys/DlgSchluessel.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"

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
    QStringList m_sql;

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        // Key numbers of 3, 4 (one of them two bytes in UTF-8), 5 and 10 characters; a tab in a function.
        for (const char* key : {"A12|Haupt\teingang ", "ÄB12|Tor ", "GH200|Hof ", "ABCDEFGH12|O'Neil "})
            addKey(*m_db, QString::fromUtf8(key).section('|', 0, 0), QString::fromUtf8(key).section('|', 1));
    }
    void cleanup()
    {
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
        QCOMPARE(m_db->count(QStringLiteral("TBSchluessel"), "SchluesselNr = '" + number + "'"), 1);
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
};

CLAVARO_TEST_MAIN(TestKeys)
#include "test_keys.moc"

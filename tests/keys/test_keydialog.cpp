// The key dialog: key-number filter, stock, saving and the checks before it.
#include "keys/DlgSchluessel.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

Q_DECLARE_METATYPE(Messages::Icon)

namespace {
// Types character by character, umlauts included, as a keyboard would.
void type(QWidget* field, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
} // namespace

class TestKeyDialog : public QObject
{
    Q_OBJECT
    QStringList m_sql;

private Q_SLOTS:
    void filter_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("beeps");
        QTest::newRow("typed k-1o") << "k-1o" << false << "K10" << 1;
        QTest::newRow("typed oq") << "oq" << false << "00" << 0;
        QTest::newRow("typed umlauts") << QStringLiteral("ä1Öü2ß") << false << "12" << 4;
        // The field keeps its ten places first; the filter then cleans what arrived in one go.
        QTest::newRow("pasted long with junk") << "x1-y2 z3.w4v5abc" << true << "X1Y2Z3W" << 3;
    }
    void filter()
    {
        QFETCH(QString, input);
        QFETCH(bool, paste);
        QFETCH(QString, expected);
        QFETCH(int, beeps);
        ScriptedMessages messages;
        DlgSchluessel dlg;
        paste ? dlg.dfSchluesselNr->insert(input) : type(dlg.dfSchluesselNr, input);
        QCOMPARE(dlg.dfSchluesselNr->text(), expected);
        QCOMPARE(messages.beeps, beeps);
        QCOMPARE(dlg.dfSchluesselNr->cursorPosition(), int(expected.size()));
    }

    // Insert with the appended blank; the update writes the function back as it stands, even at full
    // length, and a changed number takes the key's movements along, so its open copies stay counted.
    void save()
    {
        TestDatabase t;
        const QString full = QString(49, QLatin1Char('x')) + QLatin1Char('\'');
        const QString quoted = Sql::sqlText(full) + QLatin1Char(' ');
        DlgSchluessel dlg;
        dlg.load(QString());
        QVERIFY(!dlg.pbLoeschen->isEnabled());
        type(dlg.dfSchluesselNr, QStringLiteral("k7"));
        dlg.dfFunktion->setText(full);
        dlg.dfGesamt->setText(QStringLiteral("3 Stück"));
        dlg.cbZusatzNr->setChecked(true);
        recordStatements(m_sql);
        dlg.pbOK_Click();
        QCOMPARE(m_sql.last(), "INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('K7', '" +
                                   quoted + "', 3, True)");
        addMovement(t, QStringLiteral("K7"), 0);
        addMovement(t, QStringLiteral("K7"), 1);
        recordStatements(m_sql);
        dlg.load(QStringLiteral("K7"));
        QCOMPARE(m_sql,
                 QStringList({"SELECT * FROM TBSchluessel WHERE SchluesselNr = 'K7'",
                              "SELECT Count(BewID) FROM TBBEwegungen WHERE Status = 0 AND SchluesselNr = 'K7'"}));
        QVERIFY(dlg.cbZusatzNr->isChecked() && dlg.pbLoeschen->isEnabled());
        type(dlg.dfSchluesselNr, QStringLiteral("3"));
        dlg.pbOK_Click();
        QCOMPARE(m_sql.last(), "UPDATE TBSchluessel SET SchluesselNr = 'K73', Funktion = '" + quoted +
                                   "', Gesamt = 3, ZusatzNr = True WHERE SchluesselNr = 'K7'");
        QCOMPARE(t.count(QStringLiteral("TBBewegungen"), QStringLiteral("SchluesselNr = 'K73'")), 2);
        dlg.load(QStringLiteral("K73"));
        QCOMPARE(dlg.dfVerfuegbar->text(), QStringLiteral("2"));
    }

    // 3 of 5 out leave 2 free; leaving the total at 2, not at 3, warns (German in every language), but
    // OK stores it; a new key loaded afterwards starts from nothing out.
    void stock()
    {
        TestDatabase t;
        ScriptedMessages messages;
        addKey(t, QStringLiteral("A12"), QStringLiteral("Haupteingang "), 5);
        for (int status : {0, 0, 0, 1})
            addMovement(t, QStringLiteral("A12"), status);
        app().Sprache = QStringLiteral("EN");
        DlgSchluessel dlg;
        dlg.load(QStringLiteral("A12"));
        QCOMPARE(dlg.dfVerfuegbar->text(), QStringLiteral("2"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.pbOK);
        for (const QString& total : {QStringLiteral("3"), QStringLiteral("2")}) {
            dlg.dfGesamt->setFocus();
            dlg.dfGesamt->setText(total);
            dlg.pbOK->setFocus();
        }
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.lastText(),
                 QStringLiteral("Die Gesamtmenge darf die Anzahl der vergebenen Schlüssel nicht unterschreiten"));
        dlg.pbOK_Click();
        QCOMPARE(t.scalar(QStringLiteral("SELECT Gesamt FROM TBSchluessel")).toInt(), 2);
        dlg.load(QString());
        dlg.dfGesamt_LostFocus();
        QCOMPARE(messages.shown.size(), 1);
    }

    // Refused on OK: a message, the dialog stays open, nothing written.
    void refusals_data()
    {
        const QString k351 = QStringLiteral("Ein Schlüssel mit dieser Nummer ist bereits vorhanden.");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Messages::Icon>("icon");
        QTest::newRow("350 no number") << QString() << " "
                                       << "Eine Schlüsselnummer muß angegeben werden!" << Messages::Icon::Information;
        QTest::newRow("351 new") << QString() << "a12" << k351 << Messages::Icon::Exclamation;
        QTest::newRow("351 changed number") << "B7"
                                            << "A12" << k351 << Messages::Icon::Exclamation;
    }
    void refusals()
    {
        QFETCH(QString, opened);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(Messages::Icon, icon);
        TestDatabase t;
        ScriptedMessages messages;
        addKey(t, QStringLiteral("A12"), QStringLiteral("Haupteingang "));
        addKey(t, QStringLiteral("B7"), QStringLiteral("Keller "));
        DlgSchluessel dlg;
        dlg.load(opened);
        dlg.dfSchluesselNr->setText(typed);
        recordStatements(m_sql);
        dlg.pbOK_Click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected)); // not accepted: still open
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.lastText(), message);
        QCOMPARE(messages.shown[0].icon, icon);
        QVERIFY(m_sql.filter(QRegularExpression("^(INSERT|UPDATE)")).isEmpty());
    }
};

CLAVARO_TEST_MAIN(TestKeyDialog)
#include "test_keydialog.moc"

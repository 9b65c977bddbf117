// The key dialog: key-number filter, stock, saving and the checks before it.
#include "KeyData.h"
#include "keys/DlgSchluessel.h"
#include "support/ScriptedMessages.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

Q_DECLARE_METATYPE(Messages::Icon)

namespace {
const QString k351 = QStringLiteral("Ein Schlüssel mit dieser Nummer ist bereits vorhanden.");

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
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("beeps");
        QTest::newRow("typed k-1o") << false << "k-1o"
                                    << "K10" << 1;
        QTest::newRow("typed oq") << false << "oq"
                                  << "00" << 0;
        QTest::newRow("typed umlauts") << false << QStringLiteral("ä1Öü2ß") << "12" << 4;
        QTest::newRow("pasted long") << true << "abcdefghijklmnop"
                                     << "ABCDEFGHIJ" << 0;
        // The field keeps its ten places first; the filter then cleans what arrived in one go.
        QTest::newRow("pasted with junk") << true << "x1-y2 z3.w4v5"
                                          << "X1Y2Z3W" << 3;
    }
    void filter()
    {
        QFETCH(bool, paste);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QFETCH(int, beeps);
        ScriptedMessages messages;
        DlgSchluessel dlg;
        paste ? dlg.dfSchluesselNr->insert(input) : type(dlg.dfSchluesselNr, input);
        QCOMPARE(dlg.dfSchluesselNr->text(), expected);
        QCOMPARE(messages.beeps, beeps);
        QCOMPARE(dlg.dfSchluesselNr->cursorPosition(), int(expected.size()));
        QVERIFY(!dlg.FilterAktiv);
    }

    // Captions in the current language; focus starts on OK; Tab skips the disabled delete button.
    void window()
    {
        app().Sprache = QStringLiteral("EN");
        DlgSchluessel dlg;
        app().Sprache = QStringLiteral("DE");
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Key definition"));
        QCOMPARE(dlg.findChild<QPushButton*>(QStringLiteral("pbLöschen"))->text(), QStringLiteral("Delete"));
        dlg.load(QString());
        QVERIFY(!dlg.pbLoeschen->isEnabled());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.pbOK);
        const QWidgetList order{dlg.pbCancel,     dlg.dfSchluesselNr, dlg.dfFunktion, dlg.dfGesamt,
                                dlg.dfVerfuegbar, dlg.cbZusatzNr,     dlg.pbOK};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    // Insert with the appended blank; load and update write the function back as it stands, even at full length.
    void statements()
    {
        TestDatabase t;
        const QString full = QString(49, QLatin1Char('x')) + QLatin1Char('\'');
        {
            DlgSchluessel dlg;
            dlg.load(QString());
            type(dlg.dfSchluesselNr, QStringLiteral("k7"));
            dlg.dfFunktion->setText(full);
            dlg.dfGesamt->setText(QStringLiteral("3 Stück"));
            dlg.cbZusatzNr->setChecked(true);
            recordStatements(m_sql);
            dlg.pbOK_Click();
        }
        const QString quoted = Sql::sqlText(full);
        QCOMPARE(m_sql,
                 QStringList({"SELECT SchluesselNr FROM TBSchluessel WHERE SchluesselNr = 'K7'",
                              "INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('K7', '" +
                                  quoted + " ', 3, True)"}));
        DlgSchluessel dlg;
        recordStatements(m_sql);
        dlg.load(QStringLiteral("K7"));
        QCOMPARE(m_sql,
                 QStringList({"SELECT * FROM TBSchluessel WHERE SchluesselNr = 'K7'",
                              "SELECT Count(BewID) FROM TBBEwegungen WHERE Status = 0 AND SchluesselNr = 'K7'"}));
        QCOMPARE(dlg.dfFunktion->text(), full + QLatin1Char(' '));
        QVERIFY(dlg.cbZusatzNr->isChecked() && dlg.pbLoeschen->isEnabled());
        recordStatements(m_sql);
        dlg.pbOK_Click();
        QCOMPARE(m_sql.last(), "UPDATE TBSchluessel SET SchluesselNr = 'K7', Funktion = '" + quoted +
                                   " ', Gesamt = 3, ZusatzNr = True WHERE SchluesselNr = 'K7'");
        QCOMPARE(t.scalar(QStringLiteral("SELECT Funktion FROM TBSchluessel")).toString(), full + QLatin1Char(' '));
    }

    // 3 of 5 out: 2 free; leaving the total at 2 warns (German in every language) but OK stores it;
    // a new key opened afterwards starts from nothing out.
    void stock()
    {
        TestDatabase t;
        ScriptedMessages messages;
        addKey(t, QStringLiteral("A12"), QStringLiteral("Haupteingang "), 5);
        for (int status : {0, 0, 0, 1})
            addMovement(t, QStringLiteral("A12"), status);
        app().Sprache = QStringLiteral("EN");
        {
            DlgSchluessel dlg;
            dlg.load(QStringLiteral("A12"));
            QCOMPARE(dlg.dfVerfuegbar->text(), QStringLiteral("2"));
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            dlg.dfGesamt->setFocus();
            dlg.dfGesamt->setText(QStringLiteral("3"));
            dlg.dfFunktion->setFocus();
            QVERIFY(messages.shown.isEmpty());
            dlg.dfGesamt->setFocus();
            dlg.dfGesamt->setText(QStringLiteral("2"));
            dlg.pbOK->setFocus();
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].text,
                     QStringLiteral("Die Gesamtmenge darf die Anzahl der vergebenen Schlüssel nicht unterschreiten"));
            QCOMPARE(messages.shown[0].icon, Messages::Icon::Exclamation);
            dlg.pbOK_Click();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        app().Sprache = QStringLiteral("DE");
        QCOMPARE(t.scalar(QStringLiteral("SELECT Gesamt FROM TBSchluessel")).toInt(), 2);
        DlgSchluessel dlg;
        dlg.load(QString());
        QCOMPARE(dlg.dfGesamt->text(), QStringLiteral("0"));
        dlg.dfGesamt_LostFocus();
        QCOMPARE(messages.shown.size(), 1);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Messages::Icon>("icon");
        QTest::newRow("no number") << ""
                                   << " " << QStringLiteral("Eine Schlüsselnummer muß angegeben werden!")
                                   << Messages::Icon::Information;
        QTest::newRow("new with a present number") << ""
                                                   << "a12" << k351 << Messages::Icon::Exclamation;
        QTest::newRow("changed to another key's number") << "B7"
                                                         << "A12" << k351 << Messages::Icon::Exclamation;
        QTest::newRow("cancelled") << "B7"
                                   << "Z9" << QString() << Messages::Icon::Information;
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
        QSignalSpy closed(&dlg, &QDialog::finished);
        recordStatements(m_sql);
        message.isEmpty() ? dlg.pbCancel_Click() : dlg.pbOK_Click();
        QCOMPARE(closed.count(), message.isEmpty() ? 1 : 0);
        QCOMPARE(messages.shown.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(messages.shown[0].text, message);
            QCOMPARE(messages.shown[0].icon, icon);
        }
        for (const QString& sql : std::as_const(m_sql))
            QVERIFY2(sql.startsWith(QLatin1String("SELECT")), qPrintable(sql));
    }

    // A changed number takes the key's movements along, so its open copies stay counted.
    void changedNumber()
    {
        TestDatabase t;
        addKey(t, QStringLiteral("A12"), QStringLiteral("Haupteingang "), 5);
        addMovement(t, QStringLiteral("A12"), 0);
        addMovement(t, QStringLiteral("A12"), 1);
        {
            DlgSchluessel dlg;
            dlg.load(QStringLiteral("A12"));
            type(dlg.dfSchluesselNr, QStringLiteral("3"));
            dlg.pbOK_Click();
        }
        QCOMPARE(t.count(QStringLiteral("TBBewegungen"), QStringLiteral("SchluesselNr = 'A123'")), 2);
        DlgSchluessel dlg;
        dlg.load(QStringLiteral("A123"));
        QCOMPARE(dlg.AnzVergeben, qint16(1));
        QCOMPARE(dlg.dfVerfuegbar->text(), QStringLiteral("4"));
    }
};

CLAVARO_TEST_MAIN(TestKeyDialog)
#include "test_keydialog.moc"

// The key dialog: key-number filter, stock, saving and the checks before it.
#include "core/AppState.h"
#include "keys/DlgSchluessel.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {
const QString kStockWarning =
    QStringLiteral("Die Gesamtmenge darf die Anzahl der vergebenen Schlüssel nicht unterschreiten");

void addKey(TestDatabase& t, const QString& nr, const QString& function, int total)
{
    t.exec(QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) "
                          "VALUES('%1', '%2', %3, False)")
               .arg(nr, function)
               .arg(total));
}

void addMovement(TestDatabase& t, const QString& nr, int status)
{
    t.exec(QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                          "VALUES(1, '%1', ' ', #12/5/26#, %2, null)")
               .arg(nr)
               .arg(status));
}

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
    void record()
    {
        m_sql.clear();
        db().setObserver([this](const QString& written, const QString&) { m_sql << written; });
    }

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
        QTest::newRow("typed beyond ten") << false << "abcdefghijkl"
                                          << "ABCDEFGHIJ" << 0;
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
        if (paste)
            dlg.dfSchluesselNr->insert(input);
        else
            type(dlg.dfSchluesselNr, input);
        QCOMPARE(dlg.dfSchluesselNr->text(), expected);
        QCOMPARE(messages.beeps, beeps);
        QCOMPARE(dlg.dfSchluesselNr->cursorPosition(), int(expected.size()));
        QVERIFY(!dlg.FilterAktiv);
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("value");
        QTest::newRow("plain") << "5" << qint64(5);
        QTest::newRow("blanks and unit") << " 12 Stück" << qint64(12);
        QTest::newRow("fraction") << "12,5" << qint64(12);
        QTest::newRow("no number") << "x3" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("negative") << "-3" << qint64(-3);
        QTest::newRow("huge") << "99999999999999999999" << qint64(2147483647);
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(qint64, value);
        QCOMPARE(DlgSchluessel::leadingNumber(text), value);
    }

    void captions_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("remove");
        QTest::newRow("German") << "DE" << QStringLiteral("Schlüsselbearbeitung") << QStringLiteral("Löschen");
        QTest::newRow("English") << "EN"
                                 << "Key definition"
                                 << "Delete";
    }
    void captions()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, remove);
        app().Sprache = language;
        DlgSchluessel dlg;
        app().Sprache = QStringLiteral("DE");
        QCOMPARE(dlg.windowTitle(), title);
        QCOMPARE(dlg.findChild<QPushButton*>(QStringLiteral("pbLöschen"))->text(), remove);
        QVERIFY(dlg.findChild<QLineEdit*>(QStringLiteral("dfVerfügbar"))->isReadOnly());
    }

    // Focus starts on OK; Tab walks the designed places, skipping the disabled delete button.
    void focusAndTabOrder()
    {
        DlgSchluessel dlg;
        dlg.load(QString());
        QVERIFY(!dlg.pbLoeschen->isEnabled());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        const QList<QWidget*> expected{dlg.pbCancel,     dlg.dfSchluesselNr, dlg.dfFunktion, dlg.dfGesamt,
                                       dlg.dfVerfuegbar, dlg.cbZusatzNr,     dlg.pbOK};
        QCOMPARE(QApplication::focusWidget(), dlg.pbOK);
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void insertAndUpdateStatements()
    {
        TestDatabase t;
        ScriptedMessages messages;
        {
            DlgSchluessel dlg;
            dlg.load(QString());
            type(dlg.dfSchluesselNr, QStringLiteral("k7"));
            dlg.dfFunktion->setText(QStringLiteral("O'Brien Tür"));
            dlg.dfGesamt->setText(QStringLiteral("3 Stück"));
            dlg.cbZusatzNr->setChecked(true);
            record();
            dlg.pbOK_Click();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        QCOMPARE(m_sql, QStringList({
                            QStringLiteral("SELECT SchluesselNr FROM TBSchluessel WHERE SchluesselNr = 'K7'"),
                            QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) "
                                           "VALUES('K7', 'O''Brien Tür ', 3, True)"),
                        }));

        // The loaded function keeps its appended blank and goes back as it stands.
        DlgSchluessel dlg;
        record();
        dlg.load(QStringLiteral("K7"));
        QCOMPARE(m_sql, QStringList({
                            QStringLiteral("SELECT * FROM TBSchluessel WHERE SchluesselNr = 'K7'"),
                            QStringLiteral("SELECT Count(BewID) FROM TBBEwegungen WHERE Status = 0 AND "
                                           "SchluesselNr = 'K7'"),
                        }));
        QVERIFY(dlg.cbZusatzNr->isChecked());
        QVERIFY(dlg.pbLoeschen->isEnabled());
        record();
        dlg.pbOK_Click();
        QCOMPARE(m_sql.last(),
                 QStringLiteral("UPDATE TBSchluessel SET SchluesselNr = 'K7', Funktion = 'O''Brien Tür ', "
                                "Gesamt = 3, ZusatzNr = True WHERE SchluesselNr = 'K7'"));
        QCOMPARE(t.scalar(QStringLiteral("SELECT Funktion FROM TBSchluessel")).toString(),
                 QStringLiteral("O'Brien Tür "));
        QVERIFY(messages.shown.isEmpty());
    }

    void functionBlank_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("afterInsert");
        QTest::addColumn<QString>("afterEmptiedUpdate");
        QTest::newRow("empty") << ""
                               << " "
                               << "";
        QTest::newRow("full length") << QString(50, QLatin1Char('x')) << QString(50, QLatin1Char('x')) + " "
                                     << "";
    }
    void functionBlank()
    {
        QFETCH(QString, typed);
        QFETCH(QString, afterInsert);
        TestDatabase t;
        ScriptedMessages messages;
        const QString stored = QStringLiteral("SELECT Funktion FROM TBSchluessel WHERE SchluesselNr = 'A1'");
        {
            DlgSchluessel dlg;
            dlg.load(QString());
            dlg.dfSchluesselNr->setText(QStringLiteral("A1"));
            dlg.dfFunktion->setText(typed);
            dlg.pbOK_Click();
        }
        QCOMPARE(t.scalar(stored).toString(), afterInsert);
        {
            DlgSchluessel dlg;
            dlg.load(QStringLiteral("A1"));
            QCOMPARE(dlg.dfFunktion->text(), afterInsert);
            dlg.pbOK_Click();
        }
        QCOMPARE(t.scalar(stored).toString(), afterInsert);
        DlgSchluessel dlg;
        dlg.load(QStringLiteral("A1"));
        dlg.dfFunktion->clear();
        dlg.pbOK_Click();
        QCOMPARE(t.scalar(stored).toString(), QString());
    }

    // 3 of 5 out: 2 free; a total of 2 warns but is stored; a new key afterwards starts clean.
    void stock()
    {
        TestDatabase t;
        ScriptedMessages messages;
        app().Sprache = QStringLiteral("EN");
        addKey(t, QStringLiteral("A12"), QStringLiteral("Haupteingang "), 5);
        for (int status : {0, 0, 0, 1})
            addMovement(t, QStringLiteral("A12"), status);
        {
            DlgSchluessel dlg;
            dlg.load(QStringLiteral("A12"));
            QCOMPARE(dlg.AnzVergeben, qint16(3));
            QCOMPARE(dlg.dfVerfuegbar->text(), QStringLiteral("2"));
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            dlg.dfGesamt->setFocus();
            dlg.dfGesamt->setText(QStringLiteral("3"));
            dlg.dfFunktion->setFocus(); // leaving with enough copies: quiet
            QVERIFY(messages.shown.isEmpty());
            dlg.dfGesamt->setFocus();
            dlg.dfGesamt->setText(QStringLiteral("2"));
            dlg.pbOK->setFocus();
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].text, kStockWarning); // German in every language
            QCOMPARE(messages.shown[0].icon, Messages::Icon::Exclamation);
            QCOMPARE(dlg.dfVerfuegbar->text(), QStringLiteral("2"));
            dlg.pbOK_Click();
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        app().Sprache = QStringLiteral("DE");
        QCOMPARE(t.scalar(QStringLiteral("SELECT Gesamt FROM TBSchluessel")).toInt(), 2);

        DlgSchluessel dlg;
        dlg.load(QString());
        QCOMPARE(dlg.AnzVergeben, qint16(0));
        QCOMPARE(dlg.dfGesamt->text(), QStringLiteral("0"));
        dlg.dfGesamt_LostFocus();
        QCOMPARE(messages.shown.size(), 1);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::newRow("new without number")
            << ""
            << " " << QStringLiteral("Eine Schlüsselnummer muß angegeben werden!") << int(Messages::Icon::Information);
        QTest::newRow("new with a present number")
            << ""
            << "a12"
            << "Ein Schlüssel mit dieser Nummer ist bereits vorhanden." << int(Messages::Icon::Exclamation);
        QTest::newRow("changed to another key's number")
            << "B7"
            << "A12"
            << "Ein Schlüssel mit dieser Nummer ist bereits vorhanden." << int(Messages::Icon::Exclamation);
    }
    void refusals()
    {
        QFETCH(QString, opened);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(int, icon);
        TestDatabase t;
        ScriptedMessages messages;
        addKey(t, QStringLiteral("A12"), QStringLiteral("Haupteingang "), 5);
        addKey(t, QStringLiteral("B7"), QStringLiteral("Keller "), 1);
        DlgSchluessel dlg;
        dlg.load(opened);
        dlg.dfSchluesselNr->setText(typed);
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        dlg.pbOK_Click();
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, message);
        QCOMPARE(int(messages.shown[0].icon), icon);
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(t.count(QStringLiteral("TBSchluessel")), 2);
        QCOMPARE(t.count(QStringLiteral("TBSchluessel"), QStringLiteral("SchluesselNr = 'B7'")), 1);
    }

    // A changed number takes the key's movements along, so its open copies stay counted.
    void changedNumber()
    {
        TestDatabase t;
        ScriptedMessages messages;
        addKey(t, QStringLiteral("A12"), QStringLiteral("Haupteingang "), 5);
        addMovement(t, QStringLiteral("A12"), 0);
        addMovement(t, QStringLiteral("A12"), 1);
        {
            DlgSchluessel dlg;
            dlg.load(QStringLiteral("A12"));
            type(dlg.dfSchluesselNr, QStringLiteral("3"));
            dlg.pbOK_Click();
            QVERIFY(messages.shown.isEmpty());
        }
        QCOMPARE(t.count(QStringLiteral("TBBewegungen"), QStringLiteral("SchluesselNr = 'A123'")), 2);
        DlgSchluessel dlg;
        dlg.load(QStringLiteral("A123"));
        QCOMPARE(dlg.AnzVergeben, qint16(1));
        QCOMPARE(dlg.dfVerfuegbar->text(), QStringLiteral("4"));
    }

    void cancelWritesNothing()
    {
        TestDatabase t;
        addKey(t, QStringLiteral("A12"), QStringLiteral("Haupteingang "), 5);
        DlgSchluessel dlg;
        dlg.load(QStringLiteral("A12"));
        dlg.dfSchluesselNr->setText(QStringLiteral("Z9"));
        dlg.dfGesamt->setText(QStringLiteral("9"));
        record();
        dlg.pbCancel_Click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(m_sql.isEmpty());
        QCOMPARE(t.scalar(QStringLiteral("SELECT Gesamt FROM TBSchluessel WHERE SchluesselNr = 'A12'")).toInt(), 5);
    }
};

CLAVARO_TEST_MAIN(TestKeyDialog)
#include "test_keydialog.moc"

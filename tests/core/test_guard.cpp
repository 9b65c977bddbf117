#include "core/AppState.h"
#include "core/Guard.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QRegularExpression>

// A refused statement inside an event handler is reported and the program goes on.
class TestGuard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedStatementIsReported_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("heading");
        QTest::newRow("German") << "DE" << "Die Datenbank hat die Aktion abgelehnt:";
        QTest::newRow("English") << "EN" << "The database refused the action:";
        QTest::newRow("French") << "FR" << "La base de données a refusé l'action :";
    }
    void refusedStatementIsReported()
    {
        QFETCH(QString, language);
        QFETCH(QString, heading);
        TestDatabase database;
        app().Sprache = language;
        ScriptedMessages messages;

        bool reachedEnd = false;
        QVERIFY(!guarded([&] {
            db().execute(QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('A', ' ', ' ', False)"));
            db().execute(QStringLiteral("UPDATE TBNirgends SET x = 1"));
            reachedEnd = true;
        }));
        QVERIFY(!reachedEnd);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().icon, Messages::Icon::Exclamation);
        const QStringList lines = messages.shown.first().text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0), heading);
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+ \\(.*TBNirgends.*\\)$")).match(lines.at(1)).hasMatch(),
                 qPrintable(lines.at(1)));
    }

    void handlerWithoutFailureShowsNothing()
    {
        TestDatabase database;
        ScriptedMessages messages;
        QVERIFY(guarded([] { db().execute(QStringLiteral("DELETE * FROM TBKopfdaten")); }));
        QVERIFY(messages.shown.isEmpty());
    }

    // Statements that belong together land together or not at all.
    void transactionKeepsNothingHalfWritten()
    {
        TestDatabase database;
        ScriptedMessages messages;
        database.exec(QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('A1', 'Tor ', 1, False)"));
        QVERIFY(!guarded([] {
            Database::Transaction transaction(db());
            db().execute(QStringLiteral("DELETE * FROM TBSchluessel WHERE SchluesselNr = 'A1'"));
            db().execute(QStringLiteral("DELETE * FROM TBNirgends"));
            transaction.commit();
        }));
        QCOMPARE(database.count(QStringLiteral("TBSchluessel")), 1);
    }
};

CLAVARO_TEST_MAIN(TestGuard)
#include "test_guard.moc"

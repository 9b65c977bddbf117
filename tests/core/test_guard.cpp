#include "core/AppState.h"
#include "core/Guard.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

// A refused statement inside an event handler is reported and the program goes on; statements that belong
// together land together or not at all.
class TestGuard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedStatementIsReported()
    {
        TestDatabase database;
        ScriptedMessages messages;
        QVERIFY(guarded([] { db().execute("DELETE * FROM TBKopfdaten"); }));
        QVERIFY(messages.shown.isEmpty());

        bool reachedEnd = false;
        QVERIFY(!guarded([&] {
            Database::Transaction transaction(db());
            db().execute("INSERT INTO TBPersonen (Nachname, Storniert) VALUES('A', False)");
            db().execute("UPDATE TBNirgends SET x = 1");
            reachedEnd = true;
            transaction.commit();
        }));
        QVERIFY(!reachedEnd);
        QCOMPARE(database.count("TBPersonen"), 0);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().icon, Messages::Icon::Exclamation);
        QCOMPARE(messages.shown.first().text,
                 "Die Datenbank hat die Aktion abgelehnt:\r\n1 (no such table: TBNirgends)");
    }
};

CLAVARO_TEST_MAIN(TestGuard)
#include "test_guard.moc"

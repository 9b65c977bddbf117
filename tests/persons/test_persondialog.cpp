#include "core/AppState.h"
#include "persons/DlgPerson.h"
#include "persons/PersDel.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <sqlite3.h>

namespace {
const QString kDuplicateQuestion = QStringLiteral(
    "Eine Person mit diesem Namen oder dieser Personalnummer ist bereits vorhanden.\r\nTrotzdem speichern?");

// A person in the form the dialog stores: given name and personnel number with their appended blank.
qint32 addPerson(TestDatabase& database, const QString& nachname, const QString& vorname, const QString& persNr,
                 bool retired = false)
{
    database.exec(QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('%1', '%2 ', "
                                 "'%3 ', %4)")
                      .arg(nachname, vorname, persNr, retired ? QStringLiteral("True") : QStringLiteral("False")));
    return database.scalar(QStringLiteral("SELECT PersID FROM TBPersonen ORDER BY PersID DESC")).toInt();
}

void fill(DlgPerson& dialog, const QString& nachname, const QString& vorname, const QString& persNr)
{
    dialog.dfNachname->setText(nachname);
    dialog.dfVorname->setText(vorname);
    dialog.dfPersNr->setText(persNr);
}
} // namespace

class TestPersonDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    QStringList m_written;

    QVariant stored(const QString& column, qint32 id)
    {
        return m_db->scalar(QStringLiteral("SELECT %1 FROM TBPersonen WHERE PersID = %2").arg(column).arg(id));
    }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        m_written.clear();
        db().setObserver([this](const QString& written, const QString&) { m_written.append(written); });
    }
    void cleanup()
    {
        m_messages.reset();
        m_db.reset();
        app().Sprache = QStringLiteral("DE");
    }

    void saveWritesStatements_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("statements"); // %1: the edited person's PersID
        QTest::newRow("new, no personnel number")
            << false << QStringList{"Meier", "Hans", ""}
            << QStringList{
                   "SELECT PersID FROM TBPersonen WHERE NOT Storniert AND (Nachname = 'Meier')",
                   "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Meier', 'Hans ', ' ', "
                   "False)"};
        QTest::newRow("new, blanks as personnel number check the name only")
            << false << QStringList{"Meier", "", "  "}
            << QStringList{"SELECT PersID FROM TBPersonen WHERE NOT Storniert AND (Nachname = 'Meier')",
                           "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES('Meier', ' ', '   ', "
                           "False)"};
        QTest::newRow("new with number, quotes doubled, blanks kept")
            << false << QStringList{" O'Neil ", "D'Arcy", "A'1"}
            << QStringList{"SELECT PersID FROM TBPersonen WHERE NOT Storniert AND (Nachname = ' O''Neil ' OR PersNr "
                           "= 'A''1')",
                           "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES(' O''Neil ', "
                           "'D''Arcy ', 'A''1 ', False)"};
        QTest::newRow("edit to a namesake asks nothing")
            << true << QStringList{"Schulz", "Eva", "7"}
            << QStringList{"UPDATE TBPersonen SET Nachname = 'Schulz', Vorname = 'Eva ', PersNr = '7 ' WHERE PersID = "
                           "%1"};
    }
    void saveWritesStatements()
    {
        QFETCH(bool, existing);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, statements);
        addPerson(*m_db, "Schulz", "Eva", "7"); // a namesake only matters for a new person
        const qint32 id = existing ? addPerson(*m_db, "Alt", "", "") : -1;
        DlgPerson dialog;
        dialog.load(id);
        QCOMPARE(dialog.pbLoeschen->isEnabled(), existing);
        m_written.clear();
        fill(dialog, typed.at(0), typed.at(1), typed.at(2));
        dialog.pbOK_Click();
        if (existing)
            statements.first() = statements.first().arg(id);
        QCOMPARE(m_written, statements);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void duplicateCheck_data()
    {
        QTest::addColumn<QString>("nachname");
        QTest::addColumn<QString>("persNr");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("answerYes");
        QTest::newRow("namesake, other number, No") << "Meier"
                                                    << "123" << true << false;
        QTest::newRow("namesake, Yes saves") << "Meier"
                                             << "" << true << true;
        QTest::newRow("namesake in other case") << "MEIER"
                                                << "" << true << false;
        QTest::newRow("number stored with its blank") << "Neu"
                                                      << "4711" << true << false;
        QTest::newRow("retired namesake and number") << "Alt"
                                                     << "999" << false << true;
        QTest::newRow("empty number matches no stored blank") << "Neu"
                                                              << "" << false << true;
    }
    void duplicateCheck()
    {
        QFETCH(QString, nachname);
        QFETCH(QString, persNr);
        QFETCH(bool, asked);
        QFETCH(bool, answerYes);
        addPerson(*m_db, "Meier", "Hans", "4711");
        addPerson(*m_db, "Schulz", "Eva", "");
        addPerson(*m_db, "Alt", "Otto", "999", true);
        m_messages->queueAnswer(answerYes ? Messages::Answer::Yes : Messages::Answer::No);

        DlgPerson dialog;
        dialog.load(-1);
        dialog.show();
        fill(dialog, nachname, "Egon", persNr);
        dialog.pbOK->click();

        QCOMPARE(m_messages->shown.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(m_messages->lastText(), kDuplicateQuestion);
            QCOMPARE(m_messages->shown.first().icon, Messages::Icon::Exclamation);
            QCOMPARE(m_messages->shown.first().buttons, Messages::Buttons::YesNo);
        }
        QCOMPARE(m_db->count("TBPersonen"), answerYes ? 4 : 3);
        QCOMPARE(dialog.isVisible(), !answerYes);
        if (!answerYes) {
            QCOMPARE(dialog.focusWidget(), dialog.dfNachname);
            QCOMPARE(dialog.dfNachname->selectedText(), nachname);
        }
    }

    void familyNameRequired_data()
    {
        QTest::addColumn<QString>("nachname");
        QTest::addColumn<bool>("refused");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("only blanks") << "   " << true;
        QTest::newRow("blanks around are kept") << "  Meier " << false;
    }
    void familyNameRequired()
    {
        QFETCH(QString, nachname);
        QFETCH(bool, refused);
        DlgPerson dialog;
        dialog.load(-1);
        dialog.pbOK->setFocus();
        fill(dialog, nachname, "Hans", "");
        dialog.pbOK_Click();
        QCOMPARE(m_db->count("TBPersonen"), refused ? 0 : 1);
        if (refused) {
            QCOMPARE(m_messages->lastText(), QStringLiteral("Der Nachname muß angegeben werden!"));
            QCOMPARE(m_messages->shown.first().icon, Messages::Icon::Information);
            QCOMPARE(dialog.focusWidget(), dialog.dfNachname);
        } else {
            QCOMPARE(m_db->scalar("SELECT Nachname FROM TBPersonen").toString(), nachname);
        }
    }

    // What was typed is stored exactly (plus the one appended blank) and comes back exactly; saving
    // an unchanged person again stores the same form, however often.
    void typedTextRoundTrips_data()
    {
        QTest::addColumn<QString>("nachname");
        QTest::addColumn<QString>("vorname");
        QTest::addColumn<QString>("persNr");
        QTest::newRow("quotes") << "O'Neil"
                                << "'Dee' \"D\""
                                << "'";
        QTest::newRow("wildcards") << "*?#["
                                   << "[!a-z]"
                                   << "#1?*";
        QTest::newRow("umlauts") << "Müßiggang-Äöü"
                                 << "Zoë"
                                 << "ß-1";
        QTest::newRow("blanks") << " Meier "
                                << "  "
                                << " 7 ";
        QTest::newRow("empty optional fields") << "Meier"
                                               << ""
                                               << "";
        QTest::newRow("maximum lengths") << QString(49, QChar(u'Ä')) + "'" << QString(50, QChar(u'x'))
                                         << QString(19, QChar(u'9')) + "'";
    }
    void typedTextRoundTrips()
    {
        QFETCH(QString, nachname);
        QFETCH(QString, vorname);
        QFETCH(QString, persNr);
        qint32 id = -1;
        for (int save = 0; save < 3; ++save) {
            DlgPerson dialog;
            dialog.load(id);
            if (save == 0)
                fill(dialog, nachname, vorname, persNr);
            else {
                QCOMPARE(dialog.dfNachname->text(), nachname);
                QCOMPARE(dialog.dfVorname->text(), vorname);
                QCOMPARE(dialog.dfPersNr->text(), persNr);
            }
            dialog.pbOK_Click();
            QVERIFY(m_messages->shown.isEmpty());
            id = m_db->scalar("SELECT PersID FROM TBPersonen").toInt();
            QCOMPARE(m_db->count("TBPersonen"), 1);
            QCOMPARE(stored("Nachname", id).toString(), nachname);
            QCOMPARE(stored("Vorname", id).toString(), vorname + ' ');
            QCOMPARE(stored("PersNr", id).toString(), persNr + ' ');
            QCOMPARE(stored("Storniert", id).toBool(), false);
        }
    }

    // A statement the engine refuses is reported at the handler's boundary; the typed text stays.
    void refusedSaveKeepsDialogOpen()
    {
        QCOMPARE(sqlite3_exec(db().handle(),
                              "CREATE TRIGGER refuse BEFORE INSERT ON TBPersonen BEGIN SELECT RAISE(ABORT, 'no'); END",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        DlgPerson dialog;
        dialog.load(-1);
        dialog.show();
        fill(dialog, "Meier", "Hans", "1");
        dialog.pbOK->click();
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY(m_messages->lastText().startsWith(QStringLiteral("Die Datenbank hat die Aktion abgelehnt:\r\n")));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.dfNachname->text(), QStringLiteral("Meier"));
        QCOMPARE(dialog.dfVorname->text(), QStringLiteral("Hans"));
        QCOMPARE(m_db->count("TBPersonen"), 0);
    }

    void retire_data()
    {
        QTest::addColumn<QList<int>>("movementStates");
        QTest::addColumn<bool>("retired");
        QTest::newRow("no movements") << QList<int>{} << true;
        QTest::newRow("all returned") << QList<int>{1, 1} << true;
        QTest::newRow("holds a key") << QList<int>{1, 0} << false;
    }
    void retire()
    {
        QFETCH(QList<int>, movementStates);
        QFETCH(bool, retired);
        const qint32 id = addPerson(*m_db, "Meier", "Hans", "4711");
        m_db->exec(
            "INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('A1', 'Tor ', 3, False)");
        for (int status : movementStates)
            m_db->exec(QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                                      "VALUES(%1, 'A1', ' ', #12/5/26#, %2, null)")
                           .arg(id)
                           .arg(status));

        // From the dialog's retire button: closes on success, stays open with its fields on refusal.
        DlgPerson dialog;
        dialog.load(id);
        dialog.show();
        dialog.dfVorname->setText("Johann");
        m_written.clear();
        dialog.pbLoeschen->click();

        QStringList statements{
            QStringLiteral("SELECT BewID FROM TBBewegungen WHERE Status = 0 AND PersonID = %1").arg(id)};
        if (retired)
            statements.append(QStringLiteral("UPDATE TBPersonen SET Storniert = true WHERE PersID = %1").arg(id));
        QCOMPARE(m_written, statements);
        QCOMPARE(dialog.isVisible(), !retired);
        QCOMPARE(dialog.dfVorname->text(), QStringLiteral("Johann"));
        QCOMPARE(stored("Storniert", id).toBool(), retired);
        QCOMPARE(stored("Vorname", id).toString(), QStringLiteral("Hans "));
        QCOMPARE(m_db->count("TBBewegungen", "Status = 1"), int(movementStates.count(1)));
        if (retired) {
            QVERIFY(m_messages->shown.isEmpty());
        } else {
            QCOMPARE(m_messages->lastText(),
                     QStringLiteral("Diese Person besitzt noch Schlüssel und kann daher nicht gelöscht werden"));
            QCOMPARE(m_messages->shown.first().icon, Messages::Icon::Exclamation);
        }
    }

    void cancelWritesNothing()
    {
        const qint32 id = addPerson(*m_db, "Meier", "Hans", "4711");
        DlgPerson dialog;
        dialog.load(id);
        dialog.show();
        fill(dialog, "Schulz", "Eva", "1");
        m_written.clear();
        dialog.pbCancel->click();
        QVERIFY(!dialog.isVisible());
        dialog.show();
        dialog.close(); // the close box
        QVERIFY(!dialog.isVisible());
        QVERIFY(m_written.isEmpty());
    }

    void focusAndFields()
    {
        app().Sprache = QStringLiteral("EN");
        DlgPerson dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Key holder definition"));
        QCOMPARE(dialog.pbLoeschen->text(), QStringLiteral("Delete"));
        QCOMPARE(dialog.focusWidget(), dialog.pbOK);
        QWidgetList chain;
        for (QWidget* w = dialog.pbOK; chain.isEmpty() || w != dialog.pbOK; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                chain.append(w);
        QCOMPARE(chain, (QWidgetList{dialog.pbOK, dialog.pbCancel, dialog.dfNachname, dialog.dfVorname, dialog.dfPersNr,
                                     dialog.pbLoeschen}));
        for (QLineEdit* field : {dialog.dfNachname, dialog.dfVorname, dialog.dfPersNr}) {
            field->setText(QString(60, QChar(u'x')));
            field->deselect();
            QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
            QApplication::sendEvent(field, &focusIn);
            QTRY_COMPARE(field->selectedText(), field->text());
        }
        QCOMPARE(dialog.dfNachname->text().size(), 50);
        QCOMPARE(dialog.dfVorname->text().size(), 50);
        QCOMPARE(dialog.dfPersNr->text().size(), 20);
    }
};

CLAVARO_TEST_MAIN(TestPersonDialog)
#include "test_persondialog.moc"

// Enter in every dialog presses the focused button, and the default button only when the focus is
// elsewhere (in the template's text it starts a new line: see the template dialog's test).
#include "confirmation/DlgFormular.h"
#include "handouts/DlgFilter.h"
#include "history/DlgVerlauf.h"
#include "keys/DlgSchluessel.h"
#include "persons/DlgPerson.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QPushButton>

class TestDialogButtons : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QStringList>("c"); // dialog, focused control, the button Enter clicks
        // The person and key dialogs once stored on Enter whatever had the focus.
        for (const char* row :
             {"dlgPerson pbCancel pbCancel", "dlgPerson pbLöschen pbLöschen", "dlgPerson dfNachname pbOK",
              "dlgSchlüssel pbCancel pbCancel", "dlgSchlüssel pbLöschen pbLöschen", "dlgSchlüssel dfFunktion pbOK",
              "dlgFormular pbAbbrechen pbAbbrechen", "dlgFilter dfName pbOK", "dlgVerlauf sprVerlauf pbSchließen"})
            QTest::newRow(row) << QString::fromUtf8(row).split(QLatin1Char(' '));
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QStringList, c);
        TestDatabase database;
        ScriptedMessages messages;
        DlgPerson person;
        DlgSchluessel key;
        DlgFormular templ;
        DlgFilter filter;
        DlgVerlauf history;
        QDialog* shown = nullptr;
        for (QDialog* d : std::initializer_list<QDialog*>{&person, &key, &templ, &filter, &history})
            shown = d->objectName() == c[0] ? d : shown;
        shown->show();
        QVERIFY(QTest::qWaitForWindowActive(shown));
        auto* target = shown->findChild<QWidget*>(c[1]);
        target->setEnabled(true);
        target->setFocus();
        QStringList clicked;
        for (QPushButton* button : shown->findChildren<QPushButton*>())
            connect(button, &QPushButton::clicked, this, [&clicked, button] { clicked << button->objectName(); });
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(clicked.join(QLatin1Char(' ')), c[2]);
    }
};

CLAVARO_TEST_MAIN(TestDialogButtons)
#include "test_dialogbuttons.moc"

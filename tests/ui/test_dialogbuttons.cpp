// Enter in every dialog presses the focused button, and the default button only when the focus is
// elsewhere; in the template's text it starts a new line.
#include "confirmation/DlgFormular.h"
#include "handouts/DlgFilter.h"
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
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("focus");   // object name
        QTest::addColumn<QString>("pressed"); // the button Enter clicks, if any
        const char* const rows[][3] = {{"dlgPerson", "pbOK", "pbOK"},
                                       {"dlgPerson", "pbCancel", "pbCancel"},
                                       {"dlgPerson", "pbLöschen", "pbLöschen"},
                                       {"dlgPerson", "dfNachname", "pbOK"},
                                       {"dlgSchlüssel", "pbOK", "pbOK"},
                                       {"dlgSchlüssel", "pbCancel", "pbCancel"},
                                       {"dlgSchlüssel", "pbLöschen", "pbLöschen"},
                                       {"dlgSchlüssel", "dfFunktion", "pbOK"},
                                       {"dlgFormular", "pbOK", "pbOK"},
                                       {"dlgFormular", "pbAbbrechen", "pbAbbrechen"},
                                       {"dlgFormular", "dfText", ""},
                                       {"dlgFilter", "pbCancel", "pbCancel"},
                                       {"dlgFilter", "dfName", "pbOK"}};
        for (const auto& [dialog, focus, pressed] : rows)
            QTest::addRow("%s, %s", dialog, focus)
                << QString::fromUtf8(dialog) << QString::fromUtf8(focus) << QString::fromUtf8(pressed);
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, focus);
        QFETCH(QString, pressed);
        TestDatabase database;
        ScriptedMessages messages;
        DlgPerson person;
        DlgSchluessel key;
        DlgFormular templ;
        DlgFilter filter;
        QDialog* shown = nullptr;
        for (QDialog* d : std::initializer_list<QDialog*>{&person, &key, &templ, &filter})
            shown = d->objectName() == dialog ? d : shown;
        shown->show();
        QVERIFY(QTest::qWaitForWindowActive(shown));
        auto* target = shown->findChild<QWidget*>(focus);
        target->setEnabled(true);
        target->setFocus();
        QStringList clicked;
        for (QPushButton* button : shown->findChildren<QPushButton*>())
            connect(button, &QPushButton::clicked, this, [&clicked, button] { clicked << button->objectName(); });
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(clicked, pressed.isEmpty() ? QStringList() : QStringList{pressed});
    }
};

CLAVARO_TEST_MAIN(TestDialogButtons)
#include "test_dialogbuttons.moc"

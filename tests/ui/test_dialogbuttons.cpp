// Enter in every dialog presses the focused button, and the default button only when the focus is
// elsewhere.
#include "confirmation/DlgFormular.h"
#include "handouts/DlgFilter.h"
#include "keys/DlgSchluessel.h"
#include "persons/DlgPerson.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QPushButton>
#include <QSignalSpy>

class TestDialogButtons : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("focus");   // object name
        QTest::addColumn<QString>("pressed"); // object name of the button Enter clicks
        for (const char* dialog : {"dlgPerson", "dlgSchlüssel"}) {
            const QString field =
                QString::fromUtf8(dialog) == QStringLiteral("dlgPerson") ? "dfNachname" : "dfFunktion";
            QTest::addRow("%s, OK", dialog) << dialog << "pbOK"
                                            << "pbOK";
            QTest::addRow("%s, Abbrechen", dialog) << dialog << "pbCancel"
                                                   << "pbCancel";
            QTest::addRow("%s, Löschen", dialog)
                << dialog << QStringLiteral("pbLöschen") << QStringLiteral("pbLöschen");
            QTest::addRow("%s, a field", dialog) << dialog << field << "pbOK";
        }
        // Enter in the template's text starts a new line.
        QTest::newRow("dlgFormular, OK") << "dlgFormular"
                                         << "pbOK"
                                         << "pbOK";
        QTest::newRow("dlgFormular, Abbrechen") << "dlgFormular"
                                                << "pbAbbrechen"
                                                << "pbAbbrechen";
        QTest::newRow("dlgFormular, the text") << "dlgFormular"
                                               << "dfText"
                                               << "";
        QTest::newRow("dlgFilter, Abbrechen") << "dlgFilter"
                                              << "pbCancel"
                                              << "pbCancel";
        QTest::newRow("dlgFilter, a field") << "dlgFilter"
                                            << "dfName"
                                            << "pbOK";
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, focus);
        QFETCH(QString, pressed);
        TestDatabase database;
        ScriptedMessages messages;
        std::unique_ptr<QDialog> shown;
        if (dialog == QStringLiteral("dlgPerson"))
            shown = std::make_unique<DlgPerson>();
        else if (dialog == QStringLiteral("dlgFormular"))
            shown = std::make_unique<DlgFormular>();
        else if (dialog == QStringLiteral("dlgFilter"))
            shown = std::make_unique<DlgFilter>();
        else
            shown = std::make_unique<DlgSchluessel>();
        shown->show();
        QVERIFY(QTest::qWaitForWindowActive(shown.get()));
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

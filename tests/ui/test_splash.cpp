// The start window: the language choice, the ways to close it, and its opening from the main window's logo.
#include "core/AppState.h"
#include "persons/PersonPane.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"
#include "ui/FrmSplash.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

class TestSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { app().Sprache = QStringLiteral("EN"); }

    // Opens in the current language with Deutsch selected. OK and a click on the frame's free surface
    // apply the selected option; a character key keeps the language; a click on a label or the logo
    // does nothing; arrow keys choose without closing and switch the texts at once.
    void closing_data()
    {
        QTest::addColumn<QStringList>("c"); // how, the language, "open" when it stays open
        QTest::newRow("OK applies Deutsch") << QStringList{"ok", "DE", ""};
        QTest::newRow("frame click applies Deutsch") << QStringList{"frame", "DE", ""};
        QTest::newRow("letter keeps English") << QStringList{"letter", "EN", ""};
        QTest::newRow("label click stays open") << QStringList{"label", "EN", "open"};
        QTest::newRow("logo click stays open") << QStringList{"logo", "EN", "open"};
        QTest::newRow("two arrow keys choose French") << QStringList{"down", "FR", "open"};
    }
    void closing()
    {
        QFETCH(QStringList, c);
        FrmSplash splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        if (c[0] == "ok")
            QTest::mouseClick(splash.pbOK, Qt::LeftButton);
        else if (c[0] == "frame")
            QTest::mouseClick(splash.Frame1, Qt::LeftButton, {}, QPoint(splash.Frame1->width() - 20, 10));
        else if (c[0] == "label" || c[0] == "logo")
            QTest::mouseClick(c[0] == "logo" ? splash.imgLogo : splash.lblProductName, Qt::LeftButton, {}, {5, 5});
        else if (c[0] == "down") {
            QTest::keyClick(splash.rbSprache[0], Qt::Key_Down);
            QTest::keyClick(splash.rbSprache[1], Qt::Key_Down);
        } else
            QTest::keyClick(splash.rbSprache[0], Qt::Key_X);
        QCOMPARE(splash.isVisible(), c[2] == "open");
        QCOMPARE(app().Sprache, c[1]);
        const QHash<QString, QString> label2{
            {"DE", "Sprachauswahl:"}, {"EN", "Select language"}, {"FR", "Sélection de langue:"}};
        QCOMPARE(splash.Label2->text(), label2[c[1]]);
    }

    // The logo opens the start window; the main window follows the language it leaves behind, and so do
    // Qt's own texts (standard buttons, shortcut names).
    void logoRoundTrip()
    {
        FrmMain frmMain;
        frmMain.setTexts();
        const auto choose = [&frmMain](int option) {
            QTimer::singleShot(0, [option] {
                auto* splash = qobject_cast<FrmSplash*>(QApplication::activeModalWidget());
                QVERIFY(splash);
                splash->selectOption(option);
                splash->pbOK->click();
            });
            frmMain.imgLogo_Click();
        };
        choose(2);
        QCOMPARE(frmMain.persons->title(), QStringLiteral("PERSONNE"));
        QCOMPARE(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(), "Annuler");
        choose(0);
        QCOMPARE(QKeySequence(Qt::CTRL | Qt::Key_H).toString(QKeySequence::NativeText), "Strg+H");
    }
};

CLAVARO_TEST_MAIN(TestSplash)
#include "test_splash.moc"

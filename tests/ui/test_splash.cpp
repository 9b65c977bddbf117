// The start window: the language choice, the ways to close it, and its opening from the main window's logo.
#include "core/AppState.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"
#include "ui/FrmSplash.h"

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

    // Opens in the current language with Deutsch selected; an option switches the texts at once.
    void optionSwitchesTextsAtOnce()
    {
        FrmSplash splash;
        QVERIFY(splash.rbSprache[0]->isChecked());
        QCOMPARE(splash.Label2->text(), QStringLiteral("Select language"));
        QCOMPARE(app().Sprache, QStringLiteral("EN")); // opening changes nothing
        splash.selectOption(2);
        QCOMPARE(app().Sprache, QStringLiteral("FR"));
        QCOMPARE(splash.Label3->text(), QStringLiteral("D'autres informations à trouver sous:"));
        splash.selectOption(0);
        QCOMPARE(app().Sprache, QStringLiteral("DE"));
        QCOMPARE(splash.Label2->text(), QStringLiteral("Sprachauswahl:"));
    }

    // OK and a click on the frame's free surface apply the selected option; a character key keeps the
    // language; a click on a label or the logo does nothing; arrow keys choose without closing.
    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("open");
        const auto row = [](const char* name, const char* how, const char* language, bool open) {
            QTest::newRow(name) << QString::fromUtf8(how) << QString::fromUtf8(language) << open;
        };
        row("OK applies Deutsch", "ok", "DE", false);
        row("frame click applies Deutsch", "frame", "DE", false);
        row("Escape keeps English", "escape", "EN", false);
        row("letter keeps English", "letter", "EN", false);
        row("label click stays open", "label", "EN", true);
        row("logo click stays open", "logo", "EN", true);
        row("two arrow keys choose French", "down", "FR", true);
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(QString, language);
        QFETCH(bool, open);
        FrmSplash splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        if (how == "ok")
            QTest::mouseClick(splash.pbOK, Qt::LeftButton);
        else if (how == "frame")
            QTest::mouseClick(splash.Frame1, Qt::LeftButton, {}, QPoint(splash.Frame1->width() - 20, 10));
        else if (how == "label" || how == "logo")
            QTest::mouseClick(how == "logo" ? splash.imgLogo : splash.lblProductName, Qt::LeftButton, {}, {5, 5});
        else if (how == "down") {
            splash.rbSprache[0]->setFocus();
            QTest::keyClick(splash.rbSprache[0], Qt::Key_Down);
            QTest::keyClick(splash.rbSprache[1], Qt::Key_Down);
        } else
            QTest::keyClick(splash.rbSprache[0], how == "escape" ? Qt::Key_Escape : Qt::Key_X);
        QCOMPARE(splash.isVisible(), open);
        QCOMPARE(app().Sprache, language);
    }

    // The logo opens the start window in the current language; the main window follows the language
    // it leaves behind.
    void logoRoundTrip_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("personFrame");
        QTest::newRow("OK applies the preselected Deutsch") << QStringLiteral("ok") << QStringLiteral("PERSON");
        QTest::newRow("Escape keeps English") << QStringLiteral("escape") << QStringLiteral("KEY HOLDER");
        QTest::newRow("choosing French") << QStringLiteral("french") << QStringLiteral("PERSONNE");
    }
    void logoRoundTrip()
    {
        QFETCH(QString, how);
        QFETCH(QString, personFrame);
        FrmMain frmMain;
        frmMain.setTexts();
        QTimer::singleShot(0, [how] {
            auto* splash = qobject_cast<FrmSplash*>(QApplication::activeModalWidget());
            QVERIFY(splash);
            if (how == "escape")
                return QTest::keyClick(splash->rbSprache[0], Qt::Key_Escape);
            if (how == "french")
                splash->selectOption(2);
            splash->pbOK->click();
        });
        frmMain.imgLogo_Click();
        QCOMPARE(frmMain.frPerson->title(), personFrame);
    }
};

CLAVARO_TEST_MAIN(TestSplash)
#include "test_splash.moc"

#include "core/AppState.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"
#include "ui/FrmSplash.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QPushButton>
#include <QTimer>

// The logo opens the start window; the main window follows the language it leaves behind.
class TestLogo : public QObject
{
    Q_OBJECT

    // Acts on the start window as soon as the logo has opened it.
    static void whenSplashOpens(const std::function<void(FrmSplash*)>& act)
    {
        QTimer::singleShot(0, [act] {
            auto* splash = qobject_cast<FrmSplash*>(QApplication::activeModalWidget());
            QVERIFY(splash);
            act(splash);
        });
    }

private Q_SLOTS:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("personFrame");
        QTest::newRow("OK applies the preselected Deutsch") << "ok" << "DE" << "PERSON";
        QTest::newRow("Escape keeps English") << "escape" << "EN" << "KEY HOLDER";
        QTest::newRow("choosing French") << "french" << "FR" << "PERSONNE";
    }
    void roundTrip()
    {
        QFETCH(QString, how);
        QFETCH(QString, language);
        QFETCH(QString, personFrame);
        app().Sprache = QStringLiteral("EN");
        FrmMain frmMain;
        frmMain.setTexts();
        QCOMPARE(frmMain.frPerson->title(), QStringLiteral("KEY HOLDER"));

        whenSplashOpens([how](FrmSplash* splash) {
            QCOMPARE(splash->Label2->text(), QStringLiteral("Select language"));   // opens in English
            if (how == QLatin1String("escape")) {
                QTest::keyClick(splash->rbSprache[0], Qt::Key_Escape);
                return;
            }
            if (how == QLatin1String("french"))
                splash->selectOption(2);
            splash->pbOK->click();
        });
        frmMain.imgLogo_Click();

        QCOMPARE(app().Sprache, language);
        QCOMPARE(frmMain.frPerson->title(), personFrame);
        QCOMPARE(frmMain.windowTitle(), QStringLiteral("Brannwerk MERIDIAN Clavaro"));
    }
};

CLAVARO_TEST_MAIN(TestLogo)
#include "test_logo.moc"

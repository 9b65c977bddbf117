#include "core/AppState.h"
#include "support/TestMain.h"
#include "ui/FrmSplash.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

// The start window: the language choice and the ways to close it.
class TestSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { app().Sprache = QStringLiteral("DE"); }

    void opensInTheCurrentLanguageWithGermanSelected()
    {
        app().Sprache = QStringLiteral("EN");
        FrmSplash splash;
        QVERIFY(splash.rbSprache[0]->isChecked());
        QCOMPARE(splash.Label2->text(), QStringLiteral("Select language"));
        QCOMPARE(splash.lblProductName->text(), QStringLiteral("Clavaro"));
        QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version 1.0.0"));
        QCOMPARE(app().Sprache, QStringLiteral("EN")); // opening changes nothing
    }

    void optionSwitchesTextsAtOnce()
    {
        FrmSplash splash;
        QCOMPARE(splash.Label2->text(), QStringLiteral("Sprachauswahl:"));
        splash.selectOption(2);
        QCOMPARE(app().Sprache, QStringLiteral("FR"));
        QCOMPARE(splash.Label2->text(), QStringLiteral("Sélection de langue:"));
        QCOMPARE(splash.Label3->text(), QStringLiteral("D'autres informations à trouver sous:"));
        splash.selectOption(1);
        QCOMPARE(app().Sprache, QStringLiteral("EN"));
        QCOMPARE(splash.Label3->text(), QStringLiteral("Further information see:"));
    }

    // OK and a click on the frame's free surface apply the selected option; a character key keeps the
    // language; a click on a label or the logo does nothing.
    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("expected");
        QTest::newRow("OK applies Deutsch") << "ok"
                                            << "DE";
        QTest::newRow("frame click applies Deutsch") << "frame"
                                                     << "DE";
        QTest::newRow("Escape keeps English") << "escape"
                                              << "EN";
        QTest::newRow("letter keeps English") << "letter"
                                              << "EN";
        QTest::newRow("label click stays open") << "label"
                                                << "EN";
        QTest::newRow("logo click stays open") << "logo"
                                               << "EN";
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(QString, expected);
        app().Sprache = QStringLiteral("EN");
        FrmSplash splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        if (how == QLatin1String("ok"))
            QTest::mouseClick(splash.pbOK, Qt::LeftButton);
        else if (how == QLatin1String("frame"))
            QTest::mouseClick(splash.Frame1, Qt::LeftButton, {}, QPoint(splash.Frame1->width() - 20, 10));
        else if (how == QLatin1String("label"))
            QTest::mouseClick(splash.lblProductName, Qt::LeftButton, {}, QPoint(5, 5));
        else if (how == QLatin1String("logo"))
            QTest::mouseClick(splash.imgLogo, Qt::LeftButton, {}, QPoint(5, 5));
        else if (how == QLatin1String("escape"))
            QTest::keyClick(splash.rbSprache[0], Qt::Key_Escape);
        else
            QTest::keyClick(splash.rbSprache[0], Qt::Key_X);
        QCOMPARE(splash.isVisible(), how == QLatin1String("label") || how == QLatin1String("logo"));
        QCOMPARE(app().Sprache, expected);
    }

    void arrowKeysChooseWithoutClosing()
    {
        FrmSplash splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        splash.rbSprache[0]->setFocus();
        QTest::keyClick(splash.rbSprache[0], Qt::Key_Down);
        QVERIFY(splash.isVisible());
        QCOMPARE(app().Sprache, QStringLiteral("EN"));
    }
};

CLAVARO_TEST_MAIN(TestSplash)
#include "test_splash.moc"

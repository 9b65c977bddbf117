// The main window: the Enter switch between the frames, the lists read ahead at start, undo from the
// keyboard, resizing and the layout rule, exit; the start window; Enter in the dialogs.
#include "confirmation/DlgFormular.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/DemoData.h"
#include "handouts/DlgFilter.h"
#include "handouts/HandoutPane.h"
#include "history/DlgVerlauf.h"
#include "keys/DlgSchluessel.h"
#include "keys/KeyPane.h"
#include "persons/DlgPerson.h"
#include "persons/PersonPane.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"
#include "ui/FrmSplash.h"
#include "ui/MainLayout.h"
#include "ui/StartLists.h"
#include "undo/Undo.h"
#include "widgets/TabListWidget.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Each control in MainControl order with its shares of dx and dy as digits left-top-width-height.
const char* const kShares =
    "frPerson:0011 Label1:0000 dfPersSuch:0010 lstPerson:0011 pbPersSuch:1000 pbPersNeu:1000 pbPersEdit:1000 "
    "pbPersDel:1000 frSchluessel:1011 Label2:0000 dfSchlSuch:0010 lstSchluessel:0011 pbSchlSuch:1000 "
    "pbSchlNeu:1000 pbSchlEdit:1000 pbSchlDel:1000 imgLogo:1000 Label4:1100 dfZusatzNr:1100 pbVergabe:1100 "
    "Line1:0120 Label3:0100 sprVergaben:0121 pbBestaetigung:2100 pbRueckgabe:2100 pbFilter:2100 "
    "pbListeDrucken:2100 pbFormular:2100 pbExit:2200";

QString text(const QString& name, const TwipRect& r)
{
    return QStringLiteral("%1 (%2, %3, %4, %5)").arg(name).arg(r.left).arg(r.top).arg(r.width).arg(r.height);
}

// From the design to an accepted size `from`, then to `to`; dx and dy sum the halves of both changes;
// columns in hundredths of a grid unit.
struct Resize
{
    QSize from, to;
    bool springBack;
    int dx, dy, firstColumn, lastColumn;
};

// Between the list's bottom and the frame's border: the frame itself, no control.
void moveOverSurface(QGroupBox* frame)
{
    QTest::mouseMove(frame, QPoint(10, frame->height() - 6));
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { app().Sprache = QStringLiteral("DE"); }

    // Crossing a frame's free surface makes its search the default and focuses its field with the text
    // selected, once: a further move keeps the user's selection. Over a control inside a frame nothing
    // switches. A click into a field selects its text too.
    void enterSearchesInTheFrameTheMouseLastCrossed()
    {
        FrmMain w;
        w.persons->dfPersSuch->setText(QStringLiteral("Meier"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QSignalSpy persons(w.persons->pbPersSuch, &QPushButton::clicked);
        QSignalSpy keys(w.keys->pbSchlSuch, &QPushButton::clicked);
        w.handouts->dfZusatzNr->setFocus();
        QTest::keyClick(w.handouts->dfZusatzNr, Qt::Key_Return); // no default yet: Enter clicks nothing
        QCOMPARE(persons.count() + keys.count(), 0);

        moveOverSurface(w.persons);
        QCOMPARE(QApplication::focusWidget(), w.persons->dfPersSuch);
        QTRY_COMPARE(w.persons->dfPersSuch->selectedText(), QStringLiteral("Meier"));
        w.persons->dfPersSuch->setSelection(1, 2);
        moveOverSurface(w.persons);
        QTest::qWait(20);
        QCOMPARE(w.persons->dfPersSuch->selectedText(), QStringLiteral("ei"));
        QTest::keyClick(w.persons->dfPersSuch, Qt::Key_Return);
        QCOMPARE(persons.count(), 1);
        moveOverSurface(w.keys);
        QCOMPARE(QApplication::focusWidget(), w.keys->dfSchlSuch);
        QVERIFY(w.keys->pbSchlSuch->isDefault() && !w.persons->pbPersSuch->isDefault());
        QTest::keyClick(w.keys->dfSchlSuch, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(keys.count(), 1);
        QCOMPARE(persons.count(), 1);

        // Also when the move reaches the frame from the control; Enter in the grid still searches keys.
        const QPointF overList = w.persons->lstPerson->geometry().center();
        QMouseEvent passedOn(QEvent::MouseMove, overList, w.persons->mapToGlobal(overList), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
        QApplication::sendEvent(w.persons, &passedOn);
        QCOMPARE(w.defaultButton(), w.keys->pbSchlSuch);
        QCOMPARE(QApplication::focusWidget(), w.keys->dfSchlSuch);
        w.handouts->sprVergaben->setFocus();
        QTest::keyClick(w.handouts->sprVergaben, Qt::Key_Return);
        QCOMPARE(keys.count(), 2);
        w.keys->dfSchlSuch->setText(QStringLiteral("A12"));
        QTest::mouseClick(w.keys->dfSchlSuch, Qt::LeftButton, {}, QPoint(3, 5));
        QTRY_COMPARE(w.keys->dfSchlSuch->selectedText(), QStringLiteral("A12"));
    }

    // The start reads the three lists in a second thread while the start window is shown; the main
    // window then shows exactly what its own load would have read.
    void listsReadAheadShowAsTheLoadReadsThem()
    {
        Clock::setToday(QDate(2026, 3, 5));
        QTemporaryDir dir;
        DemoData::create(dir.filePath(QStringLiteral("TBDB.MDB")), DemoData::demo());
        app().DB = Database::open(dir.filePath(QStringLiteral("TBDB.MDB")));
        const auto shown = [](FrmMain& w) {
            w.show();
            QStringList texts;
            for (const QListWidget* list : {w.persons->lstPerson, static_cast<QListWidget*>(w.keys->lstSchluessel)})
                for (int i = 0; i < list->count(); ++i)
                    texts << list->item(i)->text();
            for (const PersEntry& entry : w.persons->persListe)
                texts << QString::number(entry.PersID);
            for (int r = 1; r <= w.handouts->vergaben->maxRows(); ++r)
                for (int c = 1; c <= 6; ++c)
                    texts << w.handouts->vergaben->text(r, c);
            return texts;
        };
        std::optional<MainLists> lists = StartLists().take();
        QVERIFY(lists);
        FrmMain readAhead;
        readAhead.setStartLists(std::move(*lists));
        FrmMain readByLoad;
        const QStringList expected = shown(readByLoad);
        QVERIFY(expected.size() > 1000);
        QCOMPARE(shown(readAhead), expected);
        app().DB.reset();
        Clock::setToday(std::nullopt);
        QVERIFY(!StartLists().take()); // nothing open, nothing read
    }

    // Ctrl+Z takes the last change back and refills the lists that show it, Ctrl+Y makes it again; the
    // lists' context menus offer both, named after the change.
    void undoAndRedoFromTheKeyboard()
    {
        TestDatabase t;
        ScriptedMessages messages;
        addKey(t, "K1", "Tor");
        addMovement(t, "K1", 0, addPerson(t, "Meier"), "3/5/26");
        Undo::keepChanges();
        FrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.handouts->sprVergaben->selectRow(0);
        w.handouts->pbRueckgabe->click();
        QCOMPARE(w.handouts->vergaben->maxRows(), 0);
        QVERIFY(w.keys->lstSchluessel->actions().contains(w.mnuRueckgaengig));
        QCOMPARE(w.mnuRueckgaengig->text() + '|' + w.mnuWiederholen->text(), "Rückgängig: Rückgabe|Wiederholen");
        QTest::keyClick(w.handouts->sprVergaben, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.handouts->vergaben->maxRows(), 1);
        QCOMPARE(w.mnuWiederholen->isEnabled(), !w.mnuRueckgaengig->isEnabled());
        QTest::keyClick(w.persons->lstPerson, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.handouts->vergaben->maxRows(), 0);
        Undo::forget();
    }

    // The window applies the layout rule when resized: 900 twips wider, 600 higher, then too narrow.
    // Exit closes an open dialog first, then the window.
    void resizeAndExit()
    {
        FrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint exit = w.pbExit->pos();
        w.resize(w.width() + 60, w.height() + 40);
        QTRY_COMPARE(w.pbExit->pos(), exit + QPoint(60, 40));
        QCOMPARE(w.handouts->sprVergaben->columnWidth(3), qRound(10995 * 30 / 100.0 / 15));
        QVERIFY(!w.handouts->sprVergaben->horizontalScrollBar()->isVisible());
        const QSize accepted = w.size();
        w.resize(640, w.height());
        QTRY_COMPARE(w.size(), accepted);
        QCOMPARE(w.pbExit->pos(), exit + QPoint(60, 40));

        QDialog person;
        person.show();
        QVERIFY(QTest::qWaitForWindowExposed(&person));
        w.pbExit->click();
        QVERIFY(!person.isVisible() && !w.isVisible());
    }

    // The layout rule: every control's rectangle after worked resizes.
    void relayout_data()
    {
        QTest::addColumn<Resize>("c");
        const QSize designed(12045, 9000);
        const QSize big(13000, 9900);
        // Columns: 10095 / 100 * share / 125.8.
        QTest::newRow("900 wider, 600 higher") << Resize{designed, {12945, 9600}, false, 450, 300, 874, 3496};
        // Odd changes: the half lies halfway and goes to the even neighbour.
        QTest::newRow("15 wider, 45 higher") << Resize{designed, {12060, 9045}, false, 8, 22, 804, 3215};
        // Too small goes back to the last accepted size (478, 450 from the design), and nothing moves.
        QTest::newRow("10000 wide springs back") << Resize{big, {10000, 9000}, true, 478, 450, 0, 0};
        QTest::newRow("7410 high springs back") << Resize{big, {12045, 7410}, true, 478, 450, 0, 0};
        // 478 - 1490 and 450 - 1238 (-1237.5 to the even neighbour).
        QTest::newRow("exactly 10020 x 7425") << Resize{big, {10020, 7425}, false, -1012, -788, 642, 2566};
    }
    void relayout()
    {
        QFETCH(Resize, c);
        const MainLayout start = ::relayout(MainLayout::designed(), c.from.width(), c.from.height()).layout;
        const MainLayoutResult r = ::relayout(start, c.to.width(), c.to.height());
        QCOMPARE(r.springBack, c.springBack);
        QCOMPARE(QSize(r.layout.acceptedWidth, r.layout.acceptedHeight), c.springBack ? c.from : c.to);
        const QStringList rules = QString::fromLatin1(kShares).split(QLatin1Char(' '));
        QCOMPARE(rules.size(), kMainControlCount);
        QStringList actual;
        QStringList expected;
        for (int i = 0; i < kMainControlCount; ++i) {
            const QString name = rules[i].section(QLatin1Char(':'), 0, 0);
            const auto share = [&rules, i](int k) { return rules[i].section(QLatin1Char(':'), 1)[k].digitValue(); };
            const TwipRect d = MainLayout::designed().rects[i];
            actual << text(name, r.layout.rects[i]);
            expected << text(name, {d.left + share(0) * c.dx, d.top + share(1) * c.dy, d.width + share(2) * c.dx,
                                    d.height + share(3) * c.dy});
        }
        QCOMPARE(actual, expected);
        if (!c.springBack) {
            QCOMPARE(qRound(r.columnUnits[0] * 100), c.firstColumn);
            QCOMPARE(qRound(r.columnUnits[4] * 100), c.lastColumn);
        }
    }

    // The start window opens in the current language with Deutsch selected. OK and a click on the frame's free surface
    // apply the selected option; a character key keeps the language; a click on a label (the logo is one too)
    // does nothing; arrow keys choose without closing and switch the texts at once.
    void closing_data()
    {
        QTest::addColumn<QStringList>("c"); // how, the language, "open" when it stays open
        QTest::newRow("OK applies Deutsch") << QStringList{"ok", "DE", ""};
        QTest::newRow("frame click applies Deutsch") << QStringList{"frame", "DE", ""};
        QTest::newRow("letter keeps English") << QStringList{"letter", "EN", ""};
        QTest::newRow("label click stays open") << QStringList{"label", "EN", "open"};
        QTest::newRow("two arrow keys choose French") << QStringList{"down", "FR", "open"};
    }
    void closing()
    {
        QFETCH(QStringList, c);
        app().Sprache = QStringLiteral("EN");
        FrmSplash splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        if (c[0] == "ok")
            QTest::mouseClick(splash.pbOK, Qt::LeftButton);
        else if (c[0] == "frame")
            QTest::mouseClick(splash.Frame1, Qt::LeftButton, {}, QPoint(splash.Frame1->width() - 20, 10));
        else if (c[0] == "label")
            QTest::mouseClick(splash.lblProductName, Qt::LeftButton, {}, {5, 5});
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
        app().Sprache = QStringLiteral("EN");
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
        QCOMPARE(frmMain.persons->title() + '|' + frmMain.keys->title() + '|' + frmMain.keys->pbSchlEdit->text(),
                 QStringLiteral("PERSONNE|CLE|Changer"));
        QCOMPARE(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(), "Annuler");
        choose(0);
        QCOMPARE(QKeySequence(Qt::CTRL | Qt::Key_H).toString(QKeySequence::NativeText), "Strg+H");
    }

    // Enter in every dialog presses the focused button, and the default button only when the focus is
    // elsewhere (in the template's text it starts a new line: see the template dialog's test).
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

CLAVARO_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"

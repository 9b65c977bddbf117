// The main window: captions, the Enter switch between the frames, the key list's order, the lists read
// ahead at start, resizing, exit.
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/DemoData.h"
#include "handouts/HandoutPane.h"
#include "keys/KeyPane.h"
#include "persons/PersonPane.h"
#include "support/ScriptedMessages.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"
#include "ui/StartLists.h"
#include "undo/Undo.h"
#include "widgets/TabListWidget.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

namespace {
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
    void cleanup() { app().Sprache = QStringLiteral("DE"); } // the tests after a language test read German

    // The captions follow the language (the grid's headers are read back by its export).
    void captionsFollowTheLanguage()
    {
        FrmMain w;
        app().Sprache = QStringLiteral("EN");
        w.setTexts();
        const QStringList shown{w.persons->title(), w.keys->title(), w.persons->pbPersEdit->text(),
                                w.keys->pbSchlEdit->text()};
        QCOMPARE(shown.join(QLatin1Char('|')), "KEY HOLDER|KEY|Edit|Edit");
    }

    // Crossing a frame's free surface makes its search the default and focuses its field with the text
    // selected, once: a further move keeps the user's selection. Over a control inside a frame nothing
    // switches. A click into a field selects its text too.
    void enterSearchesInTheFrameTheMouseLastCrossed()
    {
        FrmMain w;
        w.persons->dfPersSuch->setText(QStringLiteral("Meier"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.persons->pbPersSuch->text(), "Suchen"); // in German again after the language test
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
        QCOMPARE(w.keys->x(), 480 + 30);
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
};

CLAVARO_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"

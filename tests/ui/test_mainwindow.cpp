// The main window: captions, the Enter switch between the frames, the key list's order, the lists read
// ahead at start, resizing, exit.
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/DemoData.h"
#include "handouts/VergabenModel.h"
#include "support/TestMain.h"
#include "ui/FrmMain.h"
#include "ui/StartLists.h"

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
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
    // The captions follow the language (the grid's headers are read back by its export).
    void captionsFollowTheLanguage()
    {
        FrmMain w;
        app().Sprache = QStringLiteral("EN");
        w.setTexts();
        const QStringList shown{w.frPerson->title(), w.frSchluessel->title(), w.pbPersEdit->text(),
                                w.pbSchlEdit->text()};
        QCOMPARE(shown.join(QLatin1Char('|')), "KEY HOLDER|KEY|Edit|Edit");
    }

    // Crossing a frame's free surface makes its search the default and focuses its field with the text
    // selected, once: a further move keeps the user's selection. Over a control inside a frame nothing
    // switches. A click into a field selects its text too.
    void enterSearchesInTheFrameTheMouseLastCrossed()
    {
        FrmMain w;
        w.dfPersSuch->setText(QStringLiteral("Meier"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QSignalSpy persons(w.pbPersSuch, &QPushButton::clicked);
        QSignalSpy keys(w.pbSchlSuch, &QPushButton::clicked);
        w.dfZusatzNr->setFocus();
        QTest::keyClick(w.dfZusatzNr, Qt::Key_Return); // no default yet: Enter clicks nothing
        QCOMPARE(persons.count() + keys.count(), 0);

        moveOverSurface(w.frPerson);
        QCOMPARE(QApplication::focusWidget(), w.dfPersSuch);
        QTRY_COMPARE(w.dfPersSuch->selectedText(), QStringLiteral("Meier"));
        w.dfPersSuch->setSelection(1, 2);
        moveOverSurface(w.frPerson);
        QTest::qWait(20);
        QCOMPARE(w.dfPersSuch->selectedText(), QStringLiteral("ei"));
        QTest::keyClick(w.dfPersSuch, Qt::Key_Return);
        QCOMPARE(persons.count(), 1);
        moveOverSurface(w.frSchluessel);
        QCOMPARE(QApplication::focusWidget(), w.dfSchlSuch);
        QVERIFY(w.pbSchlSuch->isDefault() && !w.pbPersSuch->isDefault());
        QTest::keyClick(w.dfSchlSuch, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(keys.count(), 1);
        QCOMPARE(persons.count(), 1);

        // Also when the move reaches the frame from the control; Enter in the grid still searches keys.
        const QPointF overList = w.lstPerson->geometry().center();
        QMouseEvent passedOn(QEvent::MouseMove, overList, w.frPerson->mapToGlobal(overList), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
        QApplication::sendEvent(w.frPerson, &passedOn);
        QCOMPARE(w.defaultButton(), w.pbSchlSuch);
        QCOMPARE(QApplication::focusWidget(), w.dfSchlSuch);
        w.sprVergaben->setFocus();
        QTest::keyClick(w.sprVergaben, Qt::Key_Return);
        QCOMPARE(keys.count(), 2);
        w.dfSchlSuch->setText(QStringLiteral("A12"));
        QTest::mouseClick(w.dfSchlSuch, Qt::LeftButton, {}, QPoint(3, 5));
        QTRY_COMPARE(w.dfSchlSuch->selectedText(), QStringLiteral("A12"));
    }

    // The fast order (first eight characters as one integer) agrees with the plain comparison without
    // case: texts alike beyond eight characters, letters that are not ASCII early and late, one that
    // folds to ASCII (Kelvin sign), a surrogate pair, a text that is the beginning of another; a row
    // added later goes to its place.
    void keyListSortsWithoutCase()
    {
        FrmMain w;
        QStringList texts =
            QStringLiteral("SCHLUESSEL2\tb|schluessel10\ta|SCHLUESSEL1\tz|Ärger\tx|Aerger\tx|Zoo\tÜbung|"
                           "Zoo\tubung|kA\tk|KM\tk|B|B\t|b\tx|éclair\t|Eclair\t|\U0001F511\tSchlüssel|"
                           "\u212AL\tKelvin")
                .split(QLatin1Char('|'));
        w.lstSchluessel->setRows(texts);
        w.lstSchluessel->addItem(QStringLiteral("a1\tKeller"));
        texts << QStringLiteral("a1\tKeller");
        std::stable_sort(texts.begin(), texts.end(),
                         [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        QStringList rows;
        for (int i = 0; i < w.lstSchluessel->count(); ++i)
            rows << w.lstSchluessel->item(i)->text();
        QCOMPARE(rows, texts);
        QVERIFY(w.lstSchluessel->selectedItems().isEmpty());
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
            QStringList texts{QString::number(w.vergaben->row())};
            for (const QListWidget* list : {w.lstPerson, static_cast<QListWidget*>(w.lstSchluessel)})
                for (int i = 0; i < list->count(); ++i)
                    texts << list->item(i)->text();
            for (const PersEntry& entry : w.persListe)
                texts << QString::number(entry.PersID);
            for (int r = 1; r <= w.vergaben->maxRows(); ++r)
                for (int c = 1; c <= 6; ++c)
                    texts << w.vergaben->cellText(r, c);
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
        QCOMPARE(w.frSchluessel->x(), 480 + 30);
        QCOMPARE(w.sprVergaben->columnWidth(3), qRound(10995 * 30 / 100.0 / 15));
        QVERIFY(!w.sprVergaben->horizontalScrollBar()->isVisible());
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

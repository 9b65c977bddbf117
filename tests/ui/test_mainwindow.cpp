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

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void captionsInEachLanguage_data();
    void captionsInEachLanguage();
    void enterSearchesInTheFrameTheMouseLastCrossed();
    void focusFromTheFrameSelectsTextOnce();
    void keyListSortsWithoutCase();
    void listsReadAheadShowAsTheLoadReadsThem();
    void resizeMovesControlsAndSpringsBack();
    void exitClosesDialogsAndWindow();

private:
    static void moveOverSurface(QGroupBox* frame)
    {
        // Between the list's bottom and the frame's border: the frame itself, no control.
        QTest::mouseMove(frame, QPoint(10, frame->height() - 6));
    }
};

void TestMainWindow::init()
{
    app().Sprache = QStringLiteral("DE");
}

void TestMainWindow::captionsInEachLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("frames"); // person, key
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QStringList>("headers");
    QTest::newRow("DE") << "DE" << QStringList{"PERSON", "SCHLÜSSEL"} << "Ändern"
                        << QStringList{"Datum", "SchlüsselNr", "ZusatzNr", "Funktion", "Person"};
    QTest::newRow("EN") << "EN" << QStringList{"KEY HOLDER", "KEY"} << "Edit"
                        << QStringList{"Date", "Key No.", "Add No.", "Function", "Key holder"};
    QTest::newRow("FR") << "FR" << QStringList{"PERSONNE", "CLE"} << "Changer"
                        << QStringList{"Date", "No. de clé.", "No.add.", "Fonction", "Personne"};
}

void TestMainWindow::captionsInEachLanguage()
{
    QFETCH(QString, language);
    QFETCH(QStringList, frames);
    QFETCH(QString, edit);
    QFETCH(QStringList, headers);
    FrmMain w;
    app().Sprache = language;
    w.setTexts();
    QCOMPARE(w.windowTitle(), QStringLiteral("Brannwerk MERIDIAN Clavaro"));
    QCOMPARE(QStringList({w.frPerson->title(), w.frSchluessel->title()}), frames);
    QCOMPARE(w.pbPersEdit->text(), edit);
    QCOMPARE(w.pbSchlEdit->text(), edit);
    QStringList shown;
    for (int c = 0; c < 5; ++c)
        shown << w.vergaben->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(shown, headers);
    QCOMPARE(w.vergaben->row(), 0); // the captions leave the header row current
}

void TestMainWindow::enterSearchesInTheFrameTheMouseLastCrossed()
{
    FrmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), w.pbVergabe);
    QSignalSpy persons(w.pbPersSuch, &QPushButton::clicked);
    QSignalSpy keys(w.pbSchlSuch, &QPushButton::clicked);

    // No default yet: Enter in a field clicks nothing.
    w.dfZusatzNr->setFocus();
    QTest::keyClick(w.dfZusatzNr, Qt::Key_Return);
    QCOMPARE(persons.count() + keys.count(), 0);

    moveOverSurface(w.frPerson);
    QCOMPARE(QApplication::focusWidget(), w.dfPersSuch);
    QVERIFY(w.pbPersSuch->isDefault());
    QTest::keyClick(w.dfPersSuch, Qt::Key_Return);
    QCOMPARE(persons.count(), 1);

    moveOverSurface(w.frSchluessel);
    QCOMPARE(QApplication::focusWidget(), w.dfSchlSuch);
    QVERIFY(w.pbSchlSuch->isDefault() && !w.pbPersSuch->isDefault());
    QTest::keyClick(w.dfSchlSuch, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(keys.count(), 1);
    QCOMPARE(persons.count(), 1);

    // Over a control inside the frame nothing switches, also when the move reaches the frame from
    // the control; Enter in the grid still searches keys.
    QTest::mouseMove(w.lstPerson, QPoint(20, 20));
    const QPointF overList = w.lstPerson->geometry().center();
    QMouseEvent passedOn(QEvent::MouseMove, overList, w.frPerson->mapToGlobal(overList), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
    QApplication::sendEvent(w.frPerson, &passedOn);
    QCOMPARE(w.defaultButton(), w.pbSchlSuch);
    QCOMPARE(QApplication::focusWidget(), w.dfSchlSuch);
    w.sprVergaben->setFocus();
    QTest::keyClick(w.sprVergaben, Qt::Key_Return);
    QCOMPARE(keys.count(), 2);
}

void TestMainWindow::focusFromTheFrameSelectsTextOnce()
{
    FrmMain w;
    w.dfPersSuch->setText(QStringLiteral("Meier"));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    moveOverSurface(w.frPerson);
    QTRY_COMPARE(w.dfPersSuch->selectedText(), QStringLiteral("Meier"));

    // Already focused: a further move keeps the user's own selection.
    w.dfPersSuch->setSelection(1, 2);
    moveOverSurface(w.frPerson);
    QTest::qWait(20);
    QCOMPARE(w.dfPersSuch->selectedText(), QStringLiteral("ei"));

    // A click into the field (focus by mouse) also ends with the whole text selected.
    w.dfSchlSuch->setText(QStringLiteral("A12"));
    QTest::mouseClick(w.dfSchlSuch, Qt::LeftButton, {}, QPoint(3, 5));
    QTRY_COMPARE(w.dfSchlSuch->selectedText(), QStringLiteral("A12"));
}

void TestMainWindow::keyListSortsWithoutCase()
{
    FrmMain w;
    w.lstSchluessel->addItems({"b2\t\tTor", "A10\t\tLager", "a1\t\tKeller", "A1X\t\tBüro"});
    w.lstSchluessel->addItem(QStringLiteral("AB\t\tHof"));
    QStringList rows;
    for (int i = 0; i < w.lstSchluessel->count(); ++i)
        rows << w.lstSchluessel->item(i)->text().section(QLatin1Char('\t'), 0, 0);
    QCOMPARE(rows, QStringList({"a1", "A10", "A1X", "AB", "b2"}));

    // The fast order (first eight characters as one integer) agrees with the plain comparison: texts
    // alike beyond eight characters, letters that are not ASCII early and late, one that folds to
    // ASCII (Kelvin sign), a surrogate pair, a text that is the beginning of another.
    QStringList texts = {QStringLiteral("SCHLUESSEL2\tb"),
                         QStringLiteral("schluessel10\ta"),
                         QStringLiteral("SCHLUESSEL1\tz"),
                         QStringLiteral("Ärger\tx"),
                         QStringLiteral("Aerger\tx"),
                         QStringLiteral("Zoo\tÜbung"),
                         QStringLiteral("Zoo\tubung"),
                         QString(QChar(0x212A)) + QStringLiteral("L\tKelvin"),
                         QStringLiteral("kA\tk"),
                         QStringLiteral("KM\tk"),
                         QStringLiteral("\U0001F511\tSchlüssel"),
                         QStringLiteral("B"),
                         QStringLiteral("B\t"),
                         QStringLiteral("b\tx"),
                         QStringLiteral("éclair\t"),
                         QStringLiteral("Eclair\t")};
    w.lstSchluessel->setRows(texts);
    std::stable_sort(texts.begin(), texts.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    rows.clear();
    for (int i = 0; i < w.lstSchluessel->count(); ++i)
        rows << w.lstSchluessel->item(i)->text();
    QCOMPARE(rows, texts);
    QVERIFY(w.lstSchluessel->selectedItems().isEmpty());
}

// The start reads the three lists in a second thread while the start window is shown; the main window
// then shows exactly what its own load would have read.
void TestMainWindow::listsReadAheadShowAsTheLoadReadsThem()
{
    Clock::setToday(QDate(2026, 3, 5));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
    DemoData::create(path, DemoData::demo());
    app().DB = Database::open(path);

    const auto shown = [](FrmMain& w) {
        w.show();
        QStringList texts;
        for (const QListWidget* list : {w.lstPerson, static_cast<QListWidget*>(w.lstSchluessel)}) {
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        }
        for (const PersEntry& entry : w.persListe)
            texts << QString::number(entry.PersID);
        const QAbstractItemModel* grid = w.sprVergaben->model();
        for (int r = 0; r < grid->rowCount(); ++r) {
            for (int c = 0; c < grid->columnCount(); ++c)
                texts << grid->index(r, c).data().toString();
        }
        return texts;
    };
    StartLists ahead;
    std::optional<MainLists> lists = ahead.take();
    QVERIFY(lists);
    FrmMain readAhead;
    readAhead.setStartLists(std::move(*lists));
    FrmMain readByLoad;
    const QStringList expected = shown(readByLoad);
    QVERIFY(expected.size() > 1000);
    QCOMPARE(shown(readAhead), expected);
    QCOMPARE(readAhead.vergaben->row(), readByLoad.vergaben->row());

    app().DB.reset();
    Clock::setToday(std::nullopt);
    QVERIFY(!StartLists().take()); // nothing open, nothing read
}

void TestMainWindow::resizeMovesControlsAndSpringsBack()
{
    FrmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(795, 566)); // inner area 11925 x 8490 twips
    const QPoint exit = w.pbExit->pos();
    const QSize frame = w.frPerson->size();

    // 900 twips wider, 600 higher.
    w.resize(w.width() + 60, w.height() + 40);
    QTRY_COMPARE(w.pbExit->pos(), exit + QPoint(60, 40));
    QCOMPARE(w.frPerson->size(), frame + QSize(30, 20));
    QCOMPARE(w.frSchluessel->x(), 480 + 30);
    QCOMPARE(w.sprVergaben->columnWidth(3), qRound(10995 * 30 / 100.0 / 15));
    QVERIFY(!w.sprVergaben->horizontalScrollBar()->isVisible());
    QVERIFY(w.sprVergaben->isColumnHidden(5));
    QCOMPARE(w.layoutState().acceptedWidth, 12945);

    // Narrower than 10020 twips outside: back to the last accepted size, nothing moves.
    const QSize accepted = w.size();
    w.resize(640, w.height());
    QTRY_COMPARE(w.size(), accepted);
    QCOMPARE(w.pbExit->pos(), exit + QPoint(60, 40));
}

void TestMainWindow::exitClosesDialogsAndWindow()
{
    FrmMain w;
    QDialog person;
    person.setObjectName(QStringLiteral("dlgPerson"));
    w.show();
    person.show();
    QVERIFY(QTest::qWaitForWindowExposed(&person));
    w.pbExit->click();
    QVERIFY(!person.isVisible());
    QVERIFY(!w.isVisible());
}

CLAVARO_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"

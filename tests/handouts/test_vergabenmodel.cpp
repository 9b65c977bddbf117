#include "handouts/VergabenModel.h"
#include "support/TestMain.h"

#include <QColor>
#include <QElapsedTimer>
#include <QTableView>

using Order = VergabenModel::SortOrder;
Q_DECLARE_METATYPE(VergabenModel::SortOrder)

namespace {

// Writes the lines the way the refill does: one more row, make it current, cell by cell.
void fill(VergabenModel& m, const QList<QStringList>& lines)
{
    m.setMaxRows(0);
    for (const QStringList& line : lines) {
        m.setMaxRows(m.maxRows() + 1);
        m.setRow(m.maxRows());
        for (int c = 1; c <= line.size(); ++c) {
            m.setCol(c);
            m.setText(line[c - 1]);
        }
    }
}

QStringList column(const VergabenModel& m, int col)
{
    QStringList cells;
    for (int r = 1; r <= m.maxRows(); ++r)
        cells << m.cellText(r, col);
    return cells;
}

void sortBy(VergabenModel& m, int col, Order order, int firstRow = 1)
{
    m.setRow(firstRow);
    m.setBlockEndRow(m.maxRows());
    m.setCol(1);
    m.setBlockEndCol(m.maxCols());
    m.setSortKey(col);
    m.setSortKeyOrder(order);
    m.sort();
}

} // namespace

class TestVergabenModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cellsThroughTheCurrentPosition();
    void backgroundOfTheCurrentCell();
    void sortMovesWholeLines_data();
    void sortMovesWholeLines();
    void orderStateSurvivesRefills();
    void viewSelectionAndWidths();
    void hundredThousandLines();
};

void TestVergabenModel::cellsThroughTheCurrentPosition()
{
    VergabenModel m;
    fill(m, {{"05.03.2026", "A1", "", "Keller", "Abel Anna ", "7"}, {"01.03.2026", "B2"}});
    QCOMPARE(m.maxRows(), 2);
    QCOMPARE(m.rowCount(), 2);
    QCOMPARE(m.row(), 2);
    m.setRow(1);
    m.setCol(6);
    QCOMPARE(m.text(), QStringLiteral("7"));
    QCOMPARE(m.data(m.index(0, 4)).toString(), QStringLiteral("Abel Anna "));

    // Row 0 is the header row.
    m.setRow(0);
    m.setCol(2);
    QCOMPARE(m.text(), QStringLiteral("SchlüsselNr"));
    m.setText(QStringLiteral("Key No."));
    QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Key No."));

    // Raising the count appends an empty line; writes outside the grid go nowhere.
    m.setMaxRows(3);
    QCOMPARE(m.cellText(3, 1), QString());
    QCOMPARE(m.cellText(1, 2), QStringLiteral("A1"));
    m.setRow(4);
    m.setText(QStringLiteral("lost"));
    m.setRow(1);
    m.setCol(7);
    m.setText(QStringLiteral("lost"));
    QCOMPARE(m.maxRows(), 3);
    m.setMaxRows(0);
    QCOMPARE(m.rowCount(), 0);
    QCOMPARE(m.cellText(0, 2), QStringLiteral("Key No.")); // emptying keeps the header
}

void TestVergabenModel::backgroundOfTheCurrentCell()
{
    VergabenModel m;
    fill(m, {{"a"}, {"b"}});
    m.setRow(2);
    m.setCol(5);
    m.setBackColor(0xC0C0C0);
    QCOMPARE(m.backColor(), 0xC0C0C0);
    QCOMPARE(m.data(m.index(1, 4), Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
    QVERIFY(!m.data(m.index(0, 4), Qt::BackgroundRole).isValid());
    m.setBackColor(VergabenModel::kDefaultBackground);
    QVERIFY(!m.data(m.index(1, 4), Qt::BackgroundRole).isValid());

    // The colour belongs to the line and moves with it.
    m.setBackColor(0xC0C0C0);
    sortBy(m, 1, Order::Descending);
    QCOMPARE(m.data(m.index(0, 4), Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
}

void TestVergabenModel::sortMovesWholeLines_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<Order>("order");
    QTest::addColumn<QStringList>("cells"); // of the sort column, in the lines' first order
    QTest::addColumn<QStringList>("ids");   // column 6 afterwards; the lines are numbered 1..n
    QTest::addColumn<int>("firstRow");
    QTest::newRow("dates by date, not text")
        << 1 << Order::Ascending << QStringList{"05.03.2026", "01.04.2025", "28.02.2026"} << QStringList{"2", "3", "1"}
        << 1;
    QTest::newRow("numbers by value, empty first")
        << 3 << Order::Ascending << QStringList{"10", "9", "", "-1"} << QStringList{"3", "4", "2", "1"} << 1;
    QTest::newRow("text without case, equal keep order")
        << 5 << Order::Ascending << QStringList{"meier", "Abel", "Meier", "abel"} << QStringList{"2", "4", "1", "3"}
        << 1;
    QTest::newRow("descending keeps equal lines in order")
        << 5 << Order::Descending << QStringList{"Abel", "Zorn", "abel"} << QStringList{"2", "1", "3"} << 1;
    QTest::newRow("umlaut in the alphabet")
        << 5 << Order::Ascending << QStringList{"Zorn", "Ärger", "Berg"} << QStringList{"2", "3", "1"} << 1;
    QTest::newRow("order none leaves lines") << 2 << Order::None << QStringList{"B", "A"} << QStringList{"1", "2"} << 1;
    QTest::newRow("block from row 2") << 2 << Order::Ascending << QStringList{"C", "B", "A"}
                                      << QStringList{"1", "3", "2"} << 2;
}

void TestVergabenModel::sortMovesWholeLines()
{
    QFETCH(int, col);
    QFETCH(Order, order);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, ids);
    QFETCH(int, firstRow);
    VergabenModel m;
    QList<QStringList> lines;
    for (int i = 0; i < cells.size(); ++i) {
        QStringList line(6);
        line[col - 1] = cells[i];
        line[5] = QString::number(i + 1);
        lines << line;
    }
    fill(m, lines);
    sortBy(m, col, order, firstRow);
    QCOMPARE(column(m, 6), ids);
    for (int r = 1; r <= m.maxRows(); ++r)
        QCOMPARE(m.cellText(r, col), cells[m.cellText(r, 6).toInt() - 1]);
}

void TestVergabenModel::orderStateSurvivesRefills()
{
    VergabenModel m;
    QCOMPARE(m.sortKeyOrder(), Order::None);
    fill(m, {{"x"}, {"y"}});
    sortBy(m, 4, Order::Descending);
    m.setMaxRows(0);
    fill(m, {{"z"}});
    QCOMPARE(m.sortKeyOrder(), Order::Descending);
    QCOMPARE(m.sortKey(), 4);
}

void TestVergabenModel::viewSelectionAndWidths()
{
    VergabenModel m;
    QTableView view;
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    m.attachView(&view);
    QVERIFY(view.isColumnHidden(5));
    m.setColWidth(1, 1500);
    QCOMPARE(view.columnWidth(0), 100);
    fill(m, {{"", "", "", "", "Meier", "1"}, {"", "", "", "", "Abel", "2"}, {"", "", "", "", "Zorn", "3"}});
    QCOMPARE(m.activeRow(), 0);
    view.selectRow(0);
    QCOMPARE(m.activeRow(), 1);

    // After a sort the selection stays on its line, so the line's identifier is still found.
    sortBy(m, 5, Order::Ascending);
    QCOMPARE(m.activeRow(), 2);
    QCOMPARE(m.cellText(m.activeRow(), 6), QStringLiteral("1"));

    // A refill leaves nothing selected.
    {
        VergabenModel::BulkUpdate bulk(m);
        fill(m, {{"a"}});
    }
    QCOMPARE(m.activeRow(), 0);
}

void TestVergabenModel::hundredThousandLines()
{
    VergabenModel m;
    QTableView view;
    m.attachView(&view);
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QElapsedTimer timer;
    timer.start();
    {
        VergabenModel::BulkUpdate bulk(m);
        m.setMaxRows(0);
        for (int i = 0; i < 100000; ++i) {
            m.setMaxRows(m.maxRows() + 1);
            m.setRow(m.maxRows());
            const QString day = QStringLiteral("%1.%2.2025").arg(i % 28 + 1, 2, 10, QLatin1Char('0')).arg(i % 12 + 1);
            const QStringList line = {day,
                                      QStringLiteral("K%1").arg(i % 997),
                                      QString::number(i % 5),
                                      QStringLiteral("Function"),
                                      QStringLiteral("Person %1").arg(i % 1013),
                                      QString::number(i)};
            for (int c = 1; c <= 6; ++c) {
                m.setCol(c);
                m.setText(line[c - 1]);
            }
        }
    }
    const qint64 filled = timer.restart();
    for (int c = 1; c <= 6; ++c) {
        m.setCol(c);
        for (int r = 1; r <= m.maxRows(); ++r) {
            m.setRow(r);
            m.setBackColor(c == 5 ? 0xC0C0C0 : VergabenModel::kDefaultBackground);
        }
    }
    const qint64 coloured = timer.restart();
    sortBy(m, 5, Order::Ascending);
    const qint64 sorted = timer.restart();
    QTest::qWait(1);
    qInfo("100,000 lines: fill %lld ms, colour a column %lld ms, sort %lld ms", filled, coloured, sorted);
    QCOMPARE(m.rowCount(), 100000);
    QCOMPARE(m.cellText(1, 5), QStringLiteral("Person 0"));
    QCOMPARE(m.cellText(100000, 5), QStringLiteral("Person 999"));
}

CLAVARO_TEST_MAIN(TestVergabenModel)
#include "test_vergabenmodel.moc"

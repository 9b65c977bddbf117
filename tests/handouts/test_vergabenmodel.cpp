#include "handouts/VergabenModel.h"
#include "support/TestMain.h"

#include <QColor>
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

void sortBy(VergabenModel& m, int col, Order order)
{
    m.setRow(1);
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
    void sortMovesWholeLines_data();
    void sortMovesWholeLines();
    void activeRowFollowsItsLine();
    void bulkFill();
};

void TestVergabenModel::cellsThroughTheCurrentPosition()
{
    VergabenModel m;
    fill(m, {{"05.03.2026", "A1", "", "Keller", "Abel Anna ", "7"}, {"01.03.2026", "B2"}});
    QCOMPARE(m.rowCount(), 2);
    m.setRow(1);
    m.setCol(6);
    QCOMPARE(m.text(), QStringLiteral("7"));
    QCOMPARE(m.data(m.index(0, 4)).toString(), QStringLiteral("Abel Anna "));

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
    sortBy(m, 1, Order::Ascending);
    QCOMPARE(m.cellText(1, 2), QStringLiteral("B2"));
    QCOMPARE(m.data(m.index(0, 4), Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
}

void TestVergabenModel::sortMovesWholeLines_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<Order>("order");
    QTest::addColumn<QStringList>("cells"); // of the sort column, in the lines' first order
    QTest::addColumn<QStringList>("ids");   // column 6 afterwards; the lines are numbered 1..n
    QTest::newRow("dates by day, not text")
        << 1 << Order::Ascending << QStringList{"05.03.2026", "01.04.2025", "28.02.2026"} << QStringList{"2", "3", "1"};
    QTest::newRow("numbers by value, empty first")
        << 3 << Order::Ascending << QStringList{"10", "9", "", "-1"} << QStringList{"3", "4", "2", "1"};
    QTest::newRow("descending without case, equal lines keep order")
        << 5 << Order::Descending << QStringList{"Abel", "Zorn", "abel"} << QStringList{"2", "1", "3"};
}

void TestVergabenModel::sortMovesWholeLines()
{
    QFETCH(int, col);
    QFETCH(Order, order);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, ids);
    VergabenModel m;
    QList<QStringList> lines;
    for (int i = 0; i < cells.size(); ++i) {
        QStringList line(6);
        line[col - 1] = cells[i];
        line[5] = QString::number(i + 1);
        lines << line;
    }
    fill(m, lines);
    sortBy(m, col, order);
    QCOMPARE(column(m, 6), ids);
    for (int r = 1; r <= m.maxRows(); ++r)
        QCOMPARE(m.cellText(r, col), cells[m.cellText(r, 6).toInt() - 1]);
    // The order is one state of the grid, kept across refills.
    fill(m, {{"z"}});
    QCOMPARE(m.sortKey(), col);
    QCOMPARE(m.sortKeyOrder(), order);
}

void TestVergabenModel::activeRowFollowsItsLine()
{
    VergabenModel m;
    QTableView view;
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    m.attachView(&view);
    QVERIFY(view.isColumnHidden(5)); // the identifier column
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

void TestVergabenModel::bulkFill()
{
    VergabenModel m;
    QTableView view;
    m.attachView(&view);
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QList<QStringList> lines;
    for (int i = 0; i < 100000; ++i)
        lines.append({QStringLiteral("01.01.2025"), QStringLiteral("K%1").arg(i), QString(), QStringLiteral("Tor"),
                      QStringLiteral("Person %1").arg(i), QString::number(i)});
    {
        VergabenModel::BulkUpdate bulk(m);
        fill(m, lines);
    }
    QCOMPARE(m.rowCount(), 100000);
    QCOMPARE(m.cellText(100000, 5), QStringLiteral("Person 99999"));
}

CLAVARO_TEST_MAIN(TestVergabenModel)
#include "test_vergabenmodel.moc"

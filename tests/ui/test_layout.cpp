#include "support/TestMain.h"
#include "ui/MainLayout.h"

#include <QObject>

using C = MainControl;

char* toString(const TwipRect& r)
{
    return QTest::toString(QStringLiteral("(%1, %2, %3, %4)").arg(r.left).arg(r.top).arg(r.width).arg(r.height));
}

class TestLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void relayout_data();
    void relayout();
};

void TestLayout::relayout_data()
{
    // From a window already accepted at `from` (reached from the design) to an outer size `to`; dx and
    // dy are the expected halves of the change, the column widths are in hundredths of a grid unit.
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::addColumn<bool>("springBack");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<int>("lastColumn");
    const QSize designed(12045, 9000);
    // 10095 / 100 * share / 125.8
    QTest::newRow("designed size") << designed << designed << false << 0 << 0 << 802 << 3210;
    QTest::newRow("900 wider, 600 higher") << designed << QSize(12945, 9600) << false << 450 << 300 << 874 << 3496;
    // Odd changes: the half lies halfway and goes to the even neighbour, either way.
    QTest::newRow("15 wider, 45 higher") << designed << QSize(12060, 9045) << false << 8 << 22 << 804 << 3215;
    QTest::newRow("15 narrower, 45 lower") << QSize(12060, 9045) << designed << false << -8 << -22 << 802 << 3210;
    // Too small goes back to the last accepted size, not the design.
    QTest::newRow("10000 wide springs back") << QSize(13000, 9900) << QSize(10000, 9000) << true << 0 << 0 << 0 << 0;
    QTest::newRow("7410 high springs back") << QSize(13000, 9900) << QSize(12045, 7410) << true << 0 << 0 << 0 << 0;
    QTest::newRow("exactly 10020 x 7425")
        << QSize(13000, 9900) << QSize(10020, 7425) << false << -1490 << -1238 << 642 << 2566;
}

void TestLayout::relayout()
{
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    QFETCH(bool, springBack);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(int, firstColumn);
    QFETCH(int, lastColumn);
    const MainLayout start = ::relayout(MainLayout::designed(), from.width(), from.height()).layout;
    const MainLayoutResult r = ::relayout(start, to.width(), to.height());
    QCOMPARE(r.springBack, springBack);
    const QSize accepted = springBack ? from : to;
    QCOMPARE(QSize(r.layout.acceptedWidth, r.layout.acceptedHeight), accepted);
    if (dx == 0 && dy == 0)
        QVERIFY(r.layout.rects == start.rects);

    // Each control's share of dx (left, width) and dy (top, height): the frames and lists take one
    // half, the middle column moves by one half, the grid and the right-hand buttons by both.
    const struct
    {
        C control;
        TwipRect share;
    } follows[] = {
        {C::frPerson, {0, 0, 1, 1}},     {C::lstPerson, {0, 0, 1, 1}},   {C::pbPersDel, {1, 0, 0, 0}},
        {C::frSchluessel, {1, 0, 1, 1}}, {C::pbSchlSuch, {1, 0, 0, 0}},  {C::pbVergabe, {1, 1, 0, 0}},
        {C::Line1, {0, 1, 2, 0}},        {C::sprVergaben, {0, 1, 2, 1}}, {C::pbBestaetigung, {2, 1, 0, 0}},
        {C::pbExit, {2, 2, 0, 0}},
    };
    for (const auto& [control, share] : follows) {
        const TwipRect before = start[control];
        const TwipRect expected{before.left + share.left * dx, before.top + share.top * dy,
                                before.width + share.width * dx, before.height + share.height * dy};
        QCOMPARE(r.layout[control], expected);
    }
    QCOMPARE(qRound(r.columnUnits[0] * 100), firstColumn);
    QCOMPARE(qRound(r.columnUnits[4] * 100), lastColumn);
}

CLAVARO_TEST_MAIN(TestLayout)
#include "test_layout.moc"

#include "support/TestMain.h"
#include "ui/MainLayout.h"

#include <QObject>

using C = MainControl;
Q_DECLARE_METATYPE(MainControl)

char* toString(const TwipRect& r)
{
    return QTest::toString(QStringLiteral("(%1, %2, %3, %4)").arg(r.left).arg(r.top).arg(r.width).arg(r.height));
}

class TestLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void halfChangeRoundsHalvesToEven_data();
    void halfChangeRoundsHalvesToEven();
    void designedSizeSetsOnlyColumnWidths();
    void enlargedWindow_data();
    void enlargedWindow();
    void tooSmallSpringsBack_data();
    void tooSmallSpringsBack();
    void proportionsHoldFromSizeToSize();
};

void TestLayout::halfChangeRoundsHalvesToEven_data()
{
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("half");
    QTest::newRow("15 to 8") << 15 << 8;
    QTest::newRow("45 to 22") << 45 << 22;
    QTest::newRow("-15 to -8") << -15 << -8;
    QTest::newRow("-45 to -22") << -45 << -22;
    QTest::newRow("even 600") << 600 << 300;
}

void TestLayout::halfChangeRoundsHalvesToEven()
{
    QFETCH(int, delta);
    QFETCH(int, half);
    QCOMPARE(halfChange(delta), half);
}

void TestLayout::designedSizeSetsOnlyColumnWidths()
{
    const MainLayout designed = MainLayout::designed();
    const MainLayoutResult r = relayout(designed, 12045, 9000);
    QVERIFY(!r.springBack);
    QVERIFY(r.layout.rects == designed.rects);
    // 10095 / 100 * p / 125.8
    QCOMPARE(qRound(r.columnUnits[0] * 100), 802);
    QCOMPARE(qRound(r.columnUnits[4] * 100), 3210);
    const double sum = r.columnUnits[0] + r.columnUnits[1] + r.columnUnits[2] + r.columnUnits[3] + r.columnUnits[4];
    QCOMPARE(qRound(sum * MainLayout::kGridUnitTwips), qRound(10095 * 1.02));
}

void TestLayout::enlargedWindow_data()
{
    // 900 twips wider and 600 higher: dx = 450, dy = 300.
    QTest::addColumn<MainControl>("control");
    QTest::addColumn<TwipRect>("change"); // added to left, top, width, height
    QTest::newRow("person frame") << C::frPerson << TwipRect{0, 0, 450, 300};
    QTest::newRow("person list") << C::lstPerson << TwipRect{0, 0, 450, 300};
    QTest::newRow("person delete") << C::pbPersDel << TwipRect{450, 0, 0, 0};
    QTest::newRow("key frame") << C::frSchluessel << TwipRect{450, 0, 450, 300};
    QTest::newRow("key search button") << C::pbSchlSuch << TwipRect{450, 0, 0, 0};
    QTest::newRow("additional number") << C::dfZusatzNr << TwipRect{450, 300, 0, 0};
    QTest::newRow("handout button") << C::pbVergabe << TwipRect{450, 300, 0, 0};
    QTest::newRow("line") << C::Line1 << TwipRect{0, 300, 900, 0};
    QTest::newRow("grid") << C::sprVergaben << TwipRect{0, 300, 900, 300};
    QTest::newRow("confirmation") << C::pbBestaetigung << TwipRect{900, 300, 0, 0};
    QTest::newRow("exit") << C::pbExit << TwipRect{900, 600, 0, 0};
}

void TestLayout::enlargedWindow()
{
    QFETCH(MainControl, control);
    QFETCH(TwipRect, change);
    const MainLayout designed = MainLayout::designed();
    const MainLayoutResult r = relayout(designed, 12045 + 900, 9000 + 600);
    QVERIFY(!r.springBack);
    const TwipRect before = designed[control];
    const TwipRect expected{before.left + change.left, before.top + change.top, before.width + change.width,
                            before.height + change.height};
    QCOMPARE(r.layout[control], expected);
    QCOMPARE(r.layout.acceptedWidth, 12945);
    QCOMPARE(r.layout.acceptedHeight, 9600);
    QCOMPARE(qRound(r.columnUnits[0] * 1000), qRound(10995 / 100.0 * 10 / 125.8 * 1000));
}

void TestLayout::tooSmallSpringsBack_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("springBack");
    QTest::newRow("10000 wide") << 10000 << 9000 << true;
    QTest::newRow("7410 high") << 12045 << 7410 << true;
    QTest::newRow("both too small") << 9000 << 6000 << true;
    QTest::newRow("exactly 10020 x 7425") << 10020 << 7425 << false;
}

void TestLayout::tooSmallSpringsBack()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, springBack);
    // Start from an enlarged window: spring-back returns to the last accepted size, not the design.
    const MainLayout enlarged = relayout(MainLayout::designed(), 13000, 9900).layout;
    const MainLayoutResult r = relayout(enlarged, width, height);
    QCOMPARE(r.springBack, springBack);
    if (springBack) {
        QVERIFY(r.layout.rects == enlarged.rects);
        QCOMPARE(r.layout.acceptedWidth, 13000);
        QCOMPARE(r.layout.acceptedHeight, 9900);
    } else {
        QCOMPARE(r.layout.acceptedWidth, width);
        QCOMPARE(r.layout.acceptedHeight, height);
        QCOMPARE(r.layout[C::sprVergaben].height, enlarged[C::sprVergaben].height + halfChange(height - 9900));
    }
}

void TestLayout::proportionsHoldFromSizeToSize()
{
    // Across a series of odd sizes: pbExit stays level with the grid's bottom, the other right-hand
    // buttons with its top, the right-hand buttons keep their distance from the right edge (within
    // the rounding of each step), and the middle column stays between the frames.
    MainLayout l = MainLayout::designed();
    const TwipRect grid0 = l[C::sprVergaben];
    const int rightGap0 = l.acceptedWidth - l[C::pbExit].left;
    const QList<QPair<int, int>> sizes = {{12060, 9015}, {13333, 10001}, {10020, 7425}, {15991, 11111}, {12045, 9000}};
    int step = 0;
    for (const auto& [w, h] : sizes) {
        l = relayout(l, w, h).layout;
        ++step;
        const TwipRect grid = l[C::sprVergaben];
        QCOMPARE(l[C::pbExit].top + l[C::pbExit].height, grid.top + grid.height);
        QCOMPARE(l[C::pbBestaetigung].top - grid.top, 3960 - grid0.top);
        QVERIFY(qAbs(w - l[C::pbExit].left - rightGap0) <= step);
        const int gapLeft = l[C::pbVergabe].left - (l[C::frPerson].left + l[C::frPerson].width);
        const int gapRight = l[C::frSchluessel].left - (l[C::pbVergabe].left + l[C::pbVergabe].width);
        QCOMPARE(gapLeft, 4920 - (120 + 4575));
        QCOMPARE(gapRight, 7200 - (4920 + 2055));
    }
}

CLAVARO_TEST_MAIN(TestLayout)
#include "test_layout.moc"

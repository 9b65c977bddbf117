#include "support/TestMain.h"
#include "ui/MainLayout.h"

#include <QObject>

using C = MainControl;

namespace {

// Every control: its designed rectangle, and its share of dx (left, width) and dy (top, height). The frames
// and lists take one half of a change, the middle column moves by one half, the grid and the right-hand
// buttons by both, pbExit down by both.
struct Rule
{
    C control;
    const char* name;
    TwipRect designed;
    TwipRect share;
};
#define RULE(control, ...)                                                                                             \
    {                                                                                                                  \
        C::control, #control, __VA_ARGS__                                                                              \
    }
const Rule kRules[] = {
    RULE(frPerson, {120, 120, 4575, 3375}, {0, 0, 1, 1}),
    RULE(Label1, {120, 360, 2535, 255}, {0, 0, 0, 0}),
    RULE(dfPersSuch, {120, 600, 2655, 285}, {0, 0, 1, 0}),
    RULE(lstPerson, {120, 1080, 2655, 2100}, {0, 0, 1, 1}),
    RULE(pbPersSuch, {2880, 600, 1455, 255}, {1, 0, 0, 0}),
    RULE(pbPersNeu, {2880, 1080, 1455, 375}, {1, 0, 0, 0}),
    RULE(pbPersEdit, {2880, 1560, 1455, 375}, {1, 0, 0, 0}),
    RULE(pbPersDel, {2880, 2040, 1455, 375}, {1, 0, 0, 0}),
    RULE(frSchluessel, {7200, 120, 4575, 3375}, {1, 0, 1, 1}),
    RULE(Label2, {120, 360, 2535, 255}, {0, 0, 0, 0}),
    RULE(dfSchlSuch, {120, 600, 2655, 285}, {0, 0, 1, 0}),
    RULE(lstSchluessel, {120, 1080, 2655, 2100}, {0, 0, 1, 1}),
    RULE(pbSchlSuch, {2880, 600, 1455, 255}, {1, 0, 0, 0}),
    RULE(pbSchlNeu, {2880, 1080, 1455, 375}, {1, 0, 0, 0}),
    RULE(pbSchlEdit, {2880, 1560, 1455, 375}, {1, 0, 0, 0}),
    RULE(pbSchlDel, {2880, 2040, 1455, 375}, {1, 0, 0, 0}),
    RULE(imgLogo, {5280, 240, 1350, 1050}, {1, 0, 0, 0}),
    RULE(Label4, {4920, 2040, 1935, 255}, {1, 1, 0, 0}),
    RULE(dfZusatzNr, {4920, 2280, 2055, 285}, {1, 1, 0, 0}),
    RULE(pbVergabe, {4920, 2760, 2055, 735}, {1, 1, 0, 0}),
    RULE(Line1, {120, 3600, 11640, 0}, {0, 1, 2, 0}), // from (120, 3600) to (11760, 3600)
    RULE(Label3, {120, 3720, 10095, 255}, {0, 1, 0, 0}),
    RULE(sprVergaben, {120, 3960, 10095, 4455}, {0, 1, 2, 1}),
    RULE(pbBestaetigung, {10320, 3960, 1455, 375}, {2, 1, 0, 0}),
    RULE(pbRueckgabe, {10320, 4440, 1455, 375}, {2, 1, 0, 0}),
    RULE(pbFilter, {10320, 5160, 1455, 375}, {2, 1, 0, 0}),
    RULE(pbListeDrucken, {10320, 5640, 1455, 375}, {2, 1, 0, 0}),
    RULE(pbFormular, {10320, 6600, 1455, 495}, {2, 1, 0, 0}),
    RULE(pbExit, {10320, 8040, 1455, 375}, {2, 2, 0, 0}),
};
#undef RULE
static_assert(std::size(kRules) == kMainControlCount, "every control of the window has its rule");

QString text(const char* name, const TwipRect& r)
{
    return QStringLiteral("%1 (%2, %3, %4, %5)")
        .arg(QLatin1String(name))
        .arg(r.left)
        .arg(r.top)
        .arg(r.width)
        .arg(r.height);
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void relayout_data();
    void relayout();
};

void TestLayout::relayout_data()
{
    // From the design to an accepted size `from`, then to the outer size `to`. dx and dy are the sums of
    // the halves of both changes; the column widths are in hundredths of a grid unit.
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
    // Odd changes: the half lies halfway and goes to the even neighbour, either way (+8 - 8, +22 - 22).
    QTest::newRow("15 wider, 45 higher") << designed << QSize(12060, 9045) << false << 8 << 22 << 804 << 3215;
    QTest::newRow("15 narrower, 45 lower") << QSize(12060, 9045) << designed << false << 0 << 0 << 802 << 3210;
    // Too small goes back to the last accepted size (955 and 900 more than the design: 478, 450), not the
    // design, and nothing moves.
    QTest::newRow("10000 wide springs back")
        << QSize(13000, 9900) << QSize(10000, 9000) << true << 478 << 450 << 0 << 0;
    QTest::newRow("7410 high springs back") << QSize(13000, 9900) << QSize(12045, 7410) << true << 478 << 450 << 0 << 0;
    // 478 - 1490 and 450 - 1238 (-1237.5 to the even neighbour).
    QTest::newRow("exactly 10020 x 7425")
        << QSize(13000, 9900) << QSize(10020, 7425) << false << -1012 << -788 << 642 << 2566;
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
    QStringList actual;
    QStringList expected;
    for (const auto& [control, name, designed, share] : kRules) {
        actual << text(name, r.layout[control]);
        expected << text(name, {designed.left + share.left * dx, designed.top + share.top * dy,
                                designed.width + share.width * dx, designed.height + share.height * dy});
    }
    QCOMPARE(actual, expected);
    if (!springBack) {
        QCOMPARE(qRound(r.columnUnits[0] * 100), firstColumn);
        QCOMPARE(qRound(r.columnUnits[4] * 100), lastColumn);
    }
}

CLAVARO_TEST_MAIN(TestLayout)
#include "test_layout.moc"

// The main window's layout rule: every control's rectangle after worked resizes.
#include "support/TestMain.h"
#include "ui/MainLayout.h"
#include "widgets/DesignedFont.h"

#include <QFontInfo>
#include <QObject>

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

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
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

    // The layout is measured in Arial's widths: the font the windows get must have them, or captions and
    // dates are cut. The package depends on fonts-liberation for this.
    void designedFontHasArialMetrics()
    {
        const QString family = QFontInfo(designedFont()).family();
        QVERIFY2(family == QLatin1String("Liberation Sans") || family == QLatin1String("Arial"), qPrintable(family));
    }
};

CLAVARO_TEST_MAIN(TestLayout)
#include "test_layout.moc"

#include "app/windowlayout.h"

#include <QTest>

using namespace quorvik;

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void resize_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("panel");
        QTest::addColumn<bool>("laidOut");
        QTest::addColumn<int>("viewW");
        QTest::addColumn<int>("viewH");
        QTest::addColumn<int>("toggleTop");
        QTest::addColumn<int>("check1Left");
        QTest::newRow("design size") << 11175 << 6750 << 2540 << true << 10875 << 4550 << 5655 << 2840;
        QTest::newRow("smallest that lays out") << 301 << 2201 << 0 << true << 1 << 1 << 1106 << 500;
        QTest::newRow("too narrow keeps layout") << 300 << 5000 << 2540 << false << 9060 << 4215 << 5400 << 500;
        QTest::newRow("too low keeps layout") << 9000 << 2200 << 2540 << false << 9060 << 4215 << 5400 << 500;
        QTest::newRow("long path: toggles stay") << 8000 << 5000 << 4825 << true << 7700 << 2800 << 3905 << 500;
        QTest::newRow("just enough room") << 8001 << 5000 << 4825 << true << 7701 << 2800 << 3905 << 5125;
    }
    void resize()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, panel);
        WindowLayout l = InitialLayout(200);  // toggles start at 500
        QTEST(ResizeLayout(l, w, h, panel), "laidOut");
        for (const TwipsRect& v : l.views) {
            QCOMPARE(v.left, 120);
            QCOMPARE(v.top, 960);
            QTEST(v.width, "viewW");
            QTEST(v.height, "viewH");
        }
        QTEST(l.tabStrip.width, "viewW");
        QTEST(l.lineX2, "viewW");
        QCOMPARE(l.lineX1, 120);
        for (const TwipsRect& t : l.toggles)
            QTEST(t.top, "toggleTop");
        QTEST(l.toggles[0].left, "check1Left");
        QCOMPARE(l.toggles[1].left - l.toggles[0].left, 2100);
        QCOMPARE(l.toggles[2].left - l.toggles[0].left, 3300);
    }

    void twipsAndPixels_roundTrip_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("96 dpi") << 96.0 << 1440 << 96;
        QTest::newRow("96 dpi toolbar") << 96.0 << 390 << 26;
        QTest::newRow("120 dpi") << 120.0 << 2540 << 212;
        QTest::newRow("72 dpi") << 72.0 << 20 << 1;
    }
    void twipsAndPixels_roundTrip()
    {
        QFETCH(double, dpi);
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(TwipsToPixels(twips, dpi), pixels);
        QVERIFY(std::abs(PixelsToTwips(pixels, dpi) - twips) <= 1440 / dpi);
    }
};

QTEST_GUILESS_MAIN(WindowLayoutTest)
#include "windowlayout_test.moc"

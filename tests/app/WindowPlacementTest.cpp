// Where the window goes at start-up: a stored placement wholly on a screen is kept exactly; anything
// else (off every screen, larger than the screen, absurd numbers) is fitted to the screen it overlaps
// most, or the nearest one.

#include "WindowPlacement.h"

#include <QtTest>

#include <climits>

using namespace tindra;

Q_DECLARE_METATYPE(QList<QRect>)
Q_DECLARE_METATYPE(tindra::TWindowSettings)

namespace {

// A stored placement; a QRect cannot carry numbers near the int limits (its right edge overflows).
TWindowSettings Stored(int left, int top, int width, int height) {
    return {left, top, width, height, 1};
}

const QSize Minimum(511, 531);
// Two screens side by side, the right one lower and with a panel at its top.
const QList<QRect> TwoScreens = {QRect(0, 0, 1280, 1024), QRect(1280, 200, 1920, 1000)};
const QMargins Frame(1, 20, 1, 5);

} // namespace

class WindowPlacementTest : public QObject {
    Q_OBJECT
  private slots:
    void fit_data() {
        QTest::addColumn<TWindowSettings>("stored"); // frame left/top, client width/height
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("on a screen: kept")
            << Stored(100, 200, 700, 650) << TwoScreens << Frame << QRect(100, 200, 700, 650);
        QTest::newRow("on the second screen: kept")
            << Stored(2000, 300, 600, 600) << TwoScreens << Frame << QRect(2000, 300, 600, 600);
        QTest::newRow("below the minimum: raised")
            << Stored(10, 10, 300, 100) << TwoScreens << Frame << QRect(10, 10, 511, 531);
        QTest::newRow("frame off the top: pulled down")
            << Stored(370, -20, 511, 531) << TwoScreens << Frame << QRect(370, 0, 511, 531);
        QTest::newRow("frame one pixel off the right")
            << Stored(768, 300, 511, 531) << TwoScreens << Frame << QRect(767, 300, 511, 531);
        QTest::newRow("across both screens: onto the one it covers most")
            << Stored(1100, 300, 600, 600) << TwoScreens << Frame << QRect(1280, 300, 600, 600);
        QTest::newRow("far right of everything: nearest screen")
            << Stored(9000, 500, 600, 600) << TwoScreens << Frame << QRect(3200 - 602, 500, 600, 600);
        QTest::newRow("above the second screen, off both: nearest")
            << Stored(2000, -900, 600, 600) << TwoScreens << Frame << QRect(2000, 200, 600, 600);
        QTest::newRow("larger than every screen: the size of the one it covers most")
            << Stored(0, 0, 5000, 5000) << TwoScreens << Frame << QRect(1280, 200, 1918, 975);
        QTest::newRow("larger than the screen it is on")
            << Stored(0, 0, 1280, 1024) << QList<QRect>{TwoScreens[0]} << Frame << QRect(0, 0, 1278, 999);
        QTest::newRow("absurd numbers") << Stored(INT_MIN, INT_MAX, INT_MAX, INT_MAX) << TwoScreens << Frame
                                        << QRect(1280, 200, 1918, 975);
        QTest::newRow("absurd, positions the other way")
            << Stored(INT_MAX, INT_MIN, 600, 600) << TwoScreens << Frame << QRect(3200 - 602, 200, 600, 600);
        QTest::newRow("negative size: the minimum")
            << Stored(50, 50, -5, INT_MIN) << TwoScreens << Frame << QRect(50, 50, 511, 531);
        QTest::newRow("screen smaller than the minimum: at its corner")
            << Stored(300, 300, 600, 600) << QList<QRect>{QRect(0, 0, 400, 300)} << Frame
            << QRect(0, 0, 511, 531);
        QTest::newRow("frame not known yet")
            << Stored(769, 300, 511, 531) << TwoScreens << QMargins() << QRect(769, 300, 511, 531);
        QTest::newRow("no screens: bounded") << Stored(INT_MIN, INT_MAX, INT_MAX, 10) << QList<QRect>{}
                                             << Frame << QRect(-32767, 32767, 4096, 531);
    }
    void fit() {
        QFETCH(TWindowSettings, stored);
        QFETCH(QList<QRect>, areas);
        QFETCH(QMargins, frame);
        QFETCH(QRect, expected);
        const TWindowSettings out = TWindowPlacement::Fit(stored, frame, Minimum, areas);
        QCOMPARE(QRect(out.Left, out.Top, out.Width, out.Height), expected);
        QCOMPARE(out.Language, 1);
    }
};

QTEST_APPLESS_MAIN(WindowPlacementTest)
#include "WindowPlacementTest.moc"

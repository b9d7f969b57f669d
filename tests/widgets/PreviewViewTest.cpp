// The preview image: clicks, shown pictures, and the painter playing into it through the Qt
// synchronised calls (Qt Test, offscreen).

#include <QSignalSpy>
#include <QtTest>

#include <chrono>

#include "GIFPainter.h"
#include "PainterTestSupport.h"
#include "PreviewView.h"
#include "QtSyncCaller.h"

class PreviewViewTest : public QObject {
    Q_OBJECT
  private slots:
    void ClickReportsOnlyALeftClickInside() {
        TPreviewView view;
        QSignalSpy clicked(&view, &TPreviewView::clicked);
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseClick(&view, Qt::RightButton, {}, QPoint(20, 20));
        QCOMPARE(clicked.count(), 1);
    }

    void ShowsSurfacePixels() {
        TPreviewView view;
        std::vector<std::uint32_t> pixels(40 * 40, 0xFF102030u);
        pixels[3 * 40 + 2] = 0xFFFF0000u; // red at (2, 3)
        view.SetArgbPixels(pixels.data(), 40, 40);
        const QImage shown = view.ToImage();
        QCOMPARE(shown.pixel(0, 0), qRgb(0x10, 0x20, 0x30));
        QCOMPARE(shown.pixel(2, 3), qRgb(0xFF, 0, 0));
        QCOMPARE(view.Picture().Pixel(2, 3), TColorRef(0x0000FF));
    }

    // Plays a red and a blue frame: both must appear, and Stop must end the painter at once.
    void PainterPlaysIntoThePreview() {
        TQtSyncCaller sync;
        TSyncCaller::Install(&sync);
        TPreviewView view;
        std::vector<TFrameSetup> frames(2);
        frames[0].Delay = frames[1].Delay = 3;
        frames[1].Color = 0xFF0000; // blue
        auto image = MakePicture(frames);
        bool sawRed = false, sawBlue = false;
        TGIFPainter::AnimationOf(*image).OnAfterPaint = [&](TGIFPainter*) {
            sawRed = sawRed || view.ToImage().pixel(20, 20) == qRgb(0xFF, 0, 0);
            sawBlue = sawBlue || view.ToImage().pixel(20, 20) == qRgb(0, 0, 0xFF);
        };
        image->EnableAnimation(true);
        QVERIFY(TGIFPainter::StartPainting(*image, view.Canvas(), TRect(0, 0, 40, 40), 0x5D) != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(sawRed && sawBlue, 20000);
        const auto start = std::chrono::steady_clock::now();
        TGIFPainter::StopPainting(*image);
        QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(2));
        QCOMPARE(PainterCount(*image), std::size_t(0));
        TSyncCaller::Install(nullptr);
    }
};

QTEST_MAIN(PreviewViewTest)
#include "PreviewViewTest.moc"

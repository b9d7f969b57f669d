#include "QtSystemColors.h"
#include "QtTextRasterizer.h"
#include "Surface32.h"
#include "SurfaceColor.h"

#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

class TestQtServices : public QObject {
    Q_OBJECT

  private slots:
    void init() { TQtTextRasterizer::Install(); }
    void cleanup() {
        InstallTextRasterizer(nullptr);
        InstallSystemColors(nullptr);
    }

    void textIsOneColourWithoutGreys() {
        TSurface32 s(120, 40);
        s.FillAll(0xFFFFFFFF);
        s.Font.Name = "DejaVu Sans";
        s.Font.Height = 16;
        const TTextExtent extent = s.TextExtent("Ag");
        QVERIFY(extent.Width > 0);
        QVERIFY(extent.Height >= 16);
        s.RenderText(3, 2, "Ag", 0xFF112233);
        int glyph = 0;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                const uint32_t p = s.GetPixel(x, y);
                QVERIFY2(p == 0xFFFFFFFF || p == 0xFF112233, qPrintable(QString::number(p, 16)));
                if (p == 0xFF112233) {
                    ++glyph;
                    QVERIFY(x >= 3 && x < 3 + extent.Width && y >= 2 && y < 2 + extent.Height);
                }
            }
        QVERIFY(glyph > 20);
    }

    void extentFollowsHeightAndStyle() {
        TQtTextRasterizer r;
        TFontDescription small, large, bold;
        small.Name = large.Name = bold.Name = "DejaVu Sans";
        small.Height = 10;
        large.Height = 24;
        bold.Height = 24;
        bold.SetStyle(fsBold, true);
        const TTextExtent a = r.MeasureText(small, "Hello "), b = r.MeasureText(large, "Hello ");
        QVERIFY(b.Height > a.Height);
        QVERIFY(b.Width > a.Width);
        auto count = [&](const TFontDescription& f) {
            const TTextExtent e = r.MeasureText(f, "HHHH ");
            const TCoverageMask m = r.RenderText(f, "HHHH", e.Width, e.Height);
            int on = 0;
            for (uint8_t c : m.Coverage)
                on += c != 0;
            return on;
        };
        QVERIFY(count(bold) > count(large));
        QVERIFY(TQtTextRasterizer::ToQFont(bold).bold());
        QCOMPARE(TQtTextRasterizer::ToQFont(large).pixelSize(), 24);
        QVERIFY(TQtTextRasterizer::ToQFont(large).styleStrategy() & QFont::NoAntialias);
    }

    void buttonFaceIsReadFromThePaletteAtUse() {
        TQtSystemColors::Install();
        const QPalette original = QGuiApplication::palette();
        QPalette p = original;
        p.setColor(QPalette::Button, QColor(0x12, 0x34, 0x56));
        QGuiApplication::setPalette(p);
        QCOMPARE(ButtonFaceColor(), 0x00563412u);
        QCOMPARE(ToSurfaceColor(TInterfaceColor(clBtnFace)).Value, 0xFF123456u);
        p.setColor(QPalette::Button, QColor(0xAB, 0xCD, 0xEF));
        QGuiApplication::setPalette(p);
        QCOMPARE(ButtonFaceColor(), 0x00EFCDABu);
        QGuiApplication::setPalette(original);
        QCOMPARE(SystemColorValue(25), BuiltInSystemColor(25)); // no Qt role: the neutral default
    }
};

QTEST_MAIN(TestQtServices)
#include "QtServicesTest.moc"

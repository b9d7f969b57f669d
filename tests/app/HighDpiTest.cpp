// Pixel art stays crisp at any device-pixel ratio: glyphs, flags, the canvas, the preview and the
// frame list's pictures are enlarged by whole factors only, so every device pixel shows exactly one
// picture pixel (no blended colours), and the canvas counts its zoom in device pixels. CTest runs this
// program under QT_SCALE_FACTOR 1, 1.5 and 2.

#include "CanvasView.h"
#include "CanvasWidget.h"
#include "IconDocument.h"
#include "PixelArt.h"
#include "PreviewView.h"
#include "Surface32.h"
#include "SurfaceImage.h"
#include "TestForm.h"
#include "TindraLangForm.h"
#include "ToolCursors.h"
#include "WindowControls.h"

#include <QLabel>
#include <QStandardPaths>
#include <QToolButton>
#include <QtMath>
#include <QtTest>

namespace {

// Faults where `shown` (device pixels) is not `picture` enlarged `scale` times at (left, top): every
// device pixel of the enlarged area must carry exactly its picture pixel.
QString BlockFaults(const QImage& shown, const QImage& picture, int scale, int left, int top) {
    const QImage a = shown.convertToFormat(QImage::Format_ARGB32), b = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < b.height() * scale; ++y)
        for (int x = 0; x < b.width() * scale; ++x) {
            const QRgb want = b.pixel(x / scale, y / scale), got = a.pixel(left + x, top + y);
            if (qAlpha(want) == 255 && got != want)
                return QString("device pixel (%1, %2) is %3, picture pixel (%4, %5) is %6")
                    .arg(left + x)
                    .arg(top + y)
                    .arg(got, 8, 16)
                    .arg(x / scale)
                    .arg(y / scale)
                    .arg(want, 8, 16);
        }
    return QString();
}

int WholeScale(qreal ratio) {
    return std::max(1, qFloor(ratio + 1e-6));
}

} // namespace

class THighDpiTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void iconsEnlargedByWholeFactors() {
        TStoredSettingsForm form(1);
        form.show();
        form.FormActivate();
        const qreal ratio = form.devicePixelRatio();
        const int k = WholeScale(ratio);
        // A glyph in its 16 × 16 room, the way the styles ask for it.
        const QImage glyph = form.MenuImage(TTindraMainForm::GlyphAbout).toImage();
        const QPixmap shown = Find<QToolButton>(&form, "TBAbout")->icon().pixmap(QSize(16, 16), ratio);
        const int room = qRound(16 * ratio);
        QCOMPARE(shown.size(), QSize(room, room));
        const int offset = (room - 16 * k) / 2;
        const QString glyphFaults = BlockFaults(shown.toImage(), glyph, k, offset, offset);
        QVERIFY2(glyphFaults.isEmpty(), qPrintable(glyphFaults));
        // A flag of the language dialog in its 40 × 40 room.
        const QImage flag = form.ControlImage(3, 1);
        TTindraLangForm lang;
        lang.SetFlags(QPixmap::fromImage(form.ControlImage(3, 0)), QPixmap::fromImage(flag));
        const QPixmap flagShown = lang.ButtonEnglish->icon().pixmap(QSize(40, 40), ratio);
        const int flagOffset = (qRound(40 * ratio) - 40 * k) / 2;
        const QString flagFaults = BlockFaults(flagShown.toImage(), flag, k, flagOffset, flagOffset);
        QVERIFY2(flagFaults.isEmpty(), qPrintable(flagFaults));
    }

    void canvasAndPreviewCrisp() {
        TStoredSettingsForm form(1, 700, 600);
        form.show();
        form.FormActivate();
        form.MnFileNewClick();
        QAction* grid = Find<QAction>(&form, "MnViewGrid");
        grid->trigger(); // grid off: every device pixel of a cell shows the cell
        QVERIFY(!grid->isChecked());
        // A picture with a pixel of its own colour in every cell.
        TSurface32& work = form.DocumentModel().WorkBitmap();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                work.SetPixel(x, y, 0xFF000000u | uint32_t(x * 6) << 16 | uint32_t(y * 6) << 8 | 0x40);
        form.DocumentModel().CommitFrame();
        QCoreApplication::processEvents();

        auto* canvas = Find<TCanvasWidget>(&form, "PBMain");
        const QWidget* panel = Find<QWidget>(&form, "MainPanel");
        const qreal ratio = canvas->devicePixelRatio();
        const int zoom = canvas->Zoom();
        QCOMPARE(zoom, CanvasZoom(qFloor(panel->width() * ratio), qFloor(panel->height() * ratio)));
        QVERIFY(canvas->width() * ratio >= 40 * zoom);
        // The control shows its screen image one to one, and that image is the picture `zoom` times.
        const QImage picture = SurfaceImage(work);
        const QImage grabbed = canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(grabbed.size(), canvas->Screen().size());
        const QString canvasFaults = BlockFaults(grabbed, picture, zoom, 0, 0);
        QVERIFY2(canvasFaults.isEmpty(), qPrintable(canvasFaults));
        // The pointer over a logical position is over the cell of its device pixel.
        const QPoint at(canvas->width() * 2 / 3, canvas->height() / 3);
        const TCell cell = canvas->CellAt(at);
        QCOMPARE(cell.Col, std::min(qFloor(at.x() * ratio) / zoom, 39));
        QCOMPARE(cell.Row, std::min(qFloor(at.y() * ratio) / zoom, 39));

        // The preview: the frame at whole device pixels per icon pixel, centred.
        const int k = WholeScale(ratio);
        const QImage preview = Find<TPreviewView>(&form, "ImThumbnail")->grab().toImage();
        const int offset = (qFloor(40 * ratio) - 40 * k) / 2;
        const QString previewFaults = BlockFaults(preview, picture, k, offset, offset);
        QVERIFY2(previewFaults.isEmpty(), qPrintable(previewFaults));

        // The frame list's row: the same whole factor, and the selection (the row is current) frames
        // the picture instead of tinting it.
        auto* list = Find<QWidget>(&form, "LBImageBox");
        const QImage rows = list->findChild<QWidget*>("qt_scrollarea_viewport")->grab().toImage().convertToFormat(
            QImage::Format_ARGB32);
        QPoint corner(-1, -1);
        for (int y = 0; y < rows.height() && corner.x() < 0; ++y)
            for (int x = 0; x < rows.width(); ++x)
                if (rows.pixel(x, y) == picture.pixel(0, 0)) {
                    corner = QPoint(x, y);
                    break;
                }
        QVERIFY2(corner.x() >= 0, "the first picture pixel is shown untinted");
        const QString rowFaults = BlockFaults(rows, picture, k, corner.x(), corner.y());
        QVERIFY2(rowFaults.isEmpty(), qPrintable(rowFaults));
    }

    // The canvas cursors are drawn for the ratio: round(32 × ratio) device pixels, each black, white or
    // transparent, and the cross-hair's centre (white arms of round(4 × ratio) on every side) is the
    // device pixel under the tool's hot spot. The hot spot is given in logical pixels, or as that
    // device pixel where the platform reads it so (X11).
    void toolCursorsCrispWithTheirHotSpots() {
        TStoredSettingsForm form(1);
        form.show();
        form.FormActivate();
        form.MnFileNewClick();
        auto* canvas = Find<TCanvasWidget>(&form, "PBMain");
        const qreal ratio = canvas->devicePixelRatio();
        const int side = qRound(32 * ratio), arm = qRound(4 * ratio);
        const QRgb white = 0xFFFFFFFFu, black = 0xFF000000u;
        for (int t = ToolMover; t <= ToolText; ++t) {
            const TTool tool = TTool(t);
            canvas->SetCurrentTool(tool);
            const QCursor cursor = canvas->cursor();
            QCOMPARE(cursor.pixmap().size(), QSize(side, side));
            QCOMPARE(cursor.pixmap().devicePixelRatio(), ratio);
            const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) {
                    const QRgb c = image.pixel(x, y);
                    QVERIFY2(qAlpha(c) == 0 || c == white || c == black,
                             qPrintable(QString("tool %1: pixel (%2, %3) is %4").arg(t).arg(x).arg(y).arg(c, 8, 16)));
                }
            const TScreenPoint hot = ToolCursorHotSpot(tool);
            QCOMPARE(cursor.hotSpot(), QPoint(hot.X, hot.Y)); // offscreen: Qt's logical rule
            const QPoint centre(qFloor((hot.X + 0.5) * ratio), qFloor((hot.Y + 0.5) * ratio));
            QCOMPARE(image.pixel(centre), white);
            auto whiteRun = [&](QPoint step) {
                int n = 0;
                for (QPoint p = centre + step; image.valid(p) && image.pixel(p) == white; p += step)
                    ++n;
                return n;
            };
            for (const QPoint step : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
                QVERIFY2(whiteRun(step) == arm, qPrintable(QString("tool %1, step %2,%3: arm %4")
                                                              .arg(t)
                                                              .arg(step.x())
                                                              .arg(step.y())
                                                              .arg(whiteRun(step))));
            QCOMPARE(ToolCursor(tool, ratio, THotSpotUnit::Device).hotSpot(), centre);
        }
    }

    // The insert-frame and rotation previews are labels showing PixelArtPixmap.
    void labelPixmapsKeepWholePixels() {
        QImage picture(3, 2, QImage::Format_RGB32);
        for (int i = 0; i < 6; ++i)
            picture.setPixel(i % 3, i / 3, qRgb(40 * i, 255 - 40 * i, 7 * i));
        for (qreal ratio : {1.0, 1.5, 2.0, 3.0}) {
            const QPixmap pixmap = PixelArtPixmap(picture, ratio);
            QCOMPARE(pixmap.devicePixelRatio(), ratio);
            QCOMPARE(pixmap.size(), picture.size() * WholeScale(ratio));
            QVERIFY(BlockFaults(pixmap.toImage(), picture, WholeScale(ratio), 0, 0).isEmpty());
        }
    }
};

QTEST_MAIN(THighDpiTest)
#include "HighDpiTest.moc"

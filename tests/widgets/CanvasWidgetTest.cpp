// The canvas driven by real mouse events: tools, pointer feedback, rubber bands, painting and sizing,
// zoom in a scroll area, onion skin and transparency on the screen.
// The canvas edits a real document whose picture starts all white; an observer counts its commits.

#include "CanvasWidget.h"
#include "CanvasView.h"
#include "DocumentTestSupport.h"
#include "ToolCursors.h"

#include "IconDocument.h"
#include "Surface32.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t White = 0xFFFFFFFFu;
constexpr uint32_t Black = 0xFF000000u; // the document's drawing colour
constexpr uint32_t Grey = 0xFFCCCCCCu;  // its background colour

// Counts the document's commits: each CommitFrame redraws the current frame's picture in the frame
// list once, and nothing else the canvas does asks for that.
struct TCommitCounter : IDocumentObserver {
    int Commits = 0;
    void FramePictureChanged(int) override { ++Commits; }
};

using TCells = std::set<std::pair<int, int>>;

// The cells of the surface that differ from white.
TCells Changed(const TSurface32& s) {
    TCells out;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (s.GetPixel(x, y) != White) out.insert({x, y});
    return out;
}

TCells Box(int l, int t, int r, int b, bool outlineOnly) {
    TCells out;
    for (int y = t; y <= b; ++y)
        for (int x = l; x <= r; ++x)
            if (!outlineOnly || x == l || x == r || y == t || y == b) out.insert({x, y});
    return out;
}

// The canvas on a panel in a scroll area, as the window has it.
struct TScrolled {
    QScrollArea Area;
    QWidget* Panel;
    TCanvasWidget* Canvas;
    explicit TScrolled(TIconDocument& doc) {
        Area.setFrameShape(QFrame::NoFrame);
        Area.setWidgetResizable(true);
        Panel = new QWidget;
        Area.setWidget(Panel);
        Canvas = new TCanvasWidget(doc, Panel);
        Area.resize(500, 420);
        Area.show();
        Canvas->FitToPanel();
    }
    // The cell under a point of the area's view.
    TCell CellAtView(QPoint view) const { return Canvas->CellAt(Canvas->mapFrom(Area.viewport(), view)); }
    void Wheel(QPoint view, int delta, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        const QPointF at = Canvas->mapFrom(Area.viewport(), QPointF(view));
        QWheelEvent e(at, Canvas->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(Canvas, &e);
    }
};

} // namespace

class TCanvasWidgetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TIconDocument> Doc;
    TCommitCounter Seen;
    QWidget* Panel = nullptr;
    TCanvasWidget* Canvas = nullptr;
    QString PixelText;
    std::optional<TInterfaceColor> Swatch;

    TSurface32& Work() const { return Doc->WorkBitmap(); }
    int Snapshots() const { return Doc->UndoDepth(0); }

    QPoint At(int col, int row) const {
        const int z = Canvas->Zoom();
        return QPoint(col * z + z / 2, row * z + z / 2);
    }
    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, QPointF(pos), Canvas->mapToGlobal(QPointF(pos)), button, held, mods);
        QApplication::sendEvent(Canvas, &e);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Send(QEvent::MouseButtonPress, p, b, b, m);
    }
    void MoveHeld(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        Send(QEvent::MouseMove, p, Qt::NoButton, b);
    }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Send(QEvent::MouseButtonRelease, p, b, Qt::NoButton, m);
    }
    void Drag(TTool tool, QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton) {
        Canvas->SetCurrentTool(tool);
        Press(from, b);
        MoveHeld(to, b);
        Release(to, b);
    }

  private slots:
    void init() {
        Doc = std::make_unique<TIconDocument>();
        TScriptedAsker asker;
        QVERIFY(Doc->NewDocument(asker));
        Work().FillAll(White);
        Doc->CommitFrame();
        Doc->SetObserver(&Seen);
        Seen.Commits = 0;
        Panel = new QWidget;
        Panel->resize(325, 325);
        Canvas = new TCanvasWidget(*Doc, Panel);
        Canvas->FitToPanel();
        connect(Canvas, &TCanvasWidget::PointerInfo, this,
                [this](const QString& text, std::optional<TInterfaceColor> c) {
                    PixelText = text;
                    Swatch = c;
                });
    }
    void cleanup() {
        delete Panel; // the canvas goes before its document
        Doc.reset();
    }

    void sizingFollowsThePanel_data() {
        QTest::addColumn<QSize>("panel");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QRect>("canvas");
        QTest::newRow("smallest") << QSize(325, 325) << 8 << QRect(2, 2, 321, 321);
        QTest::newRow("wide") << QSize(500, 420) << 10 << QRect(50, 10, 400, 400);
        QTest::newRow("narrow") << QSize(400, 330) << 8 << QRect(40, 5, 321, 321);
        QTest::newRow("large") << QSize(800, 700) << 17 << QRect(60, 10, 680, 680);
    }
    void sizingFollowsThePanel() {
        QFETCH(QSize, panel);
        QFETCH(int, zoom);
        QFETCH(QRect, canvas);
        Panel->show();
        Panel->resize(panel); // the canvas watches its panel's resizes
        QCOMPARE(Canvas->Zoom(), zoom);
        QCOMPARE(Canvas->geometry(), canvas);
    }

    void pencilDragDrawsTheLineWithOneSnapshot() {
        Drag(ToolPencil, At(0, 0), At(5, 2));
        QCOMPARE(Changed(Work()), (TCells{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
        QCOMPARE(Work().GetPixel(3, 1), Black);
        QCOMPARE(Snapshots(), 1);
        QCOMPARE(Seen.Commits, 1);
        QVERIFY(!Canvas->DragActive());
        Doc->Undo();
        QVERIFY(Changed(Work()).empty()); // the snapshot was taken before the first pixel
    }

    void rightButtonDrawsBackColorAndMiddleNothing() {
        Drag(ToolPencil, At(3, 3), At(3, 3), Qt::RightButton);
        QCOMPARE(Work().GetPixel(3, 3), Grey);
        Drag(ToolPencil, At(7, 7), At(9, 7), Qt::MiddleButton);
        QCOMPARE(Changed(Work()), (TCells{{3, 3}}));
        QCOMPARE(Snapshots(), 1); // a stroke that draws nothing leaves no snapshot
    }

    void shapesDrawOnRelease_data() {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QRect>("box"); // bounding cells of the result, inclusive
        QTest::newRow("rectangle on one row")
            << int(ToolRectangle) << QPoint(2, 7) << QPoint(9, 7) << QRect(QPoint(2, 7), QPoint(9, 7));
        QTest::newRow("square grows up")
            << int(ToolSquare) << QPoint(10, 10) << QPoint(15, 10) << QRect(QPoint(10, 5), QPoint(15, 10));
        QTest::newRow("circle grows left")
            << int(ToolCircle) << QPoint(10, 10) << QPoint(10, 14) << QRect(QPoint(6, 10), QPoint(10, 14));
        QTest::newRow("ellipse") << int(ToolEllipse) << QPoint(20, 20) << QPoint(30, 25)
                                 << QRect(QPoint(20, 20), QPoint(30, 25));
    }
    void shapesDrawOnRelease() {
        QFETCH(int, tool);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QRect, box);
        Canvas->SetCurrentTool(TTool(tool));
        Press(At(from.x(), from.y()));
        MoveHeld(At(to.x(), to.y()));
        QVERIFY(Changed(Work()).empty()); // nothing before the release
        QCOMPARE(Snapshots(), 0);
        Release(At(to.x(), to.y()));
        const TCells changed = Changed(Work());
        QVERIFY(!changed.empty());
        int l = 99, t = 99, r = -1, b = -1;
        for (auto [x, y] : changed) {
            l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
        }
        QCOMPARE(QRect(QPoint(l, t), QPoint(r, b)), box);
        QCOMPARE(Snapshots(), 1);
        QCOMPARE(Seen.Commits, 1);
    }

    void filledRectangleHasOutlineAndInside() {
        Drag(ToolFilledRectangle, At(2, 2), At(6, 5));
        TCells outline = Box(2, 2, 6, 5, true), inside = Box(3, 3, 5, 4, false);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const uint32_t want = outline.count({x, y}) ? Black : inside.count({x, y}) ? Grey : White;
                QVERIFY2(Work().GetPixel(x, y) == want, qPrintable(QString("%1,%2").arg(x).arg(y)));
            }
        // Dragged the other way with the right button, the colours swap.
        Work().FillAll(White);
        Drag(ToolFilledRectangle, At(6, 5), At(2, 2), Qt::RightButton);
        QCOMPARE(Work().GetPixel(2, 2), Grey);
        QCOMPARE(Work().GetPixel(4, 3), Black);
    }

    void fillStopsAtDiagonalsAndSkipsSameColour() {
        // A white 2 x 2 block at (0, 0) walled off by black; (2, 2) is white but touches it only diagonally.
        Work().FillAll(Black);
        Work().FillRect(0, 0, 2, 2, White);
        Work().SetPixel(2, 2, White);
        Canvas->SetCurrentTool(ToolFill);
        Press(At(0, 0), Qt::RightButton);
        QCOMPARE(Work().GetPixel(1, 1), Grey);
        QCOMPARE(Work().GetPixel(2, 2), White);
        QCOMPARE(Snapshots(), 1);
        QCOMPARE(Seen.Commits, 1);
        Release(At(0, 0), Qt::RightButton);
        Press(At(0, 0), Qt::RightButton); // already grey: no snapshot, no commit
        QCOMPARE(Snapshots(), 1);
        QCOMPARE(Seen.Commits, 1);
    }

    void dropperSetsColoursByButton() {
        Work().SetPixel(4, 5, 0xFF112233u);
        Canvas->SetCurrentTool(ToolDropper);
        Send(QEvent::MouseMove, At(4, 5), Qt::NoButton, Qt::NoButton);
        QCOMPARE(PixelText, QString(" 5,  6 (R: 17 G: 34 B: 51)"));
        Release(At(4, 5), Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(Doc->TransparentColor().Value, 0xFF112233u);
        QCOMPARE(Doc->BackColor().Value, 0xFF112233u); // the transparent colour is the background colour too
        QCOMPARE(Doc->DrawColor().Value, Black);
        Release(At(4, 5), Qt::LeftButton);
        QCOMPARE(Doc->DrawColor().Value, 0xFF112233u);
        QCOMPARE(Snapshots(), 0);
        QCOMPARE(Seen.Commits, 0);
    }

    void pointerFeedback_data() {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("text");
        QTest::newRow("origin") << QPoint(0, 0) << " 1,  1";
        QTest::newRow("extra column counts as 39") << QPoint(320, 5) << "40,  1";
        QTest::newRow("less than a cell left of the canvas") << QPoint(-3, 9) << " 1,  2";
        QTest::newRow("a cell beyond the left edge") << QPoint(-9, 9) << "";
    }
    void pointerFeedback() {
        QFETCH(QPoint, pos);
        QFETCH(QString, text);
        Canvas->SetCurrentTool(ToolPencil);
        Send(QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
        QCOMPARE(PixelText, text);
        QCOMPARE(Swatch.has_value(), !text.isEmpty());
    }

    void lineShowsRubberBandAndDragText() {
        Canvas->SetCurrentTool(ToolLine);
        const QImage before = Canvas->Screen().copy();
        Press(At(2, 2), Qt::MiddleButton);
        MoveHeld(At(10, 2), Qt::MiddleButton);
        QCOMPARE(PixelText, QString(" 3,  3 -> 11,  3"));
        QVERIFY(Canvas->Screen() != before);  // the band is on screen
        MoveHeld(At(2, 2), Qt::MiddleButton); // a zero-length band erases the old one exactly
        MoveHeld(At(10, 2), Qt::MiddleButton);
        Release(At(10, 2), Qt::MiddleButton);
        // The middle button draws nothing: the commit leaves no snapshot, and its repaint wipes the band.
        QVERIFY(Changed(Work()).empty());
        QCOMPARE(Snapshots(), 0);
        QCOMPARE(Seen.Commits, 1);
        QCOMPARE(Canvas->Screen(), before);
    }

    void squareDragTextShowsConstrainedEnd() {
        Canvas->SetCurrentTool(ToolSquare);
        Press(At(10, 10));
        MoveHeld(At(15, 10));
        QCOMPARE(PixelText, QString("11, 11 -> 16,  6"));
    }

    // Drags go on beyond the canvas: a shape or line ends on the edge where the button is released,
    // a pencil stroke is clipped outside and goes on when the pointer comes back.
    void dragsSurviveTheEdge() {
        Canvas->SetCurrentTool(ToolRectangle);
        Press(At(2, 2));
        MoveHeld(At(8, 8));
        MoveHeld(QPoint(400, 100)); // off the right edge, row 12
        QVERIFY(Canvas->DragActive());
        QCOMPARE(PixelText, QString(" 3,  3 -> 40, 13"));
        QCOMPARE(Seen.Commits, 0);
        Release(QPoint(400, 100));
        QCOMPARE(Changed(Work()), Box(2, 2, 39, 12, true));
        QCOMPARE(Snapshots(), 1);

        Work().FillAll(White);
        Canvas->SetCurrentTool(ToolLine);
        Press(At(5, 5));
        MoveHeld(QPoint(-20, -30));
        Release(QPoint(-20, -30)); // beyond the top-left corner: ends at (0, 0)
        QCOMPARE(Changed(Work()), (TCells{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}));

        Work().FillAll(White);
        Canvas->SetCurrentTool(ToolPencil);
        Press(At(1, 1));
        MoveHeld(At(3, 1));
        MoveHeld(QPoint(-20, 12)); // cell (-3, 1): clipped at the edge
        MoveHeld(At(6, 6));        // back inside: the stroke goes on from outside
        Release(At(6, 6));
        TSurface32 want(40, 40);
        want.FillAll(White);
        want.LineClipped(1, 1, 3, 1, Black, true);
        want.LineClipped(3, 1, -3, 1, Black, true);
        want.LineClipped(-3, 1, 6, 6, Black, true);
        QCOMPARE(Changed(Work()), Changed(want));
        QCOMPARE(Snapshots(), 3);
        QCOMPARE(Seen.Commits, 3);
    }

    // Another tool chosen while a stroke is under way (a new document drops the tool): the stroke ends
    // and is kept, and its release draws nothing more.
    void changingTheToolEndsAStroke() {
        Canvas->SetCurrentTool(ToolPencil);
        Press(At(1, 1));
        MoveHeld(At(3, 1));
        Canvas->SetCurrentTool(ToolNone);
        QCOMPARE(Seen.Commits, 1);
        QCOMPARE(Doc->FrameBitmap(0).GetPixel(3, 1), Black);
        Release(At(6, 6));
        QCOMPARE(Changed(Work()), (TCells{{1, 1}, {2, 1}, {3, 1}}));
        QCOMPARE(Snapshots(), 1);
        QCOMPARE(Seen.Commits, 1);
    }

    // Another frame mid-drag (a key pressed with the button held): the stroke or move stops there
    // and draws nothing into the next frame.
    void frameChangeEndsDrags() {
        Doc->InsertFrame(TInsertPosition::After, Work(), 100); // frame 1, white, current
        Doc->SelectFrame(0);
        for (TTool tool : {ToolPencil, ToolMover}) {
            Canvas->SetCurrentTool(tool);
            Press(At(1, 1));
            MoveHeld(At(3, 1));
            Doc->SelectFrame(1);
            Canvas->FrameChanging(); // as the window does when the document reports the new frame
            MoveHeld(At(9, 9));
            Release(At(9, 9));
            QVERIFY(Changed(Doc->FrameBitmap(1)).empty());
            QCOMPARE(Doc->UndoDepth(1), 0);
            Doc->SelectFrame(0);
        }
    }

    void brushDotsAddUpOnOneCell() {
        Canvas->SetCurrentTool(ToolBrush);
        Press(At(4, 4));
        QCOMPARE(Work().GetPixel(4, 4), 0xFF030303u); // one dot of weight 253
        Release(At(4, 4));
        QCOMPARE(Work().GetPixel(4, 4), Black); // the release adds the second
        QCOMPARE(Changed(Work()), (TCells{{4, 4}}));
        QCOMPARE(Snapshots(), 1);
        QCOMPARE(Seen.Commits, 1);
    }

    void cursorsCarryTheirHotSpots() {
        for (int t = ToolNone; t <= ToolText; ++t) {
            Canvas->SetCurrentTool(TTool(t));
            const TScreenPoint hot = ToolCursorHotSpot(t == ToolNone ? ToolMover : TTool(t));
            QCOMPARE(Canvas->cursor().hotSpot(), QPoint(hot.X, hot.Y));
            QCOMPARE(Canvas->cursor().pixmap().size(), QSize(32, 32));
        }
    }

    void nothingHappensWithoutImage() {
        // A refused file leaves no document.
        QCOMPARE(Doc->OpenFileDirect("/nonexistent/none.gif", false), TOpenResult::Failed);
        Seen.Commits = 0;
        const TSurface32 before = Work();
        Drag(ToolPencil, At(1, 1), At(4, 4));
        Canvas->SetCurrentTool(ToolFill);
        Press(At(1, 1));
        QVERIFY(std::equal(before.Bits(), before.Bits() + 1600, Work().Bits()));
        QCOMPARE(Seen.Commits, 0);
        QCOMPARE(Doc->Caption(), std::string("Tindra")); // no snapshot marked anything modified
        QCOMPARE(PixelText, QString());
    }

    void paintsCellsGridAndCrosses() {
        const QRgb face = QApplication::palette().color(QPalette::Button).rgb() | 0xFF000000u;
        Work().SetPixel(0, 0, 0xFF123456u);
        Work().SetPixel(4, 4, 0xFF123456u);
        auto pixel = [&](int x, int y) { return Canvas->Screen().pixel(x, y) | 0xFF000000u; };
        // Grid on, zoom 8: columns 0, 8, .. 320 are grid lines; 1..7 show cell 0.
        for (int x = 0; x <= 320; x += 8)
            QCOMPARE(pixel(x, 3), face);
        QCOMPARE(pixel(1, 1), 0xFF123456u);
        QCOMPARE(pixel(7, 7), 0xFF123456u);
        QCOMPARE(pixel(9, 9), White);

        Doc->SetOutputSize(32);
        Canvas->Repaint();
        for (int d = 2; d <= 6; ++d) { // cell (0, 0) is crossed from (2, 2) to (6, 6) and (2, 6) to (6, 2)
            QCOMPARE(pixel(d, d), face);
            QCOMPARE(pixel(d, 8 - d), face);
        }
        QCOMPARE(pixel(4 * 8 + 4, 4 * 8 + 4), 0xFF123456u); // the inner cell (4, 4) has none
        QCOMPARE(pixel(39 * 8 + 4, 39 * 8 + 4), face);      // the far corner cell has one

        Canvas->SetGridVisible(false); // no grid, no crosses: every pixel of a cell shows it
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                QCOMPARE(pixel(x, y), 0xFF123456u);
        QCOMPARE(pixel(8, 0), White);
    }

    // ---- Zoom in a scroll area (TScrolled).

    void wheelZoomKeepsTheCellUnderThePointer_data() {
        QTest::addColumn<QPoint>("view"); // pointer in the area's view (500 x 420, canvas at 50, 10)
        QTest::addColumn<QList<int>>("notches");
        QTest::addColumn<int>("zoom");
        QTest::newRow("one in, middle") << QPoint(250, 210) << QList<int>{1} << 12;
        QTest::newRow("three in, upper left") << QPoint(150, 110) << QList<int>{1, 1, 1} << 16;
        QTest::newRow("in, in, out, lower right") << QPoint(400, 350) << QList<int>{2, -1} << 12;
        QTest::newRow("to the top") << QPoint(300, 200) << QList<int>{20} << 40;
    }
    void wheelZoomKeepsTheCellUnderThePointer() {
        QFETCH(QPoint, view);
        QFETCH(QList<int>, notches);
        QFETCH(int, zoom);
        TScrolled s(*Doc);
        QCOMPARE(s.Canvas->Zoom(), 10);
        const TCell before = s.CellAtView(view);
        for (int n : notches)
            s.Wheel(view, n * 120);
        QCOMPARE(s.Canvas->Zoom(), zoom);
        QVERIFY(!s.Canvas->ZoomFitsWindow());
        QCOMPARE(s.CellAtView(view), before);
        QVERIFY(s.Area.verticalScrollBar()->maximum() > 0); // taller than the view: it scrolls
    }

    void zoomLimitsFitAndPlainWheel() {
        TScrolled s(*Doc);
        QSignalSpy told(s.Canvas, &TCanvasWidget::ZoomChanged);
        s.Wheel(QPoint(250, 210), 120, Qt::NoModifier); // the plain wheel scrolls, it does not zoom
        s.Wheel(QPoint(250, 210), 60);                  // half a notch waits for the other half
        QCOMPARE(s.Canvas->Zoom(), 10);
        QVERIFY(s.Canvas->ZoomFitsWindow());
        { // Ctrl+wheel beside the canvas, on the panel, zooms as well: with the half notch above, one out
            QWheelEvent beside(QPointF(20, 210), s.Panel->mapToGlobal(QPointF(20, 210)), QPoint(),
                               QPoint(0, -180), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(s.Panel, &beside);
            QCOMPARE(s.Canvas->Zoom(), 8);
        }
        s.Canvas->SetZoom(0);
        QCOMPARE(s.Canvas->Zoom(), 1);
        QCOMPARE(s.Canvas->size(), QSize(40, 40)); // 1:1, the picture's own size
        QCOMPARE(s.Canvas->CellAt(QPoint(39, 39)), (TCell{39, 39}));
        QCOMPARE(s.Area.horizontalScrollBar()->maximum(), 0); // all in view
        s.Canvas->ZoomOut();
        QCOMPARE(s.Canvas->Zoom(), 1);
        s.Canvas->SetZoom(99);
        QCOMPARE(s.Canvas->Zoom(), 40);
        QCOMPARE(s.Canvas->size(), QSize(1600, 1600));
        s.Canvas->ZoomIn();
        QCOMPARE(s.Canvas->Zoom(), 40);
        QCOMPARE(s.Canvas->CellAt(QPoint(1599, 40)), (TCell{39, 1}));
        // Back to the window's rule: the same zoom and place as before, nothing to scroll.
        s.Canvas->FitToWindow();
        QCOMPARE(s.Canvas->Zoom(), 10);
        QCOMPARE(s.Canvas->geometry(), QRect(50, 10, 400, 400));
        QCOMPARE(s.Area.horizontalScrollBar()->maximum(), 0);
        QCOMPARE(s.Area.verticalScrollBar()->maximum(), 0);
        QCOMPARE(told.count(), 4); // 8, 1, 40, 10
        // A zoom the user chose, and where it put the canvas, stay when the window grows.
        s.Canvas->SetZoom(12);
        const QRect placed = s.Canvas->geometry();
        s.Area.resize(900, 900);
        QCOMPARE(s.Canvas->Zoom(), 12);
        QCOMPARE(s.Canvas->geometry(), placed);
    }

    // At zoom 40 only the part in view is painted; what the view shows equals the whole canvas's
    // picture there, also after scrolling to a part not painted before.
    void viewShowsTheCanvasAfterScrolling() {
        for (int i = 0; i < 1600; ++i)
            Work().SetPixel(i % 40, i / 40, 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8));
        Doc->CommitFrame();
        TScrolled s(*Doc);
        s.Canvas->SetTransparencyShown(true);
        s.Canvas->SetZoom(40);
        std::vector<std::pair<QImage, QPoint>> views; // what the view showed, and where on the canvas
        for (const QPoint scrolled : {QPoint(0, 0), QPoint(700, 900), QPoint(1100, 1200)}) {
            s.Area.horizontalScrollBar()->setValue(scrolled.x());
            s.Area.verticalScrollBar()->setValue(scrolled.y());
            QImage view(s.Area.viewport()->size(), QImage::Format_RGB32);
            s.Area.viewport()->render(&view);
            views.emplace_back(view, s.Canvas->mapFrom(s.Area.viewport(), QPoint(0, 0)));
        }
        s.Canvas->Repaint(); // the whole canvas painted anew
        for (const auto& [view, corner] : views)
            QCOMPARE(view, s.Canvas->Screen().copy(QRect(corner, view.size())));
    }

    // ---- What the canvas shows beyond the picture: the checkerboard and the onion skin.

    void transparencyAndOnionSkinShowOnlyOnScreen() {
        constexpr uint32_t Red = 0xFFFF0000u;
        Canvas->SetGridVisible(false);
        // Frame 1: grey (the transparent colour) with a black cell at (6, 6) and a red one at (5, 5).
        TSurface32 first(40, 40);
        first.FillAll(Grey);
        first.SetPixel(6, 6, Black);
        first.SetPixel(5, 5, Red);
        Work() = first;
        Doc->CommitFrame();
        // Frame 2 (current): grey with the same red cell; frame 3: a black cell at (8, 8).
        TSurface32 second = first, third = first;
        second.SetPixel(6, 6, Grey);
        third.SetPixel(6, 6, Grey);
        third.SetPixel(8, 8, Black);
        Doc->InsertFrame(TInsertPosition::After, third, 100);
        Doc->SelectFrame(0);
        Doc->InsertFrame(TInsertPosition::After, second, 100);
        QCOMPARE(Doc->CurrentFrame(), 1);
        const TSurface32 kept = Work();
        auto pixel = [&](int x, int y) { return Canvas->Screen().pixel(x, y) | 0xFF000000u; };
        auto cellPixel = [&](int col, int row) { return pixel(col * 8 + 1, row * 8 + 1); };
        QCOMPARE(cellPixel(0, 0), Grey); // both off: the picture as it is

        Canvas->SetTransparencyShown(true);
        // Squares of 4 screen pixels at zoom 8, light at the corner.
        QCOMPARE(pixel(0, 0), CheckerLight);
        QCOMPARE(pixel(4, 0), CheckerDark);
        QCOMPARE(pixel(4, 4), CheckerLight);
        QCOMPARE(pixel(5 * 8 + 1, 5 * 8 + 1), Red);

        Canvas->SetOnionSkin(true, false);
        // Frame 1's black cell shows through the checkerboard at about 30 %; its red cell, the same as
        // the current one, and its grey background do not show.
        const uint32_t ghost = OnionBlend(CheckerLight, &Black, nullptr);
        QCOMPARE(ghost, 0xFFB3B3B3u);
        QCOMPARE(pixel(6 * 8, 6 * 8), ghost);
        QCOMPARE(cellPixel(5, 5), Red);
        QCOMPARE(pixel(8 * 8, 8 * 8), CheckerLight); // the next frame only with its own item
        Canvas->SetOnionSkin(true, true);
        QVERIFY(pixel(8 * 8, 8 * 8) != CheckerLight);
        QVERIFY((pixel(8 * 8, 8 * 8) & 0xFF) > ((pixel(8 * 8, 8 * 8) >> 16) & 0xFF)); // tinted blue

        // While the preview plays, no onion skin.
        Doc->SetAnimating(true);
        Canvas->Repaint();
        QCOMPARE(pixel(6 * 8, 6 * 8), CheckerLight);
        Doc->SetAnimating(false);
        // Nothing of it reaches the picture.
        QVERIFY(std::equal(kept.Bits(), kept.Bits() + 1600, Work().Bits()));
        QVERIFY(std::equal(kept.Bits(), kept.Bits() + 1600, Doc->FrameBitmap(1).Bits()));
    }

    // The pen size widens the pencil and the shapes; the fill ignores it.
    void toolSizeWidensPensOnly() {
        Canvas->SetToolSize(3);
        Drag(ToolPencil, At(10, 10), At(10, 10));
        QCOMPARE(Changed(Work()), Box(9, 9, 11, 11, false));
        Work().FillAll(White);
        Drag(ToolRectangle, At(20, 20), At(30, 26));
        TCells ring = Box(19, 19, 31, 27, false);
        for (const auto& inside : Box(22, 22, 28, 24, false))
            ring.erase(inside);
        QCOMPARE(Changed(Work()), ring);
        Work().FillAll(White);
        Work().SetPixel(5, 5, Black);
        Canvas->SetCurrentTool(ToolFill);
        Press(At(5, 5), Qt::RightButton); // one cell of its colour: one cell filled
        QCOMPARE(Work().GetPixel(5, 5), Grey);
        QCOMPARE(Work().GetPixel(6, 5), White);
    }

    void selectShowsSizeAndEscapeDrops() {
        Drag(ToolSelect, At(2, 3), At(13, 10));
        QCOMPARE(Canvas->Selection().Rect(), TRect(2, 3, 14, 11));
        QVERIFY(PixelText.endsWith(QString::fromUtf8("12 × 8")));
        Send(QEvent::MouseMove, At(20, 20), Qt::NoButton, Qt::NoButton);
        QCOMPARE(PixelText, QString::fromUtf8("21, 21   12 × 8"));
        QVERIFY(Changed(Work()).empty()); // selecting changes nothing
        QCOMPARE(Snapshots(), 0);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(Canvas, &escape);
        QVERIFY(!Canvas->Selection().Active());
        QVERIFY(!PixelText.contains(QString::fromUtf8("×"))); // the size goes with the selection
        // A click without a drag selects nothing; a drag beyond the canvas stops at its edge.
        Drag(ToolSelect, At(5, 5), At(5, 5));
        QVERIFY(!Canvas->Selection().Active());
        Drag(ToolSelect, At(30, 30), QPoint(500, 500));
        QCOMPARE(Canvas->Selection().Rect(), TRect(30, 30, 40, 40));
    }

    // The mover lifts the selection (its hole in the background colour) and moves it as one edit,
    // committed at the release; Undo puts it back; moving again keeps what lay under the block.
    void moverMovesTheSelection() {
        const TSurface32 pattern = Numbered();
        Work().CopyFrom(pattern);
        Drag(ToolSelect, At(2, 2), At(5, 4));
        Canvas->SetCurrentTool(ToolMover);
        Press(At(3, 3));
        MoveHeld(At(13, 8));
        QCOMPARE(Seen.Commits, 0); // nothing committed before the move ends
        QCOMPARE(Work().GetPixel(12, 7), pattern.GetPixel(2, 2));
        Release(At(13, 8));
        QCOMPARE(Seen.Commits, 1);
        QCOMPARE(Snapshots(), 1);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool block = x >= 12 && x < 16 && y >= 7 && y < 10;
                const bool hole = x >= 2 && x < 6 && y >= 2 && y < 5;
                const uint32_t want = block  ? pattern.GetPixel(x - 10, y - 5)
                                      : hole ? Grey
                                             : pattern.GetPixel(x, y);
                QVERIFY2(Work().GetPixel(x, y) == want, qPrintable(QString("%1,%2").arg(x).arg(y)));
            }
        QCOMPARE(Canvas->Selection().Rect(), TRect(12, 7, 16, 10));
        // Moved on by arrow keys, one cell and one snapshot a key; what it covered comes back.
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
        QApplication::sendEvent(Canvas, &left);
        QCOMPARE(Snapshots(), 2);
        QCOMPARE(Work().GetPixel(15, 8), pattern.GetPixel(15, 8));
        QCOMPARE(Work().GetPixel(11, 7), pattern.GetPixel(2, 2));
        // Undo twice: the picture as it was, and the selection (whose block no longer lies there) is gone.
        Doc->Undo();
        Doc->Undo();
        QVERIFY(std::equal(pattern.Bits(), pattern.Bits() + 1600, Work().Bits()));
        Canvas->Repaint();
        QVERIFY(!Canvas->Selection().Active());
        // A click without moving records nothing; a click outside drops the selection.
        Drag(ToolSelect, At(2, 2), At(5, 4));
        Drag(ToolMover, At(3, 3), At(3, 3));
        QCOMPARE(Snapshots(), 0);
        QVERIFY(std::equal(pattern.Bits(), pattern.Bits() + 1600, Work().Bits()));
        Drag(ToolMover, At(20, 20), At(25, 25));
        QVERIFY(!Canvas->Selection().Active());
        QCOMPARE(Snapshots(), 0);
    }

    void moverWrapsTheWholePicture_data() {
        QTest::addColumn<QPoint>("drag"); // in cells
        QTest::newRow("left") << QPoint(-3, 0);
        QTest::newRow("down right") << QPoint(5, 2);
        QTest::newRow("beyond the canvas") << QPoint(-30, 45);
    }
    void moverWrapsTheWholePicture() {
        QFETCH(QPoint, drag);
        const TSurface32 pattern = Numbered();
        Work().CopyFrom(pattern);
        Drag(ToolMover, At(10, 10), At(10 + drag.x(), 10 + drag.y()));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const int sx = ((x - drag.x()) % 40 + 40) % 40, sy = ((y - drag.y()) % 40 + 40) % 40;
                QCOMPARE(Work().GetPixel(x, y), pattern.GetPixel(sx, sy));
            }
        QCOMPARE(Snapshots(), 1);
        QCOMPARE(Seen.Commits, 1);
    }

    // A pasted block floats at the selection's corner; moving it never loses what lies under it.
    void pastedBlockFloats() {
        const TSurface32 pattern = Numbered();
        Work().CopyFrom(pattern);
        Drag(ToolSelect, At(6, 6), At(9, 9));
        TSurface32 block(3, 2);
        block.FillAll(0xFF0000FFu);
        Canvas->PasteBlock(block);
        QCOMPARE(Canvas->Selection().Rect(), TRect(6, 6, 9, 8));
        QCOMPARE(Snapshots(), 1);
        QCOMPARE(Work().GetPixel(8, 7), 0xFF0000FFu);
        Drag(ToolMover, At(7, 7), At(27, 17));
        QCOMPARE(Snapshots(), 2);
        QCOMPARE(Work().GetPixel(8, 7), pattern.GetPixel(8, 7)); // no hole: it floated
        QCOMPARE(Work().GetPixel(28, 17), 0xFF0000FFu);
        QCOMPARE(Canvas->SelectedPixels()->Width(), 3);
        QVERIFY(Canvas->ClearSelection()); // a floating block goes, leaving what lay under it
        QVERIFY(std::equal(pattern.Bits(), pattern.Bits() + 1600, Work().Bits()));
        QCOMPARE(Snapshots(), 3);
        // Another drawing tool drops the selection.
        Canvas->SetCurrentTool(ToolPencil);
        QVERIFY(!Canvas->Selection().Active());
    }

  private:
    static TSurface32 Numbered() {
        TSurface32 s(40, 40);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                s.SetPixel(x, y, 0xFF000000u | uint32_t(y) << 8 | uint32_t(x));
        return s;
    }
};

QTEST_MAIN(TCanvasWidgetTest)
#include "CanvasWidgetTest.moc"

#include "CanvasWidget.h"

#include "ToolCursors.h"

#include "CanvasView.h"
#include "Surface32.h"
#include "SurfaceColor.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QScopedValueRollback>
#include <QTimer>
#include <QtMath>

#include <algorithm>

namespace {

// The platform's face colour of buttons, read when used.
uint32_t ButtonFaceSurfaceColor() {
    const QColor c = QApplication::palette().color(QPalette::Button);
    return 0xFF000000u | (uint32_t(c.red()) << 16) | (uint32_t(c.green()) << 8) | uint32_t(c.blue());
}

bool IsRectangleTool(TTool tool) {
    return tool >= ToolRectangle && tool <= ToolFilledSquare;
}
bool IsEllipseTool(TTool tool) {
    return tool >= ToolEllipse && tool <= ToolFilledCircle;
}
bool IsShapeTool(TTool tool) {
    return IsRectangleTool(tool) || IsEllipseTool(tool);
}
bool IsSquareTool(TTool tool) {
    return tool == ToolSquare || tool == ToolFilledSquare || tool == ToolCircle || tool == ToolFilledCircle;
}
bool IsFilledTool(TTool tool) {
    return tool == ToolFilledRectangle || tool == ToolFilledSquare || tool == ToolFilledEllipse ||
           tool == ToolFilledCircle;
}

// The end of a drag as the tool sees it: squares and circles stretch the shorter side.
TCell Constrained(TTool tool, TCell start, TCell end) {
    if (IsSquareTool(tool)) ConstrainSquare(start, end);
    return end;
}

} // namespace

TCanvasWidget::TCanvasWidget(TIconDocument& document, QWidget* parent) : QWidget(parent), Document(document) {
    View.OnPaintBuffer = [this](TSurfaceView& sender) { PaintBuffer(sender.Buffer()); };
    setObjectName("PBMain");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(CanvasMinimumSize, CanvasMinimumSize);
    resize(CanvasMinimumSize, CanvasMinimumSize);
    if (parent) parent->installEventFilter(this);
    SetCurrentTool(ToolNone);
    // The canvas takes the keyboard when clicked: arrows move with the mover, Escape drops the
    // selection. The selection's outline marches while there is one.
    setFocusPolicy(Qt::ClickFocus);
    AntsTimer = new QTimer(this);
    AntsTimer->setInterval(150);
    connect(AntsTimer, &QTimer::timeout, this, [this] {
        AntsPhase = (AntsPhase + 1) % 8;
        update();
    });
}

TCanvasWidget::~TCanvasWidget() = default;

void TCanvasWidget::FitToPanel() {
    QWidget* panel = parentWidget();
    if (!panel || Placing) return;
    Placing = true;
    // Zoom counts device pixels, so a cell is a whole number of them at any device-pixel ratio;
    // the control is at least 321 logical pixels, and its logical size covers the cells.
    const qreal ratio = devicePixelRatio();
    if (FitZoom) {
        const QSize area = FitArea();
        ZoomValue = CanvasZoom(qFloor(area.width() * ratio), qFloor(area.height() * ratio));
    }
    // A zoom the user chose gives the cells' size, however small (1:1 is 40 x 40 pixels); the fit
    // rule keeps the control's minimum of 321.
    const int least = FitZoom ? CanvasMinimumSize : 0;
    setMinimumSize(least, least);
    const int deviceSide = std::max(IconCells * ZoomValue, qCeil(least * ratio - 1e-6));
    const int side = qCeil(deviceSide / ratio - 1e-6);
    QAbstractScrollArea* scroll = ScrollArea();
    // A zoom the user chose keeps the canvas where zooming put it in the panel.
    const bool placed = scroll && !FitZoom && Placed;
    if (scroll) {
        // The panel is the scroll area's widget: at least as large as the canvas (and as the room
        // zooming left around it), so the area scrolls when the canvas is larger than its view. The
        // area lays the panel out again at once.
        QSize least(side, side);
        if (placed)
            least = least.expandedTo(PlacedExtent).expandedTo(QSize(Placed->x() + side, Placed->y() + side));
        panel->setMinimumSize(least);
        QEvent relayout(QEvent::LayoutRequest);
        QCoreApplication::sendEvent(scroll, &relayout);
    }
    // Centred in the panel; with a scroll area never above or left of it.
    int left = panel->width() / 2 - side / 2, top = panel->height() / 2 - side / 2;
    if (placed) {
        left = Placed->x();
        top = Placed->y();
    } else if (scroll) {
        left = std::max(left, 0);
        top = std::max(top, 0);
    }
    setGeometry(left, top, side, side);
    Placing = false;
    Repaint();
    if (ZoomValue != ReportedZoom) {
        ReportedZoom = ZoomValue;
        emit ZoomChanged(ZoomValue);
    }
}

QAbstractScrollArea* TCanvasWidget::ScrollArea() const {
    // The canvas sits on a panel that is the widget of a scroll area: panel, viewport, area.
    QWidget* panel = parentWidget();
    QWidget* viewport = panel ? panel->parentWidget() : nullptr;
    auto* scroll = viewport ? qobject_cast<QAbstractScrollArea*>(viewport->parentWidget()) : nullptr;
    return scroll && scroll->viewport() == viewport ? scroll : nullptr;
}

QSize TCanvasWidget::FitArea() const {
    if (const QAbstractScrollArea* scroll = ScrollArea()) return scroll->maximumViewportSize();
    return parentWidget() ? parentWidget()->size() : size();
}

void TCanvasWidget::FitToWindow() {
    FitZoom = true;
    Placed.reset();
    FitToPanel();
}

void TCanvasWidget::SetZoom(int zoom) {
    // The middle of the part of the canvas in view.
    QRect shown = visibleRegion().boundingRect();
    if (shown.isEmpty()) shown = rect();
    SetZoom(zoom, QPointF(shown.center()));
}

void TCanvasWidget::SetZoom(int zoom, QPointF anchor) {
    zoom = ClampZoom(zoom);
    QAbstractScrollArea* scroll = ScrollArea();
    const qreal ratio = devicePixelRatio();
    const QPoint device = DevicePoint(anchor);
    // Where the anchor is in the scroll area's view, before.
    const QPointF inView = scroll ? QPointF(mapTo(scroll->viewport(), anchor.toPoint())) : anchor;
    const int from = ZoomValue;
    FitZoom = false;
    ZoomValue = zoom;
    FitToPanel();
    if (!scroll) return;
    // The anchor's cell, at the new zoom, goes back to where it was in the view.
    const QPoint after(qFloor(ZoomedPosition(std::max(device.x(), 0), from, zoom) / ratio),
                       qFloor(ZoomedPosition(std::max(device.y(), 0), from, zoom) / ratio));
    // The canvas's corner in the view that does it. The canvas goes there in the panel and the panel
    // scrolls; the panel grows where that needs room beyond the canvas.
    const QPoint corner = inView.toPoint() - after;
    const QSize view = scroll->viewport()->size();
    const QPoint at(std::max(corner.x(), 0), std::max(corner.y(), 0));
    const QPoint scrolled(std::max(-corner.x(), 0), std::max(-corner.y(), 0));
    Placed = at;
    PlacedExtent = QSize(std::max(at.x() + width(), scrolled.x() + view.width()),
                         std::max(at.y() + height(), scrolled.y() + view.height()));
    FitToPanel();
    scroll->horizontalScrollBar()->setValue(scrolled.x());
    scroll->verticalScrollBar()->setValue(scrolled.y());
}

void TCanvasWidget::ZoomIn() {
    SetZoom(ZoomInStep(ZoomValue));
}

void TCanvasWidget::ZoomOut() {
    SetZoom(ZoomOutStep(ZoomValue));
}

void TCanvasWidget::wheelEvent(QWheelEvent* event) {
    // Ctrl+wheel zooms about the pointer; the plain wheel scrolls the area around the canvas.
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    event->accept();
    WheelZoom(event->angleDelta().y(), event->position());
}

void TCanvasWidget::WheelZoom(int delta, QPointF anchor) {
    // One step per notch (120 eighths of a degree); finer wheels add up to a notch.
    WheelSteps += delta;
    int zoom = ZoomValue;
    while (WheelSteps >= 120) {
        zoom = ZoomInStep(zoom);
        WheelSteps -= 120;
    }
    while (WheelSteps <= -120) {
        zoom = ZoomOutStep(zoom);
        WheelSteps += 120;
    }
    if (zoom != ZoomValue) SetZoom(zoom, anchor);
}

void TCanvasWidget::SetTransparencyShown(bool on) {
    ShowTransparency = on;
    Repaint();
}

void TCanvasWidget::SetOnionSkin(bool previous, bool next) {
    OnionPrevious = previous;
    OnionNext = next;
    Repaint();
}

QSize TCanvasWidget::DeviceSize() const {
    const qreal ratio = devicePixelRatio();
    return QSize(qCeil(width() * ratio - 1e-6), qCeil(height() * ratio - 1e-6));
}

QPoint TCanvasWidget::DevicePoint(QPointF position) const {
    const qreal ratio = devicePixelRatio();
    return QPoint(qFloor(position.x() * ratio), qFloor(position.y() * ratio));
}

void TCanvasWidget::SetGridVisible(bool on) {
    Grid = on;
    Repaint();
}

void TCanvasWidget::SetCurrentTool(TTool tool) {
    // A pencil or brush stroke under way ends here and keeps what it drew.
    if (Stroke) {
        Stroke->Commit();
        Stroke.reset();
    }
    // So does a move; the selection stays only for the select and mover tools.
    if (MoveEdit) FinishMove();
    Dragging = false;
    const TTool next = tool <= ToolText ? tool : ToolNone;
    if (next != ToolSelect && next != ToolMover) DropSelection();
    Tool = next;
    UpdateCursor();
}

void TCanvasWidget::UpdateCursor() {
    // Drawn for the screen's device-pixel ratio, so it is crisp and of its logical size there.
    CursorRatio = devicePixelRatio();
    setCursor(ToolCursor(Tool == ToolNone ? ToolMover : Tool, CursorRatio, PlatformHotSpotUnit()));
}

void TCanvasWidget::Repaint() {
    CheckSelection();
    View.Invalidate();
    ScreenValid = false;
    update();
}

TCell TCanvasWidget::CellAt(QPoint pos) const {
    return CellAtDevice(DevicePoint(pos));
}

TCell TCanvasWidget::CellAtDevice(QPoint devicePos) const {
    return CanvasCellAt(devicePos.x(), devicePos.y(), ZoomValue);
}

// ---- painting ----

void TCanvasWidget::PaintBuffer(TSurface32& b) {
    const int bw = b.Width(), bh = b.Height();
    const uint32_t face = ButtonFaceSurfaceColor();
    const int z = ZoomValue, extent = IconCells * z;
    // Whatever lies beyond the 40 cells (the extra pixel of a 321 canvas) shows the face colour.
    b.FillRectClipped(extent, 0, bw, bh, face);
    b.FillRectClipped(0, extent, extent, bh, face);
    if (!Document.ImageLoaded()) {
        b.FillRectClipped(0, 0, extent, extent, face);
        return;
    }
    TCanvasPaintOptions options;
    options.Zoom = z;
    options.Grid = Grid;
    options.OutputSize = Document.OutputSize();
    options.GridColor = face;
    options.Area = TRect(PaintArea.left(), PaintArea.top(), PaintArea.right() + 1, PaintArea.bottom() + 1);
    PaintViewOptions(options);
    PaintCanvasBuffer(b, Document.WorkBitmap(), options);
}

void TCanvasWidget::PaintViewOptions(TCanvasPaintOptions& options) const {
    options.ShowTransparency = ShowTransparency;
    options.TransparentColor = Document.TransparentColor().Value;
    // The onion skin rests while the preview plays.
    if (Document.Animating()) return;
    const int current = Document.CurrentFrame(), count = Document.FrameCount();
    if (OnionPrevious && current > 0) options.PreviousFrame = &Document.FrameBitmap(current - 1);
    if (OnionNext && current >= 0 && current + 1 < count)
        options.NextFrame = &Document.FrameBitmap(current + 1);
}

void TCanvasWidget::EnsureScreen(QRect needed) {
    // The buffer and the screen image have one pixel per device pixel.
    const QSize device = DeviceSize();
    const QRect whole(QPoint(0, 0), device);
    needed = needed.isNull() ? whole : needed & whole;
    if (View.ControlWidth() != device.width() || View.ControlHeight() != device.height())
        View.SetControlSize(device.width(), device.height());
    // Only the part asked for is painted (at the largest zoom the canvas is far larger than what
    // the scroll area shows); a part beyond what was painted paints again.
    if (View.BufferValid() && !PaintedArea.contains(needed)) View.Invalidate();
    if (!View.BufferValid()) {
        ScreenValid = false;
        PaintArea = needed;
    }
    TSurface32& buffer = View.Buffer();
    View.Paint();
    PaintedArea = PaintArea;
    if (ScreenValid && ScreenImage.size() == device) return;
    // The screen image is the buffer itself, its 0xAARRGGBB words read as QImage::Format_RGB32 (alpha
    // ignored): rubber bands drawn on it go into the buffer, and the next repaint wipes them.
    ScreenImage = QImage(reinterpret_cast<uchar*>(buffer.Bits()), device.width(), device.height(),
                         buffer.Width() * 4, QImage::Format_RGB32);
    ScreenValid = true;
}

void TCanvasWidget::PaintNow() {
    EnsureScreen();
}

const QImage& TCanvasWidget::Screen() {
    EnsureScreen();
    return ScreenImage;
}

void TCanvasWidget::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatio();
    // The window moved to a screen of another ratio: the cursor is drawn again for it.
    if (ratio != CursorRatio) UpdateCursor();
    const QRect asked = event->rect();
    const QRect device(
        QPoint(qFloor(asked.left() * ratio), qFloor(asked.top() * ratio)),
        QPoint(qCeil((asked.right() + 1) * ratio) - 1, qCeil((asked.bottom() + 1) * ratio) - 1));
    EnsureScreen(device);
    QPainter p(this);
    // Drawn one to one onto the device pixels: never scaled, so never blurred.
    QImage shown = ScreenImage;
    shown.setDevicePixelRatio(ratio);
    p.setClipRect(asked);
    p.drawImage(QPointF(0, 0), shown);
    PaintSelectionOutline(p);
}

void TCanvasWidget::resizeEvent(QResizeEvent*) {
    const QSize device = DeviceSize();
    View.SetControlSize(device.width(), device.height());
    Repaint();
}

bool TCanvasWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) FitToPanel();
    // Ctrl+wheel beside the canvas zooms too, about the pointer.
    if (watched == parentWidget() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            WheelZoom(wheel->angleDelta().y(), mapFromParent(wheel->position()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Draws one rubber band exclusive-or on the screen image: white, dotted, no fill.
void TCanvasWidget::DrawBand(TBand band, TCell from, TCell to) {
    EnsureScreen(visibleRegion().boundingRect());
    QPainter p(&ScreenImage);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(QColor(255, 255, 255), 0, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    if (band == TBand::Line) {
        const TScreenPoint a = CellCentre(from, ZoomValue), c = CellCentre(to, ZoomValue);
        p.drawLine(a.X, a.Y, c.X, c.Y);
    } else {
        // The platform box has its right and bottom edges outside; Qt's outline covers both ends.
        const TRect box = RubberBandBox(from, to, ZoomValue);
        const QRect r(box.Left, box.Top, box.Width() - 1, box.Height() - 1);
        if (band == TBand::Rectangle)
            p.drawRect(r);
        else
            p.drawEllipse(r);
    }
    p.end();
    update();
}

// ---- pointer feedback ----

void TCanvasWidget::PointerFeedback(TCell cell) {
    // A cell beyond the left or top edge (a drag outside the canvas) shows nothing.
    if (!Document.ImageLoaded() || !IsIconCell(cell)) {
        emit PointerInfo(QString(), std::nullopt);
        return;
    }
    const uint32_t pixel = Document.WorkBitmap().GetPixel(cell.Col, cell.Row);
    const std::string text = Tool == ToolDropper ? DropperInfoText(cell, pixel) : PixelInfoText(cell);
    emit PointerInfo(QString::fromStdString(text) + SelectionText(), ToInterfaceColor(TSurfaceColor(pixel)));
}

void TCanvasWidget::PointerLeft() {
    // Nothing ends here: a drag under way goes on outside the canvas until the button is released
    // (the canvas keeps the pointer while a button is held).
}

// ---- tools ----

TColorPair TCanvasWidget::Colors() const {
    return PressColors(DragButton, Document.DrawColor(), Document.BackColor());
}

void TCanvasWidget::Press(TCell cell, TMouseButton button) {
    DragStart = cell;
    HasDragEnd = false;
    DragButton = button;
    if (!Document.ImageLoaded()) return;
    const TColorPair colors = Colors();
    // A tool that draws works on the whole picture: the selection goes first.
    if (Tool != ToolSelect && Tool != ToolMover && Tool != ToolDropper && Tool != ToolNone) DropSelection();
    switch (Tool) {
    case ToolMover:
        MoverPress(cell);
        break;
    case ToolSelect:
        SelectPress(cell);
        break;
    case ToolLine:
        Dragging = true;
        break;
    case ToolPencil:
    case ToolBrush:
        // One edit for the whole stroke, committed at the release (or where the pointer leaves).
        Stroke.reset();
        Stroke.emplace(Document.BeginEdit());
        Dragging = true;
        if (colors.Draws) {
            if (Tool == ToolPencil)
                PencilDot(Stroke->Picture(), cell, colors.Main, PenSize);
            else
                BrushDot(Stroke->Picture(), cell, colors.Main, PenSize);
        }
        Repaint();
        break;
    case ToolFill: {
        // The same colour already there: no snapshot, no change.
        if (!colors.Draws || !FloodFillChanges(Document.WorkBitmap(), cell.Col, cell.Row, colors.Main)) break;
        TIconDocument::TEdit edit = Document.BeginEdit();
        TSurface32& work = edit.Picture();
        FloodFill(work, cell.Col, cell.Row, colors.Main, work.GetPixel(cell.Col, cell.Row));
        edit.Commit();
        Repaint();
        break;
    }
    default:
        if (IsShapeTool(Tool)) Dragging = true;
        break;
    }
}

void TCanvasWidget::Move(TCell cell) {
    if (!Dragging) return;
    const TColorPair colors = Colors();
    if (Tool == ToolSelect) {
        SelectMove(cell);
    } else if (Tool == ToolMover) {
        MoverMove(cell);
    } else if (Tool == ToolPencil || Tool == ToolBrush) {
        // The middle button draws nothing but still moves the stroke point.
        if (colors.Draws) {
            TSurface32& work = Stroke ? Stroke->Picture() : Document.WorkBitmap();
            if (Tool == ToolPencil)
                PencilLine(work, DragStart, cell, colors.Main, PenSize);
            else
                BrushLine(work, DragStart, cell, colors.Main, PenSize);
        }
        DragStart = cell;
        Repaint();
    } else if (Tool == ToolLine || IsShapeTool(Tool)) {
        const TBand band = Tool == ToolLine        ? TBand::Line
                           : IsRectangleTool(Tool) ? TBand::Rectangle
                                                   : TBand::Ellipse;
        // A drag that leaves the canvas stays alive on its edge.
        cell = ClampToIcon(cell);
        const TCell end = Constrained(Tool, DragStart, cell);
        std::optional<TInterfaceColor> swatch;
        if (IsIconCell(cell))
            swatch = ToInterfaceColor(TSurfaceColor(Document.WorkBitmap().GetPixel(cell.Col, cell.Row)));
        emit PointerInfo(QString::fromStdString(DragInfoText(DragStart, end)), swatch);
        if (HasDragEnd) DrawBand(band, DragStart, DragEnd); // erases the band on screen
        DrawBand(band, DragStart, end);
        DragEnd = end;
        HasDragEnd = true;
    }
}

void TCanvasWidget::Release(TCell cell, TMouseButton button, bool ctrl) {
    if (!Document.ImageLoaded()) return;
    if (Tool == ToolDropper) {
        const std::optional<TInterfaceColor> picked = DropperColor(Document.WorkBitmap(), cell);
        if (!picked) return;
        switch (DropperTarget(button, ctrl)) {
        case dtDrawColor:
            Document.SetDrawColor(ToSurfaceColor(*picked));
            break;
        case dtBackColor:
            Document.SetBackColor(ToSurfaceColor(*picked));
            break;
        case dtTransparentColor:
            Document.SetTransparentColor(ToSurfaceColor(*picked));
            break;
        case dtNone:
            break;
        }
        return;
    }
    if (Tool == ToolText) {
        emit TextToolReleased(cell.Col, cell.Row,
                              button == mbLeft    ? Qt::LeftButton
                              : button == mbRight ? Qt::RightButton
                                                  : Qt::MiddleButton);
        return;
    }
    if (!Dragging) return;
    if (Tool == ToolSelect) {
        SelectMove(cell);
        Dragging = false;
        if (!SelMoved) DropSelection(); // a click without a drag selects nothing
        SelectionChanged();
        return;
    }
    if (Tool == ToolMover) {
        MoverRelease(cell);
        return;
    }
    const TColorPair colors = Colors();
    if (Tool == ToolPencil || Tool == ToolBrush) {
        // The stroke's last dot, and the stroke is kept.
        TSurface32& work = Stroke ? Stroke->Picture() : Document.WorkBitmap();
        if (colors.Draws) {
            if (Tool == ToolPencil)
                PencilDot(work, cell, colors.Main, PenSize);
            else
                BrushDot(work, cell, colors.Main, PenSize);
        }
        Dragging = false;
        EndStroke();
    } else if (Tool == ToolLine || IsShapeTool(Tool)) {
        // Lines and shapes are drawn, as one edit, only now; released beyond the canvas, they end
        // on its edge.
        cell = ClampToIcon(cell);
        TIconDocument::TEdit edit = Document.BeginEdit();
        TSurface32& work = edit.Picture();
        if (colors.Draws) {
            if (Tool == ToolLine) {
                PencilLine(work, DragStart, cell, colors.Main, PenSize);
            } else {
                const TRect box = SortCorners(DragStart, Constrained(Tool, DragStart, cell));
                const bool filled = IsFilledTool(Tool);
                if (IsRectangleTool(Tool))
                    DrawRectangleShape(work, box.Left, box.Top, box.Right, box.Bottom, colors.Main,
                                       colors.Other, filled, PenSize);
                else
                    DrawEllipseShape(work, box.Left, box.Top, box.Right, box.Bottom, colors.Main,
                                     colors.Other, filled, PenSize);
            }
        }
        Dragging = false;
        edit.Commit();
    } else {
        return;
    }
    Repaint();
}

void TCanvasWidget::EndStroke() {
    if (Stroke) {
        Stroke->Commit();
        Stroke.reset();
    } else {
        Document.CommitFrame();
    }
}

// ---- Qt events ----

namespace {
bool ButtonOf(Qt::MouseButton qtButton, TMouseButton& out) {
    switch (qtButton) {
    case Qt::LeftButton:
        out = mbLeft;
        return true;
    case Qt::RightButton:
        out = mbRight;
        return true;
    case Qt::MiddleButton:
        out = mbMiddle;
        return true;
    default:
        return false;
    }
}
} // namespace

void TCanvasWidget::mousePressEvent(QMouseEvent* event) {
    TMouseButton b;
    if (!ButtonOf(event->button(), b)) return;
    PointerInside = true;
    Press(CellAtDevice(DevicePoint(event->position())), b);
}

// The cell a drag sees: on the canvas the cell under the pointer; beyond it (the canvas keeps the
// pointer while a button is held) the cell off the icon where the pointer is, so that strokes are
// clipped at the edge and come back in where the pointer does.
static TCell DragCell(const QRect& canvas, QPoint pos, QPoint device, int zoom) {
    return canvas.contains(pos) ? CanvasCellAt(device.x(), device.y(), zoom)
                                : CanvasCellBeyond(device.x(), device.y(), zoom);
}

void TCanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    PointerInside = rect().contains(pos);
    const QPoint device = DevicePoint(event->position());
    PointerFeedback(CellAtDevice(device));
    Move(DragCell(rect(), pos, device, ZoomValue));
}

void TCanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    TMouseButton b;
    if (!ButtonOf(event->button(), b)) return;
    const QPoint device = DevicePoint(event->position());
    // Released beyond the canvas: a stroke draws nothing more there; the dropper and the text tool
    // take the nearest cell as before.
    const bool tracked = Dragging && Tool != ToolDropper && Tool != ToolText;
    Release(tracked ? DragCell(rect(), event->position().toPoint(), device, ZoomValue) : CellAtDevice(device),
            b, event->modifiers() & Qt::ControlModifier);
}

void TCanvasWidget::enterEvent(QEnterEvent*) {
    PointerInside = true;
}

void TCanvasWidget::leaveEvent(QEvent*) {
    if (!PointerInside) return;
    PointerInside = false;
    PointerLeft();
}

// ---- pen size, selection and mover ----

void TCanvasWidget::SetToolSize(int size) {
    PenSize = std::clamp(size, 1, MaxPenSize);
}

bool TCanvasWidget::HasSelection() {
    CheckSelection();
    return Sel.Active();
}

void TCanvasWidget::SelectAll() {
    if (!Document.ImageLoaded()) return;
    if (MoveEdit) FinishMove();
    Sel.Select(TRect(0, 0, IconCells, IconCells), Document.WorkBitmap().BoundsRect());
    SelectionChanged();
}

void TCanvasWidget::DropSelection() {
    if (MoveEdit) FinishMove();
    if (!Sel.Active()) return;
    // Every change the selection made is committed already: its block stays where it lies.
    Sel.Drop();
    SelectionChanged();
}

void TCanvasWidget::FrameChanging() {
    // A pencil or brush stroke would go on drawing into the next frame under the snapshot of the
    // frame it began on: it ends here, and the rest of the drag draws nothing.
    if (Stroke || MoveEdit) {
        Stroke.reset();
        MoveEdit.reset();
        Dragging = false;
    }
    DropSelection();
}

void TCanvasWidget::SelectionChanged() {
    if (Sel.Active()) {
        AntsTimer->start();
        emit PointerInfo(SelectionText().trimmed(), std::nullopt);
    } else {
        AntsTimer->stop();
        emit PointerInfo(QString(), std::nullopt); // the selection's size goes with it
    }
    update();
}

QString TCanvasWidget::SelectionText() const {
    return Sel.Active() ? QStringLiteral("   ") + QString::fromStdString(SelectionSizeText(Sel.Rect()))
                        : QString();
}

void TCanvasWidget::SelectionSettled() {
    SettledPicture.CopyFrom(Document.WorkBitmap());
    SettledFrame = Document.CurrentFrame();
}

void TCanvasWidget::CheckSelection() {
    if (!Sel.Floating() || MoveEdit || SelectionEditing) return;
    const TSurface32& work = Document.WorkBitmap();
    const bool same =
        Document.ImageLoaded() && SettledFrame == Document.CurrentFrame() &&
        SettledPicture.Width() == work.Width() && SettledPicture.Height() == work.Height() &&
        std::equal(work.Bits(), work.Bits() + size_t(work.Width()) * work.Height(), SettledPicture.Bits());
    if (same) return;
    Sel.Drop();
    SelectionChanged();
}

std::optional<TSurface32> TCanvasWidget::SelectedPixels() {
    if (!HasSelection()) return std::nullopt;
    return Sel.Copy(Document.WorkBitmap());
}

bool TCanvasWidget::ClearSelection() {
    if (!HasSelection() || !Document.ImageLoaded()) return false;
    if (MoveEdit) FinishMove();
    TIconDocument::TEdit edit = Document.BeginEdit();
    if (Sel.Floating()) {
        Sel.RemoveBlock(edit.Picture());
    } else {
        const TRect& r = Sel.Rect();
        edit.Picture().FillRectClipped(r.Left, r.Top, r.Right, r.Bottom, Document.BackColor().Value);
    }
    edit.Commit();
    SelectionChanged();
    Repaint();
    return true;
}

void TCanvasWidget::PasteBlock(const TSurface32& block) {
    if (!Document.ImageLoaded() || block.Empty()) return;
    CheckSelection();
    if (MoveEdit) FinishMove();
    // A picture larger than the icon keeps its top-left 40 × 40 cells.
    TSurface32 pasted(std::min(block.Width(), IconCells), std::min(block.Height(), IconCells));
    block.DrawTo(pasted, 0, 0);
    const TCell at =
        Sel.Active() ? TCell{Sel.Rect().Left, Sel.Rect().Top} : PastePlace(block.Width(), block.Height());
    TIconDocument::TEdit edit = Document.BeginEdit();
    Sel.Float(edit.Picture(), pasted, at.Col, at.Row);
    {
        // The commit repaints the canvas before the picture is noted as the selection's own.
        const QScopedValueRollback<bool> own(SelectionEditing, true);
        edit.Commit();
    }
    SelectionSettled();
    SelectionChanged();
    Repaint();
}

void TCanvasWidget::SelectPress(TCell cell) {
    CheckSelection();
    DropSelection();
    SelStart = ClampToIcon(cell);
    SelMoved = false;
    Dragging = true;
}

void TCanvasWidget::SelectMove(TCell cell) {
    const TCell end = ClampToIcon(cell);
    if (end != SelStart) SelMoved = true;
    if (!SelMoved) return;
    const TRect r = SortCorners(SelStart, end);
    Sel.Select(TRect(r.Left, r.Top, r.Right + 1, r.Bottom + 1), Document.WorkBitmap().BoundsRect());
    emit PointerInfo(QString::fromStdString(DragInfoText(SelStart, end)) + SelectionText(), std::nullopt);
    update();
}

void TCanvasWidget::MoverPress(TCell cell) {
    CheckSelection();
    if (Sel.Active() && !Sel.Contains(cell.Col, cell.Row)) {
        // A click outside the selection drops it; this drag moves nothing.
        DropSelection();
        return;
    }
    MoveEdit.emplace(Document.BeginEdit());
    MoveWholePicture = !Sel.Active();
    MoveLiftedHere = false;
    MoveDelta = {0, 0};
    if (MoveWholePicture) {
        MoveSource.CopyFrom(MoveEdit->Picture());
    } else {
        if (!Sel.Floating()) {
            Sel.Lift(MoveEdit->Picture(), Document.BackColor().Value);
            MoveLiftedHere = true;
        }
        MoveOrigin = {Sel.Rect().Left, Sel.Rect().Top};
    }
    Dragging = true;
}

void TCanvasWidget::MoverMove(TCell cell) {
    if (!MoveEdit) return;
    const TCell delta{cell.Col - DragStart.Col, cell.Row - DragStart.Row};
    if (delta == MoveDelta) return;
    MoveDelta = delta;
    if (MoveWholePicture)
        ShiftWrapped(MoveSource, delta.Col, delta.Row, MoveEdit->Picture());
    else
        Sel.MoveTo(MoveEdit->Picture(), MoveOrigin.Col + delta.Col, MoveOrigin.Row + delta.Row);
    Repaint();
}

void TCanvasWidget::MoverRelease(TCell cell) {
    MoverMove(cell);
    FinishMove();
}

void TCanvasWidget::FinishMove() {
    Dragging = false;
    if (!MoveEdit) return;
    if (MoveDelta == TCell{0, 0}) {
        // Nothing moved: the edit is dropped (the picture and the undo stack as they were), and a
        // selection lifted for it lies anchored again.
        if (MoveLiftedHere) Sel.Anchor();
        MoveEdit.reset();
    } else {
        MoveEdit->Commit();
        MoveEdit.reset();
    }
    MoveSource.SetSize(0, 0);
    SelectionSettled();
    SelectionChanged();
    Repaint();
}

void TCanvasWidget::MoveBy(int dx, int dy) {
    if (!Document.ImageLoaded() || Dragging) return;
    CheckSelection();
    const TCell from = Sel.Active() ? TCell{Sel.Rect().Left, Sel.Rect().Top} : TCell{0, 0};
    DragStart = from;
    MoverPress(from);
    MoverRelease({from.Col + dx, from.Row + dy});
}

void TCanvasWidget::keyPressEvent(QKeyEvent* event) {
    int dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (Sel.Active()) {
            DropSelection();
            return;
        }
        break;
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    default:
        break;
    }
    if ((dx || dy) && Tool == ToolMover && event->modifiers() == Qt::NoModifier) {
        MoveBy(dx, dy);
        return;
    }
    QWidget::keyPressEvent(event);
}

// The marching ants: the selection's outline on the cell edges, black dashes over white ones that
// move along while the selection lasts.
void TCanvasWidget::PaintSelectionOutline(QPainter& p) {
    if (!Sel.Active() || !Document.ImageLoaded()) return;
    const qreal ratio = devicePixelRatio();
    const TRect& r = Sel.Rect();
    const qreal z = ZoomValue / ratio;
    const QRectF box(r.Left * z, r.Top * z, r.Width() * z, r.Height() * z);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 0));
    p.drawRect(box);
    QPen dashes(Qt::black, 0, Qt::CustomDashLine);
    dashes.setDashPattern({4, 4});
    dashes.setDashOffset(AntsPhase);
    p.setPen(dashes);
    p.drawRect(box);
    p.restore();
}

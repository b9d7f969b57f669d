#pragma once
// PBMain: the enlarged canvas of the current frame. One icon pixel is a Zoom x Zoom block, with an
// optional one-pixel grid and, when the border will not be saved, crosses over the border ring.
// The canvas also runs the drawing tools on the document: each change of the picture is one edit of
// the document (TIconDocument::BeginEdit), made at the press for a pencil or brush stroke and for a
// fill, and at the release for lines and shapes, and committed at the release. The dropper sets the
// document's colours. Rubber bands of lines and shapes are drawn exclusive-or on the screen image
// only, so drawing the same band twice removes it and any repaint of the buffer clears it.
//
// What the window shows of the pointer (the status bar's pixel text and swatch) and the text tool's
// release (the font panel asks for the text) are signals.

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <optional>

#include "DrawingTools.h"
#include "IconDocument.h"
#include "Selection.h"
#include "SurfaceView.h"

class QAbstractScrollArea;
class QTimer;

class TCanvasWidget : public QWidget {
    Q_OBJECT

  public:
    TCanvasWidget(TIconDocument& document, QWidget* parent = nullptr);
    ~TCanvasWidget() override;

    // Sizes the canvas for its parent panel and centres it there; the parent's resizes call it too.
    void FitToPanel();
    // Device pixels per icon pixel (screen pixels on a screen of device-pixel ratio 1).
    int Zoom() const { return ZoomValue; }

    bool GridVisible() const { return Grid; }
    void SetGridVisible(bool on);

    TTool CurrentTool() const { return Tool; }
    // Selects the tool and shows its cursor (cursor 1 for ToolNone). A pencil or brush stroke still
    // under way ends and is kept.
    void SetCurrentTool(TTool tool);

    // Marks the buffer invalid and schedules a paint; the next paint draws WorkBitmap anew.
    void Repaint();
    // Brings the buffer and the screen image up to date now (a paint without the widget).
    void PaintNow();

    // The cell under a canvas position (logical pixels): (min(x div Zoom, 39), min(y div Zoom, 39))
    // counted in device pixels; may be negative.
    TCell CellAt(QPoint pos) const;

    // What the control shows, one pixel per device pixel: the buffer's visible part with any
    // rubber band on it.
    const QImage& Screen();
    bool DragActive() const { return Dragging; }

    // ---- Zoom chosen by the user. By default the zoom fits the window (the rule of FitToPanel); a
    // zoom set here (1..40, device pixels per icon pixel) holds until FitToWindow. Inside a scroll
    // area the canvas widens the panel it sits on, so the area scrolls over a canvas larger than it.
    bool ZoomFitsWindow() const { return FitZoom; }
    void FitToWindow();
    // Sets the zoom keeping the cell at `anchor` (a canvas position, logical pixels) where it is on
    // the screen as far as the scroll area allows.
    void SetZoom(int zoom, QPointF anchor);
    // Sets the zoom keeping the middle of what is in view in view.
    void SetZoom(int zoom);
    void ZoomIn();
    void ZoomOut();

    // ---- What the canvas shows beyond the picture itself (never part of the document).
    // Pixels of the document's transparent colour as a light and dark checkerboard.
    bool TransparencyShown() const { return ShowTransparency; }
    void SetTransparencyShown(bool on);
    // The previous frame (and the next one, tinted) shown through the current one. Not shown while
    // the document's preview plays.
    bool OnionSkinPrevious() const { return OnionPrevious; }
    bool OnionSkinNext() const { return OnionNext; }
    void SetOnionSkin(bool previous, bool next);
    // ---- Pen size, selection and mover
    // The pen of the pencil, brush, line and shape outlines, 1..5 cells (fill, dropper and text
    // ignore it).
    int ToolSize() const { return PenSize; }
    void SetToolSize(int size);
    // The rectangle the select tool drew, or the block a paste or the mover made floating. Every
    // change of the picture a selection makes (a move, a paste, a clear) is one edit committed at
    // once, so dropping a selection never loses anything.
    const TSelection& Selection() const { return Sel; }
    bool HasSelection();
    void SelectAll();
    void DropSelection();
    // Another frame becomes current: a stroke or move under way is abandoned (its picture belongs to
    // the frame that goes) and the selection dropped.
    void FrameChanging();
    // The selected pixels (for Copy), or nothing without a selection.
    std::optional<TSurface32> SelectedPixels();
    // Clears the selection's cells to the background colour (a floating block goes, leaving what
    // lies under it) as one edit; false without a selection.
    bool ClearSelection();
    // Lays block on the picture as a floating selection (one edit): at the selection's top-left
    // corner, or without one at the place of a paste (centred up to 32 × 32, else at the corner).
    void PasteBlock(const TSurface32& block);
    // The mover's step: the selection (lifted when anchored) or, without one, the whole picture with
    // wrap-around, moved by (dx, dy) cells as one edit.
    void MoveBy(int dx, int dy);

  signals:
    // The pointer feedback for the status bar: the pixel text and the swatch's colour (none: the
    // button face colour).
    void PointerInfo(const QString& text, std::optional<TInterfaceColor> color);
    // The text tool was released over a cell with a button.
    void TextToolReleased(int col, int row, Qt::MouseButton button);
    // The zoom changed (by the user, or the fit rule with the window's size).
    void ZoomChanged(int zoom);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    enum class TBand { Line, Rectangle, Ellipse };
    // Shows the current tool's cursor, drawn for the device-pixel ratio the control has now.
    void UpdateCursor();
    qreal CursorRatio = 0; // the ratio the cursor shown was drawn for

    void PaintBuffer(TSurface32& b);
    // The transparency and onion-skin part of the paint options.
    void PaintViewOptions(struct TCanvasPaintOptions& options) const;
    // The control's size in device pixels, and a logical position as a device pixel.
    QSize DeviceSize() const;
    QPoint DevicePoint(QPointF position) const;
    TCell CellAtDevice(QPoint devicePos) const;
    // Brings the buffer and the screen image up to date for a part of the control (device pixels;
    // a null rectangle: all of it).
    void EnsureScreen(QRect needed = QRect());
    void PointerFeedback(TCell cell);
    void PointerLeft();
    void Press(TCell cell, TMouseButton button);
    void Move(TCell cell);
    void Release(TCell cell, TMouseButton button, bool ctrl);
    // Commits the stroke's edit (or, without one, the picture as it stands).
    void EndStroke();
    void DrawBand(TBand band, TCell from, TCell to);
    TColorPair Colors() const;

    // Selection and mover (the select and mover tools' press, move and release).
    void SelectPress(TCell cell);
    void SelectMove(TCell cell);
    void MoverPress(TCell cell);
    void MoverMove(TCell cell);
    void MoverRelease(TCell cell);
    // Ends a move where it stands: committed when it moved anything, else dropped.
    void FinishMove();
    // A floating selection whose picture changed behind its back (an undo, another frame, a command)
    // is dropped: its block and base no longer match the picture.
    void CheckSelection();
    // The picture as the selection left it, to see whether anything else changed it since.
    void SelectionSettled();
    void SelectionChanged();
    void PaintSelectionOutline(QPainter& p);
    QString SelectionText() const;

    TIconDocument& Document;
    TSurfaceView View; // back buffer, with room to grow
    QImage ScreenImage;
    bool ScreenValid = false;
    QRect PaintArea;   // the part the buffer's next paint covers (device pixels)
    QRect PaintedArea; // the part its last paint covered

    int ZoomValue = 8;
    bool Grid = true;
    TTool Tool = ToolNone;

    bool Dragging = false;
    TCell DragStart;
    TCell DragEnd;
    bool HasDragEnd = false;
    TMouseButton DragButton = mbLeft;
    // The edit of a pencil or brush stroke, from the press to the release.
    std::optional<TIconDocument::TEdit> Stroke;
    bool PointerInside = false;

    // Zoom and view options.
    QAbstractScrollArea* ScrollArea() const;
    // Turns wheel turns (eighths of a degree) into zoom steps about a canvas position.
    void WheelZoom(int delta, QPointF anchor);
    // The size the fit rule fills: the scroll area's view without scroll bars, else the panel.
    QSize FitArea() const;
    bool FitZoom = true;
    int ReportedZoom = 0; // the zoom ZoomChanged last told
    // Where wheel or key zooming put the canvas (its corner in the panel), and the panel's size that
    // lets the scroll area show it there.
    std::optional<QPoint> Placed;
    QSize PlacedExtent;
    bool Placing = false; // FitToPanel under way (the panel's resizes come back to it)
    int WheelSteps = 0;   // eighths of a degree of Ctrl+wheel not yet turned into zoom steps
    bool ShowTransparency = false;
    bool OnionPrevious = false;
    bool OnionNext = false;
    // Pen size, selection and mover.
    int PenSize = 1;
    TSelection Sel;
    TCell SelStart;                               // the select tool's press
    bool SelMoved = false;                        // the select drag reached another cell
    TSurface32 SettledPicture;                    // the picture after the selection's last change
    int SettledFrame = -1;                        // and its frame
    std::optional<TIconDocument::TEdit> MoveEdit; // the mover's drag, committed at the release
    bool MoveLiftedHere = false;                  // the drag lifted an anchored selection
    bool MoveWholePicture = false;
    TCell MoveOrigin;              // the block's top-left corner at the press
    TSurface32 MoveSource;         // the whole picture at the press
    TCell MoveDelta;               // the drag so far, in cells
    bool SelectionEditing = false; // the selection's own edit is being committed
    QTimer* AntsTimer = nullptr;
    int AntsPhase = 0;
};

#pragma once
// The zoomed canvas without its widget: how large the canvas is and where it sits in its panel,
// which cell a pointer position is over, the status-bar texts, and the painting of the back buffer
// (cells as Zoom × Zoom blocks, the optional grid and the crosses over the border ring).

#include "DrawingTools.h"
#include "Rect.h"
#include "Surface32.h"

#include <string>

constexpr int IconCells = 40;          // cells across and down
constexpr int CanvasMinimumSize = 321; // the control never gets smaller

// Zoom for a panel: max(min(width, height) div 40, 8).
int CanvasZoom(int panelWidth, int panelHeight);
// The control's rectangle in the panel: 40 × zoom square (at least 321), centred.
TRect CanvasBounds(int panelWidth, int panelHeight);

// Cell under canvas position (X, Y): (min(X div zoom, 39), min(Y div zoom, 39)); negative positions
// give negative cells (a drag beyond the left or top edge).
TCell CanvasCellAt(int x, int y, int zoom);
// The cell of canvas position (X, Y) without any bound: (X div zoom, Y div zoom) rounded down, so a
// pointer dragged beyond any edge gives a cell off the icon (strokes are clipped there).
TCell CanvasCellBeyond(int x, int y, int zoom);
// The nearest cell of the icon: each coordinate clamped to 0..39 (line and shape drags that leave
// the canvas stay on its edge).
TCell ClampToIcon(const TCell& c);
// Whether a cell lies on the 40 × 40 icon.
bool IsIconCell(const TCell& c);
// The 4-cell ring around the inner 32 × 32 icon.
bool IsBorderCell(const TCell& c);

// Status texts, one-based: "%2d, %2d"; with the dropper "%2d, %2d (R: %d G: %d B: %d)" for the
// surface colour under the pointer; while dragging a line or shape "%2d, %2d -> %2d, %2d".
std::string PixelInfoText(const TCell& c);
std::string DropperInfoText(const TCell& c, uint32_t surfaceColor);
std::string DragInfoText(const TCell& start, const TCell& end);

struct TCanvasPaintOptions {
    int Zoom = 8;
    bool Grid = true;
    int OutputSize = 40;    // 32: the border ring is crossed out (only with the grid)
    uint32_t GridColor = 0; // surface pixel value, normally the button face colour
};

// Paints work (40 × 40) enlarged into the buffer: every cell's block in the cell's stored value,
// then the grid lines at multiples of zoom and, for output size 32, the crosses over the border.
// Pixels the cells and lines do not cover are left as they are.
void PaintCanvasBuffer(TSurface32& buffer, const TSurface32& work, const TCanvasPaintOptions& options);

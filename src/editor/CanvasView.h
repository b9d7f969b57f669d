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

    // Cells whose red, green and blue equal TransparentColor's show a light and dark checkerboard
    // (squares of CheckerSquare(Zoom) screen pixels, counted from the canvas's corner).
    bool ShowTransparency = false;
    uint32_t TransparentColor = 0xFFCCCCCCu;
    // Onion skin: the neighbouring frames' pictures (40 x 40, or nullptr) shown through the cells
    // where they differ from work and are not of the transparent colour, the previous one as it is,
    // the next one tinted blue.
    const TSurface32* PreviousFrame = nullptr;
    const TSurface32* NextFrame = nullptr;
    // The part of the buffer to paint (the part on screen); empty: all of it. Cells it touches are
    // painted whole, with their crosses; the grid lines always run the whole length.
    TRect Area;
};

// ---- Zoom chosen by the user
constexpr int MinZoom = 1;
constexpr int MaxZoom = 40;
// The smallest zoom that shows the grid (and the border crosses, drawn with it).
constexpr int MinGridZoom = 4;
int ClampZoom(int zoom);
// The next zoom of the zoom steps (1, 2, 3, 4, 5, 6, 8, 10, 12, 14, 16, 20, 24, 28, 32, 36, 40)
// above or below zoom; the limits stay where they are.
int ZoomInStep(int zoom);
int ZoomOutStep(int zoom);
// Where a canvas position (screen pixels from the canvas's corner, at least 0) lands when the zoom
// changes: in the same cell, at the same fraction of it.
int ZoomedPosition(int position, int fromZoom, int toZoom);

// ---- Visible transparency and onion skin
constexpr uint32_t CheckerLight = 0xFFFFFFFFu;
constexpr uint32_t CheckerDark = 0xFFBFBFBFu;
// Side of a checkerboard square in screen pixels: half a cell, at least 2.
int CheckerSquare(int zoom);
// How much of a neighbouring frame shows through a cell, in 256ths (about 30 %).
constexpr int OnionWeight = 77;
// The colour shown for `shown` with the onion skin's neighbours (either may be absent).
uint32_t OnionBlend(uint32_t shown, const uint32_t* previous, const uint32_t* next);

// Paints work (40 × 40) enlarged into the buffer: every cell's block in the cell's stored value,
// then the grid lines at multiples of zoom and, for output size 32, the crosses over the border.
// Pixels the cells and lines do not cover are left as they are. Transparency and the onion skin
// change only what the screen shows, never work.
void PaintCanvasBuffer(TSurface32& buffer, const TSurface32& work, const TCanvasPaintOptions& options);

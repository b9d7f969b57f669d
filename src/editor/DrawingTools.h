#pragma once
// Pixel rules of the drawing tools, free of any toolkit: what a pencil, brush, line, rectangle,
// ellipse, flood fill or dropper does to a surface, and the pure geometry of the rubber bands drawn
// while dragging. Cells are icon pixels (column, row); the canvas widget turns mouse positions into
// cells and calls these.

#include "Rect.h"
#include "Surface32.h"
#include "SurfaceColor.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct TCell {
    int Col = 0;
    int Row = 0;
    bool operator==(const TCell& o) const { return Col == o.Col && Row == o.Row; }
    bool operator!=(const TCell& o) const { return !(*this == o); }
};

struct TScreenPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TScreenPoint& o) const { return X == o.X && Y == o.Y; }
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Tool numbers; each is also the number of the tool's cursor.
enum TTool : uint8_t {
    ToolNone = 0,
    ToolMover = 1,
    ToolSelect = 2,
    ToolDropper = 3,
    ToolPencil = 4,
    ToolBrush = 5,
    ToolFill = 6,
    ToolLine = 7,
    ToolRectangle = 8,
    ToolFilledRectangle = 9,
    ToolSquare = 10,
    ToolFilledSquare = 11,
    ToolEllipse = 12,
    ToolFilledEllipse = 13,
    ToolCircle = 14,
    ToolFilledCircle = 15,
    ToolText = 16,
};

// Hot spot of a tool's 32 × 32 cursor, in pixels from its top-left corner (ToolNone shows cursor 1).
TScreenPoint ToolCursorHotSpot(TTool tool);

// Colours of a press, as the pixel values the tools write: the left button draws DrawColor (other =
// BackColor), the right one BackColor (other = DrawColor); the middle button draws nothing.
struct TColorPair {
    uint32_t Main = 0;
    uint32_t Other = 0;
    bool Draws = false;
};
TColorPair PressColors(TMouseButton button, TSurfaceColor drawColor, TSurfaceColor backColor);

// Stretches the shorter side of the drag from start to end to the longer one (end changes).
void ConstrainSquare(const TCell& start, TCell& end);
// (l, t, r, b) = (min x, min y, max x, max y), all inclusive cells.
TRect SortCorners(const TCell& a, const TCell& b);

// The pen of the pencil, brush, line and shape outlines is a square of penSize × penSize cells
// (1..MaxPenSize) laid on each cell the one-pixel tool would draw: centred on the cell for odd sizes,
// the extra column and row to the right and below for even sizes. Size 1 is the one-pixel tool.
constexpr int MaxPenSize = 5;
// The cells the pen covers on cell c, right and bottom exclusive.
TRect PenSquare(const TCell& c, int penSize);
// Calls visit(x, y) for each cell of the Bresenham line from (x1, y1) to (x2, y2), the end only
// when includeEnd: the very cells TSurface32::LineClipped sets, unclipped.
void ForEachLineCell(int x1, int y1, int x2, int y2, bool includeEnd,
                     const std::function<void(int, int)>& visit);

// Pencil: one pixel, or the Bresenham line from the last stroke point including the end.
void PencilDot(TSurface32& surface, const TCell& c, uint32_t color, int penSize = 1);
void PencilLine(TSurface32& surface, const TCell& from, const TCell& to, uint32_t color, int penSize = 1);
// Brush: an anti-aliased dot at the cell, or an anti-aliased line from the last stroke point; a
// larger pen lays one dot or line on each cell of its square.
void BrushDot(TSurface32& surface, const TCell& c, uint32_t color, int penSize = 1);
void BrushLine(TSurface32& surface, const TCell& from, const TCell& to, uint32_t color, int penSize = 1);

// Rectangle outline in cells l..r × t..b (r >= l, b >= t) in outline colour; when filled, the inside
// of the outline in the fill colour. Clipped. A larger pen widens the outline over the fill.
void DrawRectangleShape(TSurface32& surface, int l, int t, int r, int b, uint32_t outline, uint32_t fill,
                        bool filled, int penSize = 1);
// Ellipse inscribed in cells l..r × t..b: a closed one-pixel ring in the outline colour and, when
// filled, every pixel inside the ring in the fill colour. Pixels outside the ring stay. Clipped. A
// larger pen widens the ring over the fill.
void DrawEllipseShape(TSurface32& surface, int l, int t, int r, int b, uint32_t outline, uint32_t fill,
                      bool filled, int penSize = 1);

// Whether a fill pressed at (x, y) with this colour changes anything: the cell lies on the surface
// and its pixel differs from the colour in some of its 32 bits.
bool FloodFillChanges(const TSurface32& surface, int x, int y, uint32_t color);
// Replaces the 4-connected region of pixels equal to oldColor around (x, y) by newColor. Diagonal
// neighbours are not connected. Nothing when newColor == oldColor.
void FloodFill(TSurface32& surface, int x, int y, uint32_t newColor, uint32_t oldColor);

// Which colour a dropper release sets: left: the drawing colour; right with Ctrl: the transparent
// colour; right: the background colour; middle: none.
enum TDropperTarget { dtNone, dtDrawColor, dtBackColor, dtTransparentColor };
TDropperTarget DropperTarget(TMouseButton button, bool ctrlHeld);
// The interface colour under the dropper, or nothing for a cell off the surface.
std::optional<TInterfaceColor> DropperColor(const TSurface32& surface, const TCell& c);

// The text tool: the text's block ends just above the released cell (moved down to row 0 near the
// top edge). Returns the block's top-left corner.
TCell TextBlockOrigin(const TSurface32& surface, const TCell& release, const std::string& utf8Text);
// Draws the text there in one colour with the surface's font (set it to the text font first).
void WriteText(TSurface32& surface, const TCell& release, const std::string& utf8Text, uint32_t color);

// Rubber bands on the zoomed canvas: the screen centre of a cell, and the platform rectangle
// (right and bottom exclusive) that outlines a rectangle or ellipse drag from start to end.
TScreenPoint CellCentre(const TCell& c, int zoom);
TRect RubberBandBox(const TCell& start, const TCell& end, int zoom);

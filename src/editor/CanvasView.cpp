#include "CanvasView.h"

#include <algorithm>
#include <cstdio>

int CanvasZoom(int panelWidth, int panelHeight) {
    return std::max(std::min(panelWidth, panelHeight) / 40, 8);
}

TRect CanvasBounds(int panelWidth, int panelHeight) {
    const int side = std::max(IconCells * CanvasZoom(panelWidth, panelHeight), CanvasMinimumSize);
    const int left = panelWidth / 2 - side / 2, top = panelHeight / 2 - side / 2;
    return TRect(left, top, left + side, top + side);
}

namespace {
// Division truncating towards zero, as the pointer arithmetic of the canvas does.
int DivTrunc(int a, int b) {
    return a / b;
}
} // namespace

TCell CanvasCellAt(int x, int y, int zoom) {
    return {std::min(DivTrunc(x, zoom), IconCells - 1), std::min(DivTrunc(y, zoom), IconCells - 1)};
}

TCell CanvasCellBeyond(int x, int y, int zoom) {
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    return {floorDiv(x, zoom), floorDiv(y, zoom)};
}

TCell ClampToIcon(const TCell& c) {
    return {std::clamp(c.Col, 0, IconCells - 1), std::clamp(c.Row, 0, IconCells - 1)};
}

bool IsIconCell(const TCell& c) {
    return c.Col >= 0 && c.Col < IconCells && c.Row >= 0 && c.Row < IconCells;
}

bool IsBorderCell(const TCell& c) {
    return IsIconCell(c) && (c.Col <= 3 || c.Col >= 36 || c.Row <= 3 || c.Row >= 36);
}

std::string PixelInfoText(const TCell& c) {
    char text[32];
    std::snprintf(text, sizeof text, "%2d, %2d", c.Col + 1, c.Row + 1);
    return text;
}

std::string DropperInfoText(const TCell& c, uint32_t surfaceColor) {
    char text[64];
    std::snprintf(text, sizeof text, "%2d, %2d (R: %d G: %d B: %d)", c.Col + 1, c.Row + 1,
                  static_cast<int>((surfaceColor >> 16) & 0xFF), static_cast<int>((surfaceColor >> 8) & 0xFF),
                  static_cast<int>(surfaceColor & 0xFF));
    return text;
}

std::string DragInfoText(const TCell& start, const TCell& end) {
    char text[64];
    std::snprintf(text, sizeof text, "%2d, %2d -> %2d, %2d", start.Col + 1, start.Row + 1, end.Col + 1,
                  end.Row + 1);
    return text;
}

int ClampZoom(int zoom) {
    return std::clamp(zoom, MinZoom, MaxZoom);
}

namespace {
constexpr int ZoomSteps[] = {1, 2, 3, 4, 5, 6, 8, 10, 12, 14, 16, 20, 24, 28, 32, 36, 40};
} // namespace

int ZoomInStep(int zoom) {
    for (int step : ZoomSteps)
        if (step > zoom) return step;
    return MaxZoom;
}

int ZoomOutStep(int zoom) {
    int below = MinZoom;
    for (int step : ZoomSteps)
        if (step < zoom) below = step;
    return below;
}

int ZoomedPosition(int position, int fromZoom, int toZoom) {
    if (fromZoom <= 0 || position < 0) return position;
    return position / fromZoom * toZoom + position % fromZoom * toZoom / fromZoom;
}

int CheckerSquare(int zoom) {
    return std::max(zoom / 2, 2);
}

namespace {
// a over b with weight w (in 256ths) for a, channel by channel; the result is opaque.
uint32_t Mix(uint32_t b, uint32_t a, int w) {
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int cb = static_cast<int>((b >> shift) & 0xFF), ca = static_cast<int>((a >> shift) & 0xFF);
        out |= static_cast<uint32_t>(cb + (ca - cb) * w / 256) << shift;
    }
    return out;
}

// The next frame's tint: halfway to blue, so the two neighbours tell apart.
uint32_t Tinted(uint32_t c) {
    return Mix(c, 0xFF0000FFu, 128);
}

// Paints one cell's block: its colour, or the checkerboard where it shows transparency, each with
// the onion skin's neighbours shown through.
void PaintCell(TSurface32& buffer, int i, int j, uint32_t color, const TCanvasPaintOptions& o) {
    const int zoom = o.Zoom, x0 = i * zoom, y0 = j * zoom;
    // A neighbour shows only what is drawn on it where it differs from the current frame: what stays
    // still, and the neighbour's background of the transparent colour, leave the cell clean.
    auto differing = [&](const TSurface32* frame) -> const uint32_t* {
        const uint32_t* p = frame ? &frame->ScanLine(j)[i] : nullptr;
        return p && ((*p ^ color) & 0x00FFFFFFu) != 0 && ((*p ^ o.TransparentColor) & 0x00FFFFFFu) != 0
                   ? p
                   : nullptr;
    };
    const uint32_t* previous = differing(o.PreviousFrame);
    const uint32_t* next = differing(o.NextFrame);
    const bool checker = o.ShowTransparency && ((color ^ o.TransparentColor) & 0x00FFFFFFu) == 0;
    if (!checker) {
        buffer.FillRectClipped(x0, y0, x0 + zoom, y0 + zoom, OnionBlend(color, previous, next));
        return;
    }
    const uint32_t light = OnionBlend(CheckerLight, previous, next);
    const uint32_t dark = OnionBlend(CheckerDark, previous, next);
    const int square = CheckerSquare(zoom);
    // Squares counted from the canvas's corner, so the pattern runs on across neighbouring cells.
    for (int y = y0; y < y0 + zoom;) {
        const int yEnd = std::min(y0 + zoom, (y / square + 1) * square);
        for (int x = x0; x < x0 + zoom;) {
            const int xEnd = std::min(x0 + zoom, (x / square + 1) * square);
            buffer.FillRectClipped(x, y, xEnd, yEnd, ((x / square + y / square) & 1) ? dark : light);
            x = xEnd;
        }
        y = yEnd;
    }
}
} // namespace

uint32_t OnionBlend(uint32_t shown, const uint32_t* previous, const uint32_t* next) {
    uint32_t out = shown;
    if (previous) out = Mix(out, *previous, OnionWeight);
    if (next) out = Mix(out, Tinted(*next), OnionWeight);
    return previous || next ? out : shown;
}

void PaintCanvasBuffer(TSurface32& buffer, const TSurface32& work, const TCanvasPaintOptions& options) {
    const int zoom = options.Zoom;
    if (zoom <= 0) return;
    const int cols = std::min(work.Width(), IconCells), rows = std::min(work.Height(), IconCells);
    TCanvasPaintOptions o = options;
    // A neighbour of another size than the picture is not shown.
    auto fits = [&](const TSurface32* s) {
        return s && s->Width() >= cols && s->Height() >= rows ? s : nullptr;
    };
    o.PreviousFrame = fits(options.PreviousFrame);
    o.NextFrame = fits(options.NextFrame);
    const bool plain = !o.ShowTransparency && !o.PreviousFrame && !o.NextFrame;
    // Only the cells the area touches (all of them without an area).
    int i0 = 0, i1 = cols - 1, j0 = 0, j1 = rows - 1;
    if (!options.Area.IsEmpty()) {
        i0 = std::max(options.Area.Left / zoom, 0);
        i1 = std::min((options.Area.Right - 1) / zoom, cols - 1);
        j0 = std::max(options.Area.Top / zoom, 0);
        j1 = std::min((options.Area.Bottom - 1) / zoom, rows - 1);
    }
    for (int i = i0; i <= i1; ++i)
        for (int j = j0; j <= j1; ++j) {
            if (plain)
                buffer.FillRectClipped(i * zoom, j * zoom, i * zoom + zoom, j * zoom + zoom,
                                       work.GetPixel(i, j));
            else
                PaintCell(buffer, i, j, work.GetPixel(i, j), o);
        }
    // Below zoom 4 the lines would cover most of the picture (at zoom 1 all of it): no grid.
    if (!options.Grid || zoom < MinGridZoom) return;
    const uint32_t g = options.GridColor;
    for (int i = 0; i <= IconCells; ++i) {
        buffer.VertLineClipped(i * zoom, 0, IconCells * zoom + 1, g);
        buffer.HorzLineClipped(0, i * zoom, IconCells * zoom + 1, g);
    }
    if (options.OutputSize != 32) return;
    const int t = zoom / 3;
    auto cross = [&](int i, int j) {
        if (i < i0 || i > i1 || j < j0 || j > j1) return;
        const int x0 = i * zoom, y0 = j * zoom;
        buffer.LineClipped(x0 + t, y0 + t, x0 + zoom - t, y0 + zoom - t, g, true);
        buffer.LineClipped(x0 + t, y0 + zoom - t, x0 + zoom - t, y0 + t, g, true);
    };
    for (int i = 0; i <= 3; ++i)
        for (int j = 0; j < IconCells; ++j)
            cross(i, j);
    for (int i = 4; i <= 35; ++i) {
        for (int j = 0; j <= 3; ++j)
            cross(i, j);
        for (int j = 36; j < IconCells; ++j)
            cross(i, j);
    }
    for (int i = 36; i < IconCells; ++i)
        for (int j = 0; j < IconCells; ++j)
            cross(i, j);
}

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

void PaintCanvasBuffer(TSurface32& buffer, const TSurface32& work, const TCanvasPaintOptions& options) {
    const int zoom = options.Zoom;
    if (zoom <= 0) return;
    const int cols = std::min(work.Width(), IconCells), rows = std::min(work.Height(), IconCells);
    for (int i = 0; i < cols; ++i)
        for (int j = 0; j < rows; ++j)
            buffer.FillRectClipped(i * zoom, j * zoom, i * zoom + zoom, j * zoom + zoom, work.GetPixel(i, j));
    if (!options.Grid) return;
    const uint32_t g = options.GridColor;
    for (int i = 0; i <= IconCells; ++i) {
        buffer.VertLineClipped(i * zoom, 0, IconCells * zoom + 1, g);
        buffer.HorzLineClipped(0, i * zoom, IconCells * zoom + 1, g);
    }
    if (options.OutputSize != 32) return;
    const int t = zoom / 3;
    auto cross = [&](int i, int j) {
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

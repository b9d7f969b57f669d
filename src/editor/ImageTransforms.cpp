#include "ImageTransforms.h"

#include "SurfaceColor.h"

void ClearImage(TSurface32& surface, uint32_t backColor) {
    surface.FillRectClipped(0, 0, 40, 40, backColor);
}

void DrawBorder(TSurface32& surface) {
    const uint32_t W = BorderWhite, D = ToSurfaceColor(TInterfaceColor(0x666633)).Value,
                   G = ToSurfaceColor(TInterfaceColor(0xCCCCCC)).Value;
    // Columns x1..x2 and rows y1..y2, inclusive, in painting order.
    const struct {
        uint32_t color;
        int x1, x2, y1, y2;
    } steps[] = {
        {W, 0, 37, 0, 1},   {W, 38, 38, 0, 0},  {W, 0, 1, 2, 37},  {W, 0, 0, 38, 38},
        {W, 3, 36, 36, 36}, {W, 36, 36, 3, 35}, {D, 39, 39, 0, 0}, {D, 0, 0, 39, 39},
        {D, 38, 39, 1, 39}, {D, 1, 38, 38, 39}, {D, 3, 35, 3, 3},  {D, 3, 3, 4, 35},
        {G, 2, 37, 2, 2},   {G, 37, 37, 3, 36}, {G, 2, 2, 3, 36},  {G, 2, 37, 37, 37},
    };
    for (const auto& s : steps)
        surface.FillRectClipped(s.x1, s.y1, s.x2 + 1, s.y2 + 1, s.color);
}

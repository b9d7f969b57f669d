#include "ColorReducer.h"

#include "ColorLookup.h"
#include "ColorQuantizer.h"
#include "DitherEngine.h"

#include <algorithm>
#include <unordered_set>

void ReduceColors(TSurface32& surface, const TRect& area, int colors, int ditherMethod) {
    const TRect r = area.Intersect(surface.BoundsRect());
    if (r.IsEmpty()) return;
    colors = std::clamp(colors, MinReducedColors, MaxReducedColors);
    if (ditherMethod < 0 || ditherMethod >= DitherMethodCount) ditherMethod = DitherNearest;

    // The octree keeps a picture of at most `colors` colours exactly; then there is nothing to do
    // (and no ditherer may move a pixel).
    std::unordered_set<uint32_t> seen;
    TColorQuantizer quantizer(colors, 8);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            const uint32_t c = surface.GetPixel(x, y);
            if (seen.size() <= static_cast<size_t>(colors)) seen.insert(c & 0xFFFFFFu);
            quantizer.AddColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
        }
    if (seen.size() <= static_cast<size_t>(colors)) return;

    // Only the colours the octree found: unused black entries would pull dark pixels to black.
    std::vector<TPaletteEntry> entries;
    for (const TRGBQuad& q : quantizer.Colors())
        entries.push_back(TPaletteEntry{q.Red, q.Green, q.Blue, 0});
    const TPalette palette(entries);
    TSlowColorLookup lookup(palette);
    const std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(ditherMethod, r.Width(), lookup);
    if (!ditherer) return;
    for (int y = r.Top; y < r.Bottom; ++y) {
        uint32_t* row = surface.ScanLine(y) + r.Left;
        for (int x = ditherer->ScanColumn(); x >= 0 && x < r.Width(); x = ditherer->ScanColumn()) {
            const uint32_t c = row[x];
            const TPaletteEntry& e =
                palette.Entry(ditherer->MapPixel((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
            row[x] = (c & 0xFF000000u) | uint32_t(e.Red) << 16 | uint32_t(e.Green) << 8 | e.Blue;
        }
        ditherer->EndRow();
    }
}

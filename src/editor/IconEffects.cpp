#include "IconEffects.h"

#include <vector>

namespace {

constexpr uint32_t RgbMask = 0x00FFFFFFu;

// The area clipped to the surface: no effect ever writes outside the pixel array.
TRect Clipped(const TSurface32& surface, const TRect& area) {
    return area.Intersect(surface.BoundsRect());
}

bool SameColor(uint32_t a, uint32_t b) {
    return ((a ^ b) & RgbMask) == 0;
}

// A copy of the area's pixels, row by row, so that an effect reads the picture as it was.
std::vector<uint32_t> Snapshot(const TSurface32& surface, const TRect& r) {
    std::vector<uint32_t> pixels;
    pixels.reserve(static_cast<size_t>(r.Width()) * static_cast<size_t>(r.Height()));
    for (int y = r.Top; y < r.Bottom; ++y)
        pixels.insert(pixels.end(), surface.ScanLine(y) + r.Left, surface.ScanLine(y) + r.Right);
    return pixels;
}

} // namespace

void InvertColors(TSurface32& surface, const TRect& area) {
    const TRect r = Clipped(surface, area);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            surface.SetPixel(x, y, surface.GetPixel(x, y) ^ RgbMask);
}

void Greyscale(TSurface32& surface, const TRect& area) {
    const TRect r = Clipped(surface, area);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            const uint32_t c = surface.GetPixel(x, y);
            const uint32_t grey =
                (299 * ((c >> 16) & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * (c & 0xFF) + 500) / 1000;
            surface.SetPixel(x, y, (c & 0xFF000000u) | grey << 16 | grey << 8 | grey);
        }
}

void ShiftWrapped(TSurface32& surface, const TRect& area, int dx, int dy) {
    const TRect r = Clipped(surface, area);
    if (r.IsEmpty()) return;
    const int w = r.Width(), h = r.Height();
    const std::vector<uint32_t> old = Snapshot(surface, r);
    // ((v % n) + n) % n keeps negative shifts inside the area.
    const int sx = ((dx % w) + w) % w, sy = ((dy % h) + h) % h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            surface.SetPixel(r.Left + (x + sx) % w, r.Top + (y + sy) % h,
                             old[static_cast<size_t>(y) * w + x]);
}

uint32_t ShadowTone(uint32_t backColor) {
    const uint32_t r = ((backColor >> 16) & 0xFF) * 2 / 3;
    const uint32_t g = ((backColor >> 8) & 0xFF) * 2 / 3;
    const uint32_t b = (backColor & 0xFF) * 2 / 3;
    return (backColor & 0xFF000000u) | r << 16 | g << 8 | b;
}

void DropShadow(TSurface32& surface, const TRect& area, uint32_t backColor) {
    const TRect r = Clipped(surface, area);
    if (r.IsEmpty()) return;
    const int w = r.Width();
    const std::vector<uint32_t> old = Snapshot(surface, r);
    const uint32_t shadow = ShadowTone(backColor);
    for (int y = 1; y < r.Height(); ++y)
        for (int x = 1; x < w; ++x) {
            const size_t here = static_cast<size_t>(y) * w + x;
            const size_t caster = static_cast<size_t>(y - 1) * w + (x - 1);
            if (SameColor(old[here], backColor) && !SameColor(old[caster], backColor))
                surface.SetPixel(r.Left + x, r.Top + y, shadow);
        }
}

void Outline(TSurface32& surface, const TRect& area, uint32_t backColor, uint32_t drawColor) {
    const TRect r = Clipped(surface, area);
    if (r.IsEmpty()) return;
    const int w = r.Width(), h = r.Height();
    const std::vector<uint32_t> old = Snapshot(surface, r);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!SameColor(old[static_cast<size_t>(y) * w + x], backColor)) continue;
            bool touches = false;
            for (int ny = y - 1; ny <= y + 1 && !touches; ++ny)
                for (int nx = x - 1; nx <= x + 1 && !touches; ++nx)
                    touches = nx >= 0 && nx < w && ny >= 0 && ny < h &&
                              !SameColor(old[static_cast<size_t>(ny) * w + nx], backColor);
            if (touches) surface.SetPixel(r.Left + x, r.Top + y, drawColor);
        }
}

int ReplaceColor(TSurface32& surface, const TRect& area, uint32_t from, uint32_t to) {
    const TRect r = Clipped(surface, area);
    int changed = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (SameColor(surface.GetPixel(x, y), from) && surface.GetPixel(x, y) != to) {
                surface.SetPixel(x, y, to);
                ++changed;
            }
    return changed;
}

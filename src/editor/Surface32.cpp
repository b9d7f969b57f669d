#include "Surface32.h"

#include "PlatformError.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

const std::array<uint8_t, 256>& GammaTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<uint8_t>(std::nearbyint(255.0 * std::pow(i / 255.0, 0.7))); // halves to even
        return t;
    }();
    return table;
}

uint32_t BlendColor(uint32_t c, uint32_t p, unsigned w) {
    if (w == 0) return p;
    if (w >= 255) return c;
    const unsigned v = 256 - w;
    uint32_t r = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const unsigned cb = (c >> shift) & 0xFFu, pb = (p >> shift) & 0xFFu;
        r |= (((cb * w + pb * v + 128) >> 8) & 0xFFu) << shift;
    }
    return r;
}

uint32_t MergeColor(uint32_t c, uint32_t p, unsigned w) {
    // Porter-Duff "over" with the source opacity fa = alpha(c) * w and the target opacity ba.
    const unsigned fa = ((c >> 24) * std::min(w, 255u) + 127) / 255;
    if (fa == 0) return p;
    const unsigned ba = p >> 24;
    if (fa == 255 || ba == 0) return (c & 0x00FFFFFFu) | (fa << 24);
    const unsigned bw = ba * (255 - fa); // target share, scaled by 255
    const unsigned ra = fa + (bw + 127) / 255;
    uint32_t r = ra << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned cb = (c >> shift) & 0xFFu, pb = (p >> shift) & 0xFFu;
        const unsigned num = cb * fa * 255 + pb * bw;
        r |= (((num + ra * 255 / 2) / (ra * 255)) & 0xFFu) << shift;
    }
    return r;
}

void TSurface32::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight) return;
    std::vector<uint32_t> pixels;
    try {
        const int64_t count = static_cast<int64_t>(width) * height;
        if (count > MaxPixels) throw std::bad_alloc();
        pixels.assign(static_cast<size_t>(count), 0u);
    } catch (const std::exception&) { // bad_alloc, length_error
        FPixels = std::vector<uint32_t>();
        FWidth = FHeight = 0;
        FClip = TRect();
        throw EOutOfResources("Can't allocate the DIB handle");
    }
    FPixels.swap(pixels);
    FWidth = width;
    FHeight = height;
    FClip = TRect(0, 0, width, height);
}

namespace {

// Fills n pixels: a short run directly, a long one by doubling an already filled head with memcpy,
// which moves many bytes per step where a plain loop stores one pixel at a time.
void FillRun(uint32_t* p, size_t n, uint32_t color) {
    constexpr size_t head = 16;
    if (n <= head) {
        for (size_t i = 0; i < n; ++i)
            p[i] = color;
        return;
    }
    for (size_t i = 0; i < head; ++i)
        p[i] = color;
    size_t done = head;
    while (done < n) {
        const size_t chunk = std::min(done, n - done);
        std::memcpy(p + done, p, chunk * sizeof(uint32_t));
        done += chunk;
    }
}

} // namespace

void TSurface32::FillAll(uint32_t color) {
    FillRun(FPixels.data(), FPixels.size(), color);
}

void TSurface32::FillRect(int x1, int y1, int x2, int y2, uint32_t color) {
    // The caller keeps the rectangle inside; clamping to the surface keeps a wrong caller from
    // writing outside the pixel array.
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, FWidth);
    y2 = std::min(y2, FHeight);
    if (x2 <= x1 || y2 <= y1) return;
    if (x1 == 0 && x2 == FWidth) { // whole rows: one contiguous run
        FillRun(ScanLine(y1), static_cast<size_t>(y2 - y1) * FWidth, color);
        return;
    }
    const size_t n = static_cast<size_t>(x2 - x1);
    uint32_t* first = ScanLine(y1) + x1;
    FillRun(first, n, color);
    for (int y = y1 + 1; y < y2; ++y)
        std::memcpy(ScanLine(y) + x1, first, n * sizeof(uint32_t));
}

void TSurface32::FillRectClipped(int x1, int y1, int x2, int y2, uint32_t color) {
    if (x1 >= x2 || y1 >= y2) return;
    if (x2 <= FClip.Left || x1 >= FClip.Right || y2 <= FClip.Top || y1 >= FClip.Bottom) return;
    FillRect(std::max(x1, FClip.Left), std::max(y1, FClip.Top), std::min(x2, FClip.Right),
             std::min(y2, FClip.Bottom), color);
}

void TSurface32::HorzLineClipped(int x1, int y, int x2, uint32_t color) {
    if (x1 > x2) std::swap(x1, x2);
    if (y < FClip.Top || y >= FClip.Bottom) return;
    x1 = std::max(x1, FClip.Left);
    x2 = std::min(x2, FClip.Right - 1);
    if (x2 < x1) return;
    FillRun(ScanLine(y) + x1, static_cast<size_t>(x2 - x1) + 1, color);
}

void TSurface32::VertLineClipped(int x, int y1, int y2, uint32_t color) {
    if (y1 > y2) std::swap(y1, y2);
    if (x < FClip.Left || x >= FClip.Right) return;
    y1 = std::max(y1, FClip.Top);
    y2 = std::min(y2, FClip.Bottom - 1);
    if (y2 < y1) return;
    uint32_t* p = ScanLine(y1) + x;
    for (int y = y1; y <= y2; ++y, p += FWidth)
        *p = color;
}

void TSurface32::LineClipped(int x1, int y1, int x2, int y2, uint32_t color, bool includeEnd) {
    // 64-bit deltas: any int end points are valid, however far outside the surface.
    const long long dx = static_cast<long long>(x2) - x1, dy = static_cast<long long>(y2) - y1;
    if (dx == 0 && dy == 0) {
        if (includeEnd) SetPixelClipped(x2, y2, color);
        return;
    }
    if (dy == 0) {
        if (dx > 0)
            HorzLineClipped(x1, y1, x2 - 1, color);
        else
            HorzLineClipped(x2 + 1, y1, x1, color);
        if (includeEnd) SetPixelClipped(x2, y2, color);
        return;
    }
    if (dx == 0) {
        if (dy > 0)
            VertLineClipped(x1, y1, y2 - 1, color);
        else
            VertLineClipped(x1, y2 + 1, y1, color);
        if (includeEnd) SetPixelClipped(x2, y2, color);
        return;
    }

    // Walk the major axis; the minor offset at step k is floor((2k*m + M) / (2M)), so an exact half
    // steps towards the end point.
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long majorStart = xMajor ? x1 : y1, minorStart = xMajor ? y1 : x1;
    const long long M = std::llabs(xMajor ? dx : dy), m = std::llabs(xMajor ? dy : dx);
    const int majorSign = (xMajor ? dx : dy) > 0 ? 1 : -1, minorSign = (xMajor ? dy : dx) > 0 ? 1 : -1;
    const long long majorLo = xMajor ? FClip.Left : FClip.Top, majorHi = xMajor ? FClip.Right : FClip.Bottom;
    const long long minorLo = xMajor ? FClip.Top : FClip.Left, minorHi = xMajor ? FClip.Bottom : FClip.Right;

    // Only the steps whose major coordinate lies inside the clip rectangle are walked.
    long long kFirst = 0, kLast = includeEnd ? M : M - 1;
    if (majorSign > 0) {
        kFirst = std::max(kFirst, majorLo - majorStart);
        kLast = std::min(kLast, majorHi - 1 - majorStart);
    } else {
        kFirst = std::max(kFirst, majorStart - (majorHi - 1));
        kLast = std::min(kLast, majorStart - majorLo);
    }
    if (kFirst > kLast) return;

    const long long twoM = 2 * M, twoMinor = 2 * m;
    // 2k*m can exceed 64 bits for end points far outside; the start needs 128.
    const unsigned __int128 num =
        static_cast<unsigned __int128>(2 * kFirst) * static_cast<unsigned long long>(m) +
        static_cast<unsigned long long>(M);
    long long e = static_cast<long long>(num % static_cast<unsigned long long>(twoM));
    long long major = majorStart + majorSign * kFirst;
    long long minor =
        minorStart + minorSign * static_cast<long long>(num / static_cast<unsigned long long>(twoM));
    for (long long k = kFirst; k <= kLast; ++k) {
        if (minor >= minorLo && minor < minorHi) {
            const long long x = xMajor ? major : minor, y = xMajor ? minor : major;
            FPixels[static_cast<size_t>(y) * FWidth + static_cast<size_t>(x)] = color;
        }
        major += majorSign;
        e += twoMinor;
        if (e >= twoM) {
            e -= twoM;
            minor += minorSign;
        }
    }
}

void TSurface32::BlendPixel(int x, int y, uint32_t color, unsigned weight) {
    uint32_t& p = FPixels[static_cast<size_t>(y) * FWidth + x];
    p = CombineMode == cmBlend ? BlendColor(color, p, weight) : MergeColor(color, p, weight);
}

void TSurface32::Splat(int X, int Y, uint32_t color) {
    if (X < (FClip.Left - 1) * 256 || X >= FClip.Right * 256 || Y < (FClip.Top - 1) * 256 ||
        Y >= FClip.Bottom * 256)
        return;
    const auto& gamma = GammaTable();
    const unsigned a = color >> 24;
    const int fx = X & 0xFF, fy = Y & 0xFF;
    const int px = X >> 8, py = Y >> 8; // arithmetic shift: floor
    const unsigned wx0 = gamma[fx ^ 0xFF] * a, wx1 = gamma[fx] * a;
    const unsigned wy0 = gamma[fy ^ 0xFF], wy1 = gamma[fy];
    const struct {
        int x, y;
        unsigned w;
    } corners[4] = {{px, py, (wx0 * wy0) >> 16},
                    {px + 1, py, (wx1 * wy0) >> 16},
                    {px + 1, py + 1, (wx1 * wy1) >> 16},
                    {px, py + 1, (wx0 * wy1) >> 16}};
    for (const auto& c : corners)
        if (FClip.Contains(c.x, c.y)) BlendPixel(c.x, c.y, color, c.w);
}

void TSurface32::DotAA(int x, int y, uint32_t color) {
    // In 64 bits so that positions near the int limits cannot overflow; far outside, nothing is drawn.
    const long long X = (static_cast<long long>(x) + 127) >> 8, Y = (static_cast<long long>(y) + 127) >> 8;
    Splat(static_cast<int>(X), static_cast<int>(Y), color);
}

namespace {

// Cohen-Sutherland clipping of a segment to a closed rectangle; false when nothing remains.
bool ClipSegment(long long& x1, long long& y1, long long& x2, long long& y2, long long xmin, long long ymin,
                 long long xmax, long long ymax) {
    auto code = [&](long long x, long long y) {
        int c = 0;
        if (x < xmin)
            c |= 1;
        else if (x > xmax)
            c |= 2;
        if (y < ymin)
            c |= 4;
        else if (y > ymax)
            c |= 8;
        return c;
    };
    int c1 = code(x1, y1), c2 = code(x2, y2);
    for (;;) {
        if ((c1 | c2) == 0) return true;
        if (c1 & c2) return false;
        const int out = c1 ? c1 : c2;
        // Products in 128 bits: the end points may lie anywhere in the int range. Division
        // truncates; the segment is not vertical (horizontal) when it crosses a vertical
        // (horizontal) edge, so no divisor is zero.
        using wide = __int128;
        long long x = 0, y = 0;
        if (out & 8) {
            x = static_cast<long long>(x1 + wide(x2 - x1) * (ymax - y1) / (y2 - y1));
            y = ymax;
        } else if (out & 4) {
            x = static_cast<long long>(x1 + wide(x2 - x1) * (ymin - y1) / (y2 - y1));
            y = ymin;
        } else if (out & 2) {
            y = static_cast<long long>(y1 + wide(y2 - y1) * (xmax - x1) / (x2 - x1));
            x = xmax;
        } else {
            y = static_cast<long long>(y1 + wide(y2 - y1) * (xmin - x1) / (x2 - x1));
            x = xmin;
        }
        if (out == c1) {
            x1 = x;
            y1 = y;
            c1 = code(x1, y1);
        } else {
            x2 = x;
            y2 = y;
            c2 = code(x2, y2);
        }
    }
}

} // namespace

void TSurface32::LineAA(int x1, int y1, int x2, int y2, uint32_t color, bool includeEnd) {
    if (FClip.IsEmpty()) return;
    long long cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
    if (!ClipSegment(cx1, cy1, cx2, cy2, FClip.Left * 65536LL, FClip.Top * 65536LL,
                     (FClip.Right - 1) * 65536LL, (FClip.Bottom - 1) * 65536LL))
        return;
    if (cx2 != x2 || cy2 != y2) includeEnd = true;
    // Inside the clip rectangle every coordinate fits in 32 bits again.
    const long long dx = cx2 - cx1, dy = cy2 - cy1;
    cx1 += 127;
    cy1 += 127;
    cx2 += 127;
    cy2 += 127;

    long long n =
        static_cast<long long>(std::nearbyint(std::hypot(static_cast<double>(dx), static_cast<double>(dy))));
    if (includeEnd) n += 65536;
    if (n < 256) return;
    const long long steps = n >> 16;
    long long sx = dx, sy = dy;
    if (steps > 0) {
        const float h = 65536.0f / static_cast<float>(n);
        sx = static_cast<long long>(std::nearbyint(static_cast<double>(dx) * h));
        sy = static_cast<long long>(std::nearbyint(static_cast<double>(dy) * h));
    }
    long long x = cx1, y = cy1;
    for (long long i = 0; i < steps; ++i) {
        Splat(static_cast<int>(x >> 8), static_cast<int>(y >> 8), color);
        x += sx;
        y += sy;
    }
    const unsigned a = color >> 24;
    const unsigned lastAlpha = static_cast<unsigned>((a * (n - steps * 65536)) >> 16) & 0xFFu;
    const uint32_t lastColor = (color & 0x00FFFFFFu) + (lastAlpha << 24);
    Splat(static_cast<int>((cx2 + x - sx) >> 9), static_cast<int>((cy2 + y - sy) >> 9), lastColor);
}

TTextExtent TSurface32::TextExtent(const std::string& utf8Text) const {
    TTextRasterizer* rasterizer = InstalledTextRasterizer();
    return rasterizer ? TextExtent(utf8Text, *rasterizer) : TTextExtent{};
}

TTextExtent TSurface32::TextExtent(const std::string& utf8Text, TTextRasterizer& rasterizer) const {
    return rasterizer.MeasureText(Font, utf8Text + " ");
}

void TSurface32::RenderText(int x, int y, const std::string& utf8Text, uint32_t color) {
    if (TTextRasterizer* rasterizer = InstalledTextRasterizer())
        RenderText(x, y, utf8Text, color, *rasterizer);
}

void TSurface32::RenderText(int x, int y, const std::string& utf8Text, uint32_t color,
                            TTextRasterizer& rasterizer) {
    const TTextExtent block = TextExtent(utf8Text, rasterizer);
    if (block.Width <= 0 || block.Height <= 0) return;
    const TCoverageMask mask = rasterizer.RenderText(Font, utf8Text, block.Width, block.Height);
    // The block is drawn with the colour's alpha as master alpha: glyph pixels (opaque in the block)
    // blend with that weight, the block's transparent background leaves the surface alone.
    const uint32_t glyph = (color & 0x00FFFFFFu) | 0xFF000000u;
    const unsigned weight = color >> 24;
    const int w = std::min({block.Width, mask.Width}), h = std::min({block.Height, mask.Height});
    if (mask.Coverage.size() < static_cast<size_t>(std::max(mask.Width, 0)) * std::max(mask.Height, 0))
        return;
    const int i0 = std::max(0, FClip.Left - x), i1 = std::min(w, FClip.Right - x);
    const int j0 = std::max(0, FClip.Top - y), j1 = std::min(h, FClip.Bottom - y);
    for (int j = j0; j < j1; ++j)
        for (int i = i0; i < i1; ++i)
            if (mask.On(i, j)) BlendPixel(x + i, y + j, glyph, weight);
}

void TSurface32::FlipHorizontal() {
    for (int y = 0; y < FHeight; ++y) {
        uint32_t* row = ScanLine(y);
        std::reverse(row, row + FWidth);
    }
}

void TSurface32::FlipVertical() {
    for (int i = 0; i < FHeight / 2; ++i)
        std::swap_ranges(ScanLine(i), ScanLine(i) + FWidth, ScanLine(FHeight - 1 - i));
}

void TSurface32::CopyFrom(const TSurface32* source) {
    if (source == this) return;
    if (!source) {
        SetSize(0, 0);
        return;
    }
    SetSize(source->FWidth, source->FHeight);
    FPixels = source->FPixels;
    DrawMode = source->DrawMode;
    MasterAlpha = source->MasterAlpha;
    OuterColor = source->OuterColor;
}

void TSurface32::DrawTo(TSurface32& target, int x, int y) const {
    const TRect& clip = target.FClip;
    const int i0 = std::max(0, clip.Left - x), i1 = std::min(FWidth, clip.Right - x);
    const int j0 = std::max(0, clip.Top - y), j1 = std::min(FHeight, clip.Bottom - y);
    if (i0 >= i1 || j0 >= j1) return;
    for (int j = j0; j < j1; ++j) {
        const uint32_t* src = ScanLine(j) + i0;
        uint32_t* dst = target.ScanLine(y + j) + x + i0;
        const int n = i1 - i0;
        if (DrawMode == dmOpaque || (DrawMode == dmCustom && !OnPixelCombine)) {
            std::copy(src, src + n, dst);
        } else if (DrawMode == dmCustom) {
            for (int i = 0; i < n; ++i)
                OnPixelCombine(src[i], dst[i], MasterAlpha);
        } else {
            for (int i = 0; i < n; ++i) {
                const unsigned w = ((src[i] >> 24) * MasterAlpha + 127) / 255;
                dst[i] = target.CombineMode == cmBlend ? BlendColor(src[i], dst[i], w)
                                                       : MergeColor(src[i], dst[i], w);
            }
        }
    }
}

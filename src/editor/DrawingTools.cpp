#include "DrawingTools.h"

#include "SurfaceColor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

TScreenPoint ToolCursorHotSpot(TTool tool) {
    switch (tool) {
    case ToolNone:
    case ToolMover:
        return {10, 5};
    case ToolSelect:
    case ToolPencil:
        return {14, 17};
    case ToolDropper:
        return {12, 19};
    case ToolBrush:
        return {4, 19};
    case ToolFill:
        return {14, 18};
    default:
        return {6, 25};
    }
}

TColorPair PressColors(TMouseButton button, TSurfaceColor drawColor, TSurfaceColor backColor) {
    switch (button) {
    case mbLeft:
        return {drawColor.Value, backColor.Value, true};
    case mbRight:
        return {backColor.Value, drawColor.Value, true};
    default:
        return {};
    }
}

void ConstrainSquare(const TCell& start, TCell& end) {
    int dx = end.Col - start.Col, dy = end.Row - start.Row;
    if (std::abs(dy) < std::abs(dx)) {
        dy = ((dx > 0) == (dy > 0)) ? dx : -dx;
        end.Row = start.Row + dy;
    } else {
        dx = ((dx > 0) == (dy > 0)) ? dy : -dy;
        end.Col = start.Col + dx;
    }
}

TRect SortCorners(const TCell& a, const TCell& b) {
    return TRect(std::min(a.Col, b.Col), std::min(a.Row, b.Row), std::max(a.Col, b.Col),
                 std::max(a.Row, b.Row));
}

namespace {
int ClampPen(int penSize) {
    return std::clamp(penSize, 1, MaxPenSize);
}
void Stamp(TSurface32& surface, int x, int y, uint32_t color, int penSize) {
    const TRect r = PenSquare({x, y}, penSize);
    surface.FillRectClipped(r.Left, r.Top, r.Right, r.Bottom, color);
}
} // namespace

TRect PenSquare(const TCell& c, int penSize) {
    const int n = ClampPen(penSize), l = c.Col - (n - 1) / 2, t = c.Row - (n - 1) / 2;
    return TRect(l, t, l + n, t + n);
}

void ForEachLineCell(int x1, int y1, int x2, int y2, bool includeEnd,
                     const std::function<void(int, int)>& visit) {
    // The walk of LineClipped: along the major axis, the minor offset at step k is
    // floor((2k*m + M) / (2M)), so an exact half steps towards the end point.
    const long long dx = static_cast<long long>(x2) - x1, dy = static_cast<long long>(y2) - y1;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long M = std::llabs(xMajor ? dx : dy), m = std::llabs(xMajor ? dy : dx);
    const int majorSign = (xMajor ? dx : dy) >= 0 ? 1 : -1, minorSign = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const long long last = includeEnd ? M : M - 1;
    for (long long k = 0; k <= last; ++k) {
        const long long minor = M == 0 ? 0 : (2 * k * m + M) / (2 * M);
        const long long major = k * majorSign, off = minor * minorSign;
        if (xMajor)
            visit(static_cast<int>(x1 + major), static_cast<int>(y1 + off));
        else
            visit(static_cast<int>(x1 + off), static_cast<int>(y1 + major));
    }
}

void PencilDot(TSurface32& surface, const TCell& c, uint32_t color, int penSize) {
    if (ClampPen(penSize) == 1)
        surface.SetPixelClipped(c.Col, c.Row, color);
    else
        Stamp(surface, c.Col, c.Row, color, penSize);
}

void PencilLine(TSurface32& surface, const TCell& from, const TCell& to, uint32_t color, int penSize) {
    if (ClampPen(penSize) == 1) {
        surface.LineClipped(from.Col, from.Row, to.Col, to.Row, color, true);
        return;
    }
    ForEachLineCell(from.Col, from.Row, to.Col, to.Row, true,
                    [&](int x, int y) { Stamp(surface, x, y, color, penSize); });
}

void BrushDot(TSurface32& surface, const TCell& c, uint32_t color, int penSize) {
    const TRect r = PenSquare(c, penSize);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            surface.DotAA(x * 65536, y * 65536, color);
}

void BrushLine(TSurface32& surface, const TCell& from, const TCell& to, uint32_t color, int penSize) {
    const TRect r = PenSquare(from, penSize);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            const int dx = x - from.Col, dy = y - from.Row;
            surface.LineAA(x * 65536, y * 65536, (to.Col + dx) * 65536, (to.Row + dy) * 65536, color, true);
        }
}

void DrawRectangleShape(TSurface32& surface, int l, int t, int r, int b, uint32_t outline, uint32_t fill,
                        bool filled, int penSize) {
    if (ClampPen(penSize) > 1) {
        // The fill first, then the pen laid on every cell of the one-pixel outline.
        if (filled) surface.FillRectClipped(l + 1, t + 1, r, b, fill);
        for (int x = l; x <= r; ++x) {
            Stamp(surface, x, t, outline, penSize);
            Stamp(surface, x, b, outline, penSize);
        }
        for (int y = t + 1; y < b; ++y) {
            Stamp(surface, l, y, outline, penSize);
            Stamp(surface, r, y, outline, penSize);
        }
        return;
    }
    surface.HorzLineClipped(l, t, r, outline);
    surface.HorzLineClipped(l, b, r, outline);
    if (b - t >= 2) {
        surface.VertLineClipped(l, t + 1, b - 1, outline);
        surface.VertLineClipped(r, t + 1, b - 1, outline);
    }
    if (filled) surface.FillRectClipped(l + 1, t + 1, r, b, fill);
}

namespace {

// The ellipse region of a box of w × h cells, row by row. Offsets from the box centre are counted in
// half cells (u across, v down, both of the parity of the size minus one). A cell belongs to the
// region when its centre lies inside the ellipse through the box's outer edges,
// u²h² + v²w² <= w²h², or on the box's middle row or column (so that thin boxes still reach
// all four sides).
class TEllipseRegion {
  public:
    TEllipseRegion(int l, int t, int r, int b) : FL(l), FT(t), FW(r - l + 1), FH(b - t + 1) {}

    // Column span of row y as [first, last]; false when the row is outside the box.
    bool Span(int y, int& first, int& last) const {
        if (y < FT || y >= FT + FH) return false;
        const long long v = 2LL * (y - FT) - (FH - 1);
        const long long w = FW, h = FH;
        long long half; // largest |u| in the region, of the parity of w - 1
        if (std::llabs(v) <= 1) {
            half = w - 1;
        } else {
            const long long room = w * w * (h * h - v * v); // >= u²h²
            half = (w - 1) % 2;                             // the middle cell or cells
            // Largest u of the right parity with u²h² <= room, starting from a close guess.
            long long u = static_cast<long long>(std::sqrt(static_cast<double>(room)) / h) + 2;
            if ((u - half) % 2 != 0) --u;
            while (u > half && u * u * h * h > room)
                u -= 2;
            half = std::max(half, std::min(u, w - 1));
        }
        // Cell x has u = 2(x - l) - (w - 1); |u| <= half.
        first = FL + static_cast<int>((w - 1 - half) / 2);
        last = FL + static_cast<int>((w - 1 + half) / 2);
        return true;
    }

    bool Contains(int x, int y) const {
        int first = 0, last = -1;
        return Span(y, first, last) && x >= first && x <= last;
    }

  private:
    int FL, FT, FW, FH;
};

} // namespace

void DrawEllipseShape(TSurface32& surface, int l, int t, int r, int b, uint32_t outline, uint32_t fill,
                      bool filled, int penSize) {
    if (r < l || b < t) return;
    if (ClampPen(penSize) > 1) {
        // The one-pixel ellipse drawn on a scratch surface of the box's size with marker values;
        // then the fill, then the pen laid on every cell of the ring.
        constexpr uint32_t RingMark = 1, FillMark = 2;
        TSurface32 scratch(r - l + 1, b - t + 1);
        scratch.FillAll(0);
        DrawEllipseShape(scratch, 0, 0, r - l, b - t, RingMark, FillMark, true);
        for (int y = 0; y < scratch.Height(); ++y)
            for (int x = 0; x < scratch.Width(); ++x)
                if (filled && scratch.GetPixel(x, y) == FillMark) surface.SetPixelClipped(l + x, t + y, fill);
        for (int y = 0; y < scratch.Height(); ++y)
            for (int x = 0; x < scratch.Width(); ++x)
                if (scratch.GetPixel(x, y) == RingMark) Stamp(surface, l + x, t + y, outline, penSize);
        return;
    }
    const TEllipseRegion region(l, t, r, b);
    const TRect& clip = surface.ClipRect();
    const int y0 = std::max(t, clip.Top), y1 = std::min(b, clip.Bottom - 1);
    for (int y = y0; y <= y1; ++y) {
        int first = 0, last = -1;
        region.Span(y, first, last);
        const int x0 = std::max(first, clip.Left), x1 = std::min(last, clip.Right - 1);
        uint32_t* row = surface.ScanLine(y);
        for (int x = x0; x <= x1; ++x) {
            // A cell of the region with an edge neighbour outside it belongs to the ring.
            const bool ring =
                x == first || x == last || !region.Contains(x, y - 1) || !region.Contains(x, y + 1);
            if (ring)
                row[x] = outline;
            else if (filled)
                row[x] = fill;
        }
    }
}

bool FloodFillChanges(const TSurface32& surface, int x, int y, uint32_t color) {
    return surface.ClipRect().Contains(x, y) && surface.GetPixel(x, y) != color;
}

void FloodFill(TSurface32& surface, int x, int y, uint32_t newColor, uint32_t oldColor) {
    if (newColor == oldColor) return;
    const TRect& clip = surface.ClipRect();
    std::vector<TCell> pending{{x, y}};
    while (!pending.empty()) {
        const TCell c = pending.back();
        pending.pop_back();
        if (!clip.Contains(c.Col, c.Row) || surface.GetPixel(c.Col, c.Row) != oldColor) continue;
        // Fill the run of old pixels through c in its row, then look above and below the run.
        int left = c.Col, right = c.Col;
        uint32_t* row = surface.ScanLine(c.Row);
        while (left > clip.Left && row[left - 1] == oldColor)
            --left;
        while (right < clip.Right - 1 && row[right + 1] == oldColor)
            ++right;
        std::fill(row + left, row + right + 1, newColor);
        for (int ny : {c.Row - 1, c.Row + 1}) {
            if (ny < clip.Top || ny >= clip.Bottom) continue;
            const uint32_t* next = surface.ScanLine(ny);
            for (int i = left; i <= right; ++i)
                if (next[i] == oldColor && (i == left || next[i - 1] != oldColor)) pending.push_back({i, ny});
        }
    }
}

TDropperTarget DropperTarget(TMouseButton button, bool ctrlHeld) {
    switch (button) {
    case mbLeft:
        return dtDrawColor;
    case mbRight:
        return ctrlHeld ? dtTransparentColor : dtBackColor;
    default:
        return dtNone;
    }
}

std::optional<TInterfaceColor> DropperColor(const TSurface32& surface, const TCell& c) {
    if (c.Col < 0 || c.Row < 0 || c.Col >= surface.Width() || c.Row >= surface.Height()) return std::nullopt;
    return ToInterfaceColor(TSurfaceColor(surface.GetPixel(c.Col, c.Row)));
}

TCell TextBlockOrigin(const TSurface32& surface, const TCell& release, const std::string& utf8Text) {
    const int h = surface.TextExtent(utf8Text).Height;
    return {release.Col, std::max(release.Row - h, 0)};
}

void WriteText(TSurface32& surface, const TCell& release, const std::string& utf8Text, uint32_t color) {
    const TCell at = TextBlockOrigin(surface, release, utf8Text);
    surface.RenderText(at.Col, at.Row, utf8Text, color);
}

TScreenPoint CellCentre(const TCell& c, int zoom) {
    return {c.Col * zoom + zoom / 2, c.Row * zoom + zoom / 2};
}

TRect RubberBandBox(const TCell& start, const TCell& end, int zoom) {
    const TScreenPoint a = CellCentre(start, zoom), b = CellCentre(end, zoom);
    return TRect(std::min(a.X, b.X) - 1, std::min(a.Y, b.Y) - 1, std::max(a.X, b.X) + 1,
                 std::max(a.Y, b.Y) + 1);
}

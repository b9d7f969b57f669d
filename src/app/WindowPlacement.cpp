#include "WindowPlacement.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tindra {
namespace {

// A rectangle in 64-bit arithmetic: stored values near the int limits must not overflow.
struct TBox {
    int64_t Left, Top, Width, Height;
    int64_t Right() const { return Left + Width; }
    int64_t Bottom() const { return Top + Height; }
};

TBox BoxOf(const QRect& r) {
    return {r.x(), r.y(), std::max(0, r.width()), std::max(0, r.height())};
}

bool Contains(const TBox& outer, const TBox& inner) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right() <= outer.Right() &&
           inner.Bottom() <= outer.Bottom();
}

// Overlapping area; the overlap is no larger than the (sane) screen, so the product fits.
int64_t Overlap(const TBox& a, const TBox& b) {
    const int64_t w = std::min(a.Right(), b.Right()) - std::max(a.Left, b.Left);
    const int64_t h = std::min(a.Bottom(), b.Bottom()) - std::max(a.Top, b.Top);
    return w > 0 && h > 0 ? w * h : 0;
}

// Squared gap between two rectangles that do not overlap (as a double: the gap may be ~2^32).
double Gap(const TBox& a, const TBox& b) {
    const double dx = static_cast<double>(std::max<int64_t>({0, b.Left - a.Right(), a.Left - b.Right()}));
    const double dy = static_cast<double>(std::max<int64_t>({0, b.Top - a.Bottom(), a.Top - b.Bottom()}));
    return dx * dx + dy * dy;
}

// lo .. hi, with lo winning when hi < lo.
int64_t Clamp(int64_t v, int64_t lo, int64_t hi) {
    return std::max(lo, std::min(v, hi));
}

} // namespace

TWindowSettings TWindowPlacement::Fit(const TWindowSettings& stored, const QMargins& frame, QSize minimum,
                                      const QList<QRect>& areas) {
    const int64_t minWidth = std::max(0, minimum.width()), minHeight = std::max(0, minimum.height());
    const int64_t frameWidth = frame.left() + frame.right(), frameHeight = frame.top() + frame.bottom();
    int64_t width = std::max<int64_t>(stored.Width, minWidth);
    int64_t height = std::max<int64_t>(stored.Height, minHeight);
    int64_t left = stored.Left, top = stored.Top;

    TWindowSettings out = stored;
    if (areas.isEmpty()) {
        const int64_t side = std::max<int64_t>(MaxSideWithoutScreens, std::max(minWidth, minHeight));
        out.Width = static_cast<int>(Clamp(width, minWidth, side));
        out.Height = static_cast<int>(Clamp(height, minHeight, side));
        out.Left = static_cast<int>(Clamp(left, -MaxCoordinateWithoutScreens, MaxCoordinateWithoutScreens));
        out.Top = static_cast<int>(Clamp(top, -MaxCoordinateWithoutScreens, MaxCoordinateWithoutScreens));
        return out;
    }

    const TBox window{left, top, width + frameWidth, height + frameHeight};
    const TBox* chosen = nullptr;
    std::vector<TBox> boxes;
    for (const QRect& area : areas)
        boxes.push_back(BoxOf(area));
    for (const TBox& box : boxes)
        if (Contains(box, window)) {
            out.Width = static_cast<int>(width);
            out.Height = static_cast<int>(height);
            return out; // wholly on one screen: exactly where it was
        }
    int64_t bestOverlap = 0;
    for (const TBox& box : boxes) {
        const int64_t overlap = Overlap(box, window);
        if (overlap > bestOverlap) bestOverlap = overlap, chosen = &box;
    }
    if (!chosen) {
        double bestGap = 0;
        for (const TBox& box : boxes) {
            const double gap = Gap(box, window);
            if (!chosen || gap < bestGap) bestGap = gap, chosen = &box;
        }
    }
    const TBox& area = *chosen;
    width = Clamp(width, minWidth, area.Width - frameWidth);
    height = Clamp(height, minHeight, area.Height - frameHeight);
    left = Clamp(left, area.Left, area.Right() - width - frameWidth);
    top = Clamp(top, area.Top, area.Bottom() - height - frameHeight);
    out.Left = static_cast<int>(left);
    out.Top = static_cast<int>(top);
    out.Width = static_cast<int>(width);
    out.Height = static_cast<int>(height);
    return out;
}

} // namespace tindra

#include "Selection.h"

#include <algorithm>
#include <cstdio>

void TSelection::Select(const TRect& rect, const TRect& picture) {
    Drop();
    const TRect r = rect.Intersect(picture);
    if (!r.IsEmpty()) Area = r;
}

void TSelection::Drop() {
    Area = TRect();
    Anchor();
}

void TSelection::Anchor() {
    IsFloating = false;
    Block.SetSize(0, 0);
    Under.SetSize(0, 0);
}

void TSelection::Lift(TSurface32& picture, uint32_t holeColor) {
    if (IsFloating || !Active()) return;
    Block = Copy(picture);
    picture.FillRectClipped(Area.Left, Area.Top, Area.Right, Area.Bottom, holeColor);
    Under.CopyFrom(picture);
    IsFloating = true;
    Compose(picture);
}

void TSelection::Float(TSurface32& picture, const TSurface32& block, int x, int y) {
    Drop();
    if (block.Empty()) return;
    Block.CopyFrom(block);
    Block.DrawMode = dmOpaque;
    Under.CopyFrom(picture);
    Area = TRect(x, y, x + block.Width(), y + block.Height());
    IsFloating = true;
    Compose(picture);
}

void TSelection::MoveTo(TSurface32& picture, int x, int y) {
    if (!IsFloating) return;
    Area = TRect(x, y, x + Block.Width(), y + Block.Height());
    picture.CopyFrom(Under);
    Compose(picture);
}

void TSelection::RemoveBlock(TSurface32& picture) {
    if (!IsFloating) return;
    picture.CopyFrom(Under);
    const TRect area = Area.Intersect(picture.BoundsRect());
    Anchor();
    Area = area;
}

TSurface32 TSelection::Copy(const TSurface32& picture) const {
    if (IsFloating) return Block;
    TSurface32 out(Area.Width(), Area.Height());
    out.FillAll(0);
    const TRect on = Area.Intersect(picture.BoundsRect());
    for (int y = on.Top; y < on.Bottom; ++y)
        std::copy(picture.ScanLine(y) + on.Left, picture.ScanLine(y) + on.Right,
                  out.ScanLine(y - Area.Top) + (on.Left - Area.Left));
    return out;
}

void TSelection::Compose(TSurface32& picture) const {
    // Opaque copy, clipped to the picture.
    Block.DrawTo(picture, Area.Left, Area.Top);
}

std::string SelectionSizeText(const TRect& rect) {
    char text[48];
    std::snprintf(text, sizeof text, "%d \xC3\x97 %d", rect.Width(), rect.Height());
    return text;
}

TCell PastePlace(int width, int height) {
    if (width > 32 || height > 32) return {0, 0};
    return {(40 - width) / 2, (40 - height) / 2};
}

void ShiftWrapped(const TSurface32& source, int dx, int dy, TSurface32& target) {
    const int w = source.Width(), h = source.Height();
    target.SetSize(w, h);
    if (w == 0 || h == 0) return;
    const int sx = ((dx % w) + w) % w, sy = ((dy % h) + h) % h;
    for (int y = 0; y < h; ++y) {
        const uint32_t* from = source.ScanLine(y);
        uint32_t* to = target.ScanLine((y + sy) % h);
        // Columns 0 .. w - sx - 1 go right by sx; the last sx columns come round to the left.
        std::copy(from, from + (w - sx), to + sx);
        std::copy(from + (w - sx), from + w, to);
    }
}

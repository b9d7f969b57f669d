#include "Canvas.h"

#include <unordered_map>
#include <vector>

namespace {

// Writes colours into the target, mapping them to table entries for indexed targets.
class TColorWriter {
  public:
    explicit TColorWriter(TBitmap& target) : Target_(target) {}
    void Put(int x, int y, TColorRef c) {
        c &= 0xFFFFFF;
        if (!Target_.IsIndexed()) {
            Target_.SetPixel(x, y, c);
            return;
        }
        auto it = Memo_.find(c);
        if (it == Memo_.end()) it = Memo_.emplace(c, std::max(0, Target_.Palette().NearestIndex(c))).first;
        Target_.SetIndex(x, y, it->second);
    }

  private:
    TBitmap& Target_;
    std::unordered_map<TColorRef, int> Memo_;
};

// Reads one source row at a time, as colours.
class TRowCache {
  public:
    explicit TRowCache(const TBitmap& source)
        : Source_(source), Row_(static_cast<std::size_t>(source.Width())) {}
    const TColorRef* Row(int y) {
        if (y != Current_) {
            Source_.ReadRow(y, Row_.data());
            Current_ = y;
        }
        return Row_.data();
    }

  private:
    const TBitmap& Source_;
    std::vector<TColorRef> Row_;
    int Current_ = -1;
};

bool MaskBit(const TBitmap& mask, int x, int y) {
    if (mask.IsIndexed()) return mask.Index(x, y) != 0;
    const TColorRef c = mask.Pixel(x, y);
    return c != 0 && c != TBitmap::InvalidColor;
}

} // namespace

TCanvas::TCanvas(TBitmap& target) : Target_(target), Clip_(0, 0, target.Width(), target.Height()) {}

void TCanvas::SetClipRect(const TRect& clip) {
    Clip_ = clip.Intersect(TRect(0, 0, Target_.Width(), Target_.Height()));
}

void TCanvas::FillRect(const TRect& rect, TColorRef color) {
    const TRect r = rect.Intersect(Clip_).Intersect(TRect(0, 0, Target_.Width(), Target_.Height()));
    if (r.IsEmpty()) return;
    TColorWriter out(Target_);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            out.Put(x, y, color);
    Target_.Changed();
}

void TCanvas::SetPixel(int x, int y, TColorRef color) {
    if (!Clip_.Contains(x, y)) return;
    TColorWriter(Target_).Put(x, y, color);
    Target_.Changed();
}

void TCanvas::StretchDraw(const TRect& dest, const TGraphic& graphic) {
    graphic.Draw(*this, dest);
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
    graphic.Draw(*this, TRect(x, y, x + graphic.Width(), y + graphic.Height()));
}

// Calls op(x, y, sx, sy) for every visible destination pixel with its source pixel (nearest
// neighbour: the source pixel whose span holds the destination pixel's left/top edge).
template <typename Op>
void TCanvas::StretchEach(const TRect& dest, const TRect& src, int srcWidth, int srcHeight, Op op) {
    if (dest.IsEmpty() || src.IsEmpty()) return;
    const TRect visible = dest.Intersect(Clip_).Intersect(TRect(0, 0, Target_.Width(), Target_.Height()));
    if (visible.IsEmpty()) return;
    const std::int64_t dw = dest.Width(), dh = dest.Height();
    const std::int64_t sw = src.Width(), sh = src.Height();
    std::vector<int> columns(static_cast<std::size_t>(visible.Width()));
    for (int x = visible.Left; x < visible.Right; ++x)
        columns[static_cast<std::size_t>(x - visible.Left)] =
            src.Left + static_cast<int>((x - dest.Left) * sw / dw);
    for (int y = visible.Top; y < visible.Bottom; ++y) {
        const int sy = src.Top + static_cast<int>((y - dest.Top) * sh / dh);
        if (sy < 0 || sy >= srcHeight) continue;
        for (int x = visible.Left; x < visible.Right; ++x) {
            const int sx = columns[static_cast<std::size_t>(x - visible.Left)];
            if (sx < 0 || sx >= srcWidth) continue;
            op(x, y, sx, sy);
        }
    }
}

void TCanvas::StretchBlt(const TRect& dest, const TBitmap& source, const TRect& src) {
    if (source.Empty()) return;
    TRowCache rows(source);
    const bool sameTable = source.IsIndexed() && Target_.IsIndexed() &&
                           source.Palette() == Target_.Palette() &&
                           source.PixelFormat() == Target_.PixelFormat();
    TColorWriter out(Target_);
    StretchEach(dest, src, source.Width(), source.Height(), [&](int x, int y, int sx, int sy) {
        if (sameTable)
            Target_.SetIndex(x, y, source.Index(sx, sy));
        else
            out.Put(x, y, rows.Row(sy)[sx]);
    });
    Target_.Changed();
}

void TCanvas::MaskedStretchBlt(const TRect& dest, const TBitmap& source, const TRect& src,
                               const TBitmap& mask) {
    if (source.Empty()) return;
    TRowCache rows(source);
    TColorWriter out(Target_);
    StretchEach(dest, src, source.Width(), source.Height(), [&](int x, int y, int sx, int sy) {
        if (!MaskBit(mask, sx, sy)) out.Put(x, y, rows.Row(sy)[sx]);
    });
    Target_.Changed();
}

void TCanvas::IconStretchBlt(const TRect& dest, const TBitmap& color, const TBitmap& mask) {
    if (color.Empty()) return;
    TRowCache rows(color);
    TColorWriter out(Target_);
    StretchEach(dest, TRect(0, 0, color.Width(), color.Height()), color.Width(), color.Height(),
                [&](int x, int y, int sx, int sy) {
                    const TColorRef keep = MaskBit(mask, sx, sy) ? 0xFFFFFFu : 0u;
                    out.Put(x, y, (Target_.Pixel(x, y) & keep) ^ rows.Row(sy)[sx]);
                });
    Target_.Changed();
}

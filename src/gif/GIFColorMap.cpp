#include "GIFColorMap.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFHeader.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

int TGIFColorMap::AppendColor(TGIFColor color) {
    if (Count_ >= MaxColors) throw EGIFException(GIFText::ColorTableOverflow);
    if (Count_ >= Capacity_) ReserveEntries(Count_ + 1);
    std::uint8_t* e = &Entries_[static_cast<std::size_t>(Count_) * 3];
    e[0] = static_cast<std::uint8_t>(color);
    e[1] = static_cast<std::uint8_t>(color >> 8);
    e[2] = static_cast<std::uint8_t>(color >> 16);
    ++Count_;
    Sorted_ = false;
    NotifyColorsChanged();
    return Count_ - 1;
}

int TGIFColorMap::FindOrAppendColor(TGIFColor color) {
    const int index = FindColor(color);
    return index >= 0 ? index : AppendColor(color);
}

int TGIFColorMap::FindColor(TGIFColor color) const {
    const std::uint8_t r = static_cast<std::uint8_t>(color), g = static_cast<std::uint8_t>(color >> 8),
                       b = static_cast<std::uint8_t>(color >> 16);
    auto matches = [&](int i) {
        const std::uint8_t* e = &Entries_[static_cast<std::size_t>(i) * 3];
        return e[0] == r && e[1] == g && e[2] == b;
    };
    // A sorted table answers its most used match; otherwise the highest index matches.
    if (Sorted_) {
        for (int i = 0; i < Count_; ++i)
            if (matches(i)) return i;
    } else {
        for (int i = Count_ - 1; i >= 0; --i)
            if (matches(i)) return i;
    }
    return -1;
}

void TGIFColorMap::RemoveColorAt(int index) {
    if (index < 0 || index >= Count_) throw EGIFException(GIFText::InvalidColorIndex);
    std::uint8_t* e = Entries_.data();
    std::memmove(e + index * 3, e + (index + 1) * 3, static_cast<std::size_t>(Count_ - index - 1) * 3);
    --Count_;
    Sorted_ = false;
    NotifyColorsChanged();
}

TGIFColor TGIFColorMap::ColorAt(int index) const {
    if (index < 0 || index >= Count_) {
        ReportWarning(GIFText::InvalidColorIndex);
        if (Count_ == 0) throw EGIFException(GIFText::ColorTableEmpty);
        index = 0;
    }
    const std::uint8_t* e = &Entries_[static_cast<std::size_t>(index) * 3];
    return e[0] | (e[1] << 8) | (static_cast<TGIFColor>(e[2]) << 16);
}

void TGIFColorMap::SetColorAt(int index, TGIFColor color) {
    if (index < 0 || index >= Count_) throw EGIFException(GIFText::InvalidColorIndex);
    std::uint8_t* e = &Entries_[static_cast<std::size_t>(index) * 3];
    e[0] = static_cast<std::uint8_t>(color);
    e[1] = static_cast<std::uint8_t>(color >> 8);
    e[2] = static_cast<std::uint8_t>(color >> 16);
    NotifyColorsChanged();
}

int TGIFColorMap::EntryBits() const {
    if (Count_ == 0) return 0;
    int bits = 1;
    while ((1 << bits) < Count_)
        ++bits;
    return bits;
}

void TGIFColorMap::ReserveEntries(int n) {
    if (n < Capacity_) return;
    int capacity = n <= 16 ? 16 : (n + 31) / 32 * 32;
    capacity = std::min(capacity, MaxColors);
    Entries_.resize(static_cast<std::size_t>(capacity) * 3, 0);
    Capacity_ = capacity;
}

void TGIFColorMap::ClearColors() {
    Entries_.clear();
    Entries_.shrink_to_fit();
    Count_ = 0;
    Capacity_ = 0;
    Sorted_ = false;
}

void TGIFColorMap::ReadEntries(TStream& stream, int n) {
    ClearColors();
    n = std::clamp(n, 0, MaxColors);
    ReserveEntries(n);
    const std::size_t bytes = static_cast<std::size_t>(n) * 3;
    if (stream.Read(Entries_.data(), bytes) != bytes) throw EGIFException(GIFText::PrematureEnd);
    Count_ = n;
}

void TGIFColorMap::WriteEntries(TStream& stream) const {
    if (Count_ == 0) return;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(1 << EntryBits()) * 3, 0);
    std::memcpy(out.data(), Entries_.data(), static_cast<std::size_t>(Count_) * 3);
    stream.Write(out.data(), out.size());
}

bool TGIFColorMap::SortByUsage() {
    if (Count_ <= 1 || !HasFrames()) return false;
    Sorted_ = true;
    std::vector<std::pair<int, int>> pairs = UsageHistogram();
    pairs.resize(static_cast<std::size_t>(Count_), {0, 0});
    // Quicksort by descending count; equal counts keep no defined order.
    std::function<void(int, int)> sort = [&](int lo, int hi) {
        while (lo < hi) {
            int i = lo, j = hi;
            const int pivot = pairs[static_cast<std::size_t>((lo + hi) / 2)].second;
            while (i <= j) {
                while (pairs[static_cast<std::size_t>(i)].second > pivot)
                    ++i;
                while (pairs[static_cast<std::size_t>(j)].second < pivot)
                    --j;
                if (i <= j) {
                    std::swap(pairs[static_cast<std::size_t>(i)], pairs[static_cast<std::size_t>(j)]);
                    ++i;
                    --j;
                }
            }
            if (lo < j) sort(lo, j);
            lo = i;
        }
    };
    sort(0, Count_ - 1);
    bool moved = false;
    for (int i = 0; i < Count_; ++i)
        if (pairs[static_cast<std::size_t>(i)].first != i) moved = true;
    if (!moved) return true;
    std::vector<int> map(MaxColors, 0);
    for (int i = 0; i < MaxColors; ++i)
        map[static_cast<std::size_t>(i)] = i;
    for (int pos = 0; pos < Count_; ++pos)
        map[static_cast<std::size_t>(pairs[static_cast<std::size_t>(pos)].first)] = pos;
    RemapPixels(map);
    std::vector<std::uint8_t> moved_entries(Entries_.size(), 0);
    for (int pos = 0; pos < Count_; ++pos)
        std::memcpy(&moved_entries[static_cast<std::size_t>(pos) * 3],
                    &Entries_[static_cast<std::size_t>(pairs[static_cast<std::size_t>(pos)].first) * 3], 3);
    Entries_ = std::move(moved_entries);
    for (int pos = 0; pos < Count_; ++pos)
        if (pairs[static_cast<std::size_t>(pos)].second == 0) {
            Count_ = pos;
            break;
        }
    NotifyColorsChanged();
    return true;
}

void TGIFColorMap::ImportRGBQuads(const std::uint8_t* quads, int n) {
    ClearColors();
    n = std::clamp(n, 0, MaxColors);
    if (n == 0) return;
    ReserveEntries(n);
    for (int i = 0; i < n; ++i) {
        Entries_[static_cast<std::size_t>(i) * 3 + 0] = quads[i * 4 + 2];
        Entries_[static_cast<std::size_t>(i) * 3 + 1] = quads[i * 4 + 1];
        Entries_[static_cast<std::size_t>(i) * 3 + 2] = quads[i * 4 + 0];
    }
    Count_ = n;
    NotifyColorsChanged();
}

void TGIFColorMap::ImportRGBTriples(const std::uint8_t* triples, int n) {
    ClearColors();
    n = std::clamp(n, 0, MaxColors);
    if (n == 0) return;
    ReserveEntries(n);
    std::memcpy(Entries_.data(), triples, static_cast<std::size_t>(n) * 3);
    Count_ = n;
    NotifyColorsChanged();
}

void TGIFColorMap::CopyFrom(const TGIFColorMap& source) {
    if (&source == this) return;
    Entries_ = source.Entries_;
    Count_ = source.Count_;
    Capacity_ = source.Capacity_;
    Sorted_ = source.Sorted_;
    NotifyColorsChanged();
}

// Global table ------------------------------------------------------------------------------

TGIFPicture* TGIFGlobalColorMap::Image() const {
    return Header_ ? Header_->Image() : nullptr;
}

void TGIFGlobalColorMap::ReportWarning(const std::string& text) const {
    if (TGIFPicture* image = Image()) image->Warning(this, 1, text);
}

std::vector<std::pair<int, int>> TGIFGlobalColorMap::UsageHistogram() const {
    std::vector<std::pair<int, int>> pairs;
    std::vector<int> counts(MaxColors, 0);
    if (TGIFPicture* image = Image())
        for (TGIFSubImage* frame : image->Images()) {
            if (&frame->ActiveColorTable() != this) continue;
            const std::uint8_t* p = frame->Pixels();
            for (std::size_t i = 0, n = frame->PixelBytes(); i < n; ++i)
                ++counts[p[i]];
        }
    for (int i = 0; i < Count(); ++i)
        pairs.emplace_back(i, counts[static_cast<std::size_t>(i)]);
    return pairs;
}

bool TGIFGlobalColorMap::HasFrames() const {
    const TGIFPicture* image = Image();
    return image && image->Images().ItemCount() > 0;
}

void TGIFGlobalColorMap::RemapPixels(const std::vector<int>& map) {
    TGIFPicture* image = Image();
    if (!image) return;
    for (TGIFSubImage* frame : image->Images()) {
        if (&frame->ActiveColorTable() != this) continue;
        std::uint8_t* p = frame->Pixels();
        for (std::size_t i = 0, n = frame->PixelBytes(); i < n; ++i)
            p[i] = static_cast<std::uint8_t>(map[p[i]]);
        if (frame->Transparent())
            if (TGIFGraphicControlExtension* gce = frame->GraphicControlExtension())
                gce->SetTransparentColorIndex(map[static_cast<std::size_t>(gce->TransparentColorIndex())]);
    }
}

void TGIFGlobalColorMap::NotifyColorsChanged() {
    if (TGIFPicture* image = Image()) image->DropCaches();
}

// Local table -------------------------------------------------------------------------------

TGIFPicture* TGIFLocalColorMap::Image() const {
    return Frame_ ? Frame_->Image() : nullptr;
}

void TGIFLocalColorMap::ReportWarning(const std::string& text) const {
    if (TGIFPicture* image = Image()) image->Warning(this, 1, text);
}

std::vector<std::pair<int, int>> TGIFLocalColorMap::UsageHistogram() const {
    std::vector<int> counts(MaxColors, 0);
    if (Frame_) {
        const std::uint8_t* p = Frame_->Pixels();
        for (std::size_t i = 0, n = Frame_->PixelBytes(); i < n; ++i)
            ++counts[p[i]];
    }
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < Count(); ++i)
        pairs.emplace_back(i, counts[static_cast<std::size_t>(i)]);
    return pairs;
}

void TGIFLocalColorMap::RemapPixels(const std::vector<int>& map) {
    if (!Frame_) return;
    std::uint8_t* p = Frame_->Pixels();
    for (std::size_t i = 0, n = Frame_->PixelBytes(); i < n; ++i)
        p[i] = static_cast<std::uint8_t>(map[p[i]]);
    if (Frame_->Transparent())
        if (TGIFGraphicControlExtension* gce = Frame_->GraphicControlExtension())
            gce->SetTransparentColorIndex(map[static_cast<std::size_t>(gce->TransparentColorIndex())]);
}

void TGIFLocalColorMap::NotifyColorsChanged() {
    if (Frame_) Frame_->DropCaches();
}

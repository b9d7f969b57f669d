#include "ColorMapOptimizer.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <unordered_set>

#include "GIFColorMap.h"
#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFRender.h"
#include "GIFSubImage.h"

namespace {

constexpr std::int32_t MaxCount = 0x7FFFFFFF;

// Most used first; equal use keeps table order, then the old index.
bool ByUse(const THistogramEntry* a, const THistogramEntry* b) {
    if (a->Count != b->Count) return a->Count > b->Count;
    if (a->Table != b->Table) return a->Table < b->Table;
    return a->OldIndex < b->OldIndex;
}

bool ByColor(const THistogramEntry* a, const THistogramEntry* b) {
    if (a->Red != b->Red) return a->Red < b->Red;
    if (a->Green != b->Green) return a->Green < b->Green;
    if (a->Blue != b->Blue) return a->Blue < b->Blue;
    if (a->Table != b->Table) return a->Table < b->Table;
    return a->OldIndex < b->OldIndex;
}

bool IsTransparent(const TGIFSubImage& frame) {
    return frame.Transparent() && frame.GraphicControlExtension();
}

} // namespace

THistogram::THistogram(TGIFColorMap& table, int order)
    : Table_(table), Entries_(static_cast<std::size_t>(table.Count())) {
    const std::uint8_t* colors = table.Data();
    for (int i = 0; i < table.Count(); ++i) {
        THistogramEntry& e = Entries_[static_cast<std::size_t>(i)];
        e.OldIndex = i;
        e.Red = colors[3 * i];
        e.Green = colors[3 * i + 1];
        e.Blue = colors[3 * i + 2];
        e.Table = order;
        Live_.push_back(&e);
    }
}

bool THistogram::CountFrame(TGIFSubImage& frame) {
    if (frame.Empty()) return false;
    Frames_.push_back(&frame);
    const bool transparent = IsTransparent(frame);
    const int transparentIndex = transparent ? frame.GraphicControlExtension()->TransparentColorIndex() : -1;
    const int entries = static_cast<int>(Entries_.size());
    bool seen = false;
    std::uint8_t* pixel = frame.Pixels();
    const std::size_t n = frame.PixelBytes();
    for (std::size_t i = 0; i < n; ++i, ++pixel) {
        if (*pixel == transparentIndex) {
            seen = true;
            continue;
        }
        if (*pixel >= entries) {
            *pixel = 0;
            Table_.ReportWarning(GIFText::ColorNotInTable);
            if (entries == 0) continue; // nothing to count it as
        }
        std::int32_t& count = Entries_[*pixel].Count;
        if (count == MaxCount) break;
        ++count;
    }
    if (transparent && !seen) {
        frame.GraphicControlExtension()->SetTransparentColorIndex(0);
        frame.GraphicControlExtension()->SetTransparent(false);
    }
    return seen;
}

void THistogram::DropUnused() {
    std::sort(Live_.begin(), Live_.end(), ByUse);
    Live_.erase(
        std::find_if(Live_.begin(), Live_.end(), [](const THistogramEntry* e) { return e->Count == 0; }),
        Live_.end());
}

bool THistogram::FitsFinalTable(const TGIFSubImage& frame) const {
    const int transparentIndex =
        IsTransparent(frame) ? frame.GraphicControlExtension()->TransparentColorIndex() : -1;
    const std::uint8_t* pixel = frame.Pixels();
    for (std::size_t i = 0; i < frame.PixelBytes(); ++i, ++pixel)
        if (*pixel != transparentIndex && *pixel < Entries_.size() && !Entries_[*pixel].Kept) return false;
    return true;
}

std::vector<THistogramEntry*> THistogram::UsedBy(const TGIFSubImage& frame) {
    const int transparentIndex =
        IsTransparent(frame) ? frame.GraphicControlExtension()->TransparentColorIndex() : -1;
    std::vector<bool> seen(Entries_.size(), false);
    std::vector<THistogramEntry*> used;
    const std::uint8_t* pixel = frame.Pixels();
    for (std::size_t i = 0; i < frame.PixelBytes(); ++i, ++pixel) {
        if (*pixel == transparentIndex || *pixel >= Entries_.size() || seen[*pixel]) continue;
        seen[*pixel] = true;
        THistogramEntry* e = &Entries_[*pixel];
        used.push_back(e->MergedInto ? e->MergedInto : e);
    }
    return used;
}

void TColorMapOptimizer::Count() {
    TransparencyUsed_ = false;
    TGIFColorMap& global = Image_.GlobalColorMap();
    if (global.Count() > 0) {
        auto histogram = std::make_unique<THistogram>(global, 0);
        for (TGIFSubImage* frame : Image_.Images())
            if (!frame->Empty() && frame->ColorMap().Count() == 0 && histogram->CountFrame(*frame))
                TransparencyUsed_ = true;
        if (!histogram->Frames().empty()) Histograms_.push_back(std::move(histogram));
    }
    for (TGIFSubImage* frame : Image_.Images()) {
        if (frame->ColorMap().Count() == 0 || frame->Empty()) continue;
        auto histogram =
            std::make_unique<THistogram>(frame->ColorMap(), static_cast<int>(Histograms_.size()) + 1);
        if (histogram->CountFrame(*frame)) TransparencyUsed_ = true;
        Histograms_.push_back(std::move(histogram));
    }
}

bool TColorMapOptimizer::MergeEqualColors() {
    if (Combined_.empty()) return false;
    std::sort(Combined_.begin(), Combined_.end(), ByColor);
    THistogramEntry* kept = Combined_.front();
    for (std::size_t i = 1; i < Combined_.size(); ++i) {
        THistogramEntry* e = Combined_[i];
        if (e->Red == kept->Red && e->Green == kept->Green && e->Blue == kept->Blue) {
            kept->Count = static_cast<std::int32_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(kept->Count) + e->Count, MaxCount));
            e->Count = 0;
            e->MergedInto = kept;
        } else {
            kept = e;
        }
    }
    return true;
}

void TColorMapOptimizer::BuildFinalTable() {
    std::sort(Combined_.begin(), Combined_.end(), ByUse);
    const int limit = TransparencyUsed_ ? 255 : 256;
    const auto live = std::count_if(Combined_.begin(), Combined_.end(),
                                    [](const THistogramEntry* e) { return e->Count > 0; });
    if (live > limit) {
        // More colours than one table holds: the table takes whole frames' colours first (frames of the
        // fewest colours first, while they fit), so that those frames need no table of their own, then
        // the most used of the rest.
        std::vector<std::vector<THistogramEntry*>> frames;
        for (auto& histogram : Histograms_)
            for (TGIFSubImage* frame : histogram->Frames())
                frames.push_back(histogram->UsedBy(*frame));
        std::stable_sort(frames.begin(), frames.end(),
                         [](const auto& a, const auto& b) { return a.size() > b.size(); });
        std::unordered_set<THistogramEntry*> chosen;
        for (const auto& used : frames) {
            const auto fresh =
                std::count_if(used.begin(), used.end(), [&](THistogramEntry* e) { return !chosen.count(e); });
            if (static_cast<long>(chosen.size()) + fresh > limit) continue;
            chosen.insert(used.begin(), used.end());
        }
        std::stable_partition(Combined_.begin(), Combined_.end(),
                              [&](THistogramEntry* e) { return chosen.count(e) > 0; });
    }
    FinalCount_ = 0;
    while (FinalCount_ < limit && FinalCount_ < static_cast<int>(Combined_.size()) &&
           Combined_[static_cast<std::size_t>(FinalCount_)]->Count > 0) {
        THistogramEntry* e = Combined_[static_cast<std::size_t>(FinalCount_)];
        e->NewIndex = FinalCount_;
        e->Kept = true;
        FinalTable_[3 * FinalCount_] = e->Red;
        FinalTable_[3 * FinalCount_ + 1] = e->Green;
        FinalTable_[3 * FinalCount_ + 2] = e->Blue;
        ++FinalCount_;
    }
    // Colours that did not fit go to the kept colour with the nearest sum of red, green and blue.
    for (std::size_t i = static_cast<std::size_t>(FinalCount_); i < Combined_.size(); ++i) {
        THistogramEntry* e = Combined_[i];
        if (e->Count == 0) continue;
        const int sum = e->Red + e->Green + e->Blue;
        int best = 0, bestDistance = 0x7FFFFFFF;
        for (int k = 0; k < FinalCount_; ++k) {
            const int d =
                std::abs(FinalTable_[3 * k] + FinalTable_[3 * k + 1] + FinalTable_[3 * k + 2] - sum);
            if (d < bestDistance) {
                bestDistance = d;
                best = k;
            }
        }
        e->NewIndex = best;
    }
    // Merged colours follow the entry that took their count.
    for (THistogramEntry* e : Combined_)
        if (e->MergedInto) e->NewIndex = e->MergedInto->NewIndex, e->Kept = e->MergedInto->Kept;
    if (TransparencyUsed_) {
        NewTransparentIndex_ = FinalCount_;
        FinalTable_[3 * FinalCount_] = FinalTable_[3 * FinalCount_ + 1] = FinalTable_[3 * FinalCount_ + 2] =
            0;
        ++FinalCount_;
    }
}

void TColorMapOptimizer::Install() {
    for (TGIFSubImage* frame : Image_.Images())
        frame->ColorMap().ClearColors();
    Image_.GlobalColorMap().ImportRGBTriples(FinalTable_, FinalCount_);
    Image_.GlobalColorMap().SetSorted(true);
}

void TColorMapOptimizer::Remap(THistogram& histogram, const std::vector<TGIFSubImage*>& ownTables) {
    std::uint8_t translation[256] = {};
    for (const THistogramEntry* e : histogram.Live())
        translation[e->OldIndex] = static_cast<std::uint8_t>(std::min(e->NewIndex, 255));
    for (TGIFSubImage* frame : histogram.Frames()) {
        if (std::find(ownTables.begin(), ownTables.end(), frame) != ownTables.end()) continue;
        int oldTransparent = -1;
        if (IsTransparent(*frame) && TransparencyUsed_) {
            oldTransparent = frame->GraphicControlExtension()->TransparentColorIndex();
            frame->GraphicControlExtension()->SetTransparentColorIndex(NewTransparentIndex_);
        }
        std::uint8_t* pixel = frame->Pixels();
        for (std::size_t i = 0; i < frame->PixelBytes(); ++i, ++pixel)
            *pixel = *pixel == oldTransparent ? static_cast<std::uint8_t>(NewTransparentIndex_)
                                              : translation[*pixel];
    }
}

void TColorMapOptimizer::Optimize() {
    Count();
    for (auto& histogram : Histograms_) {
        histogram->DropUnused();
        Combined_.insert(Combined_.end(), histogram->Live().begin(), histogram->Live().end());
    }
    // No counted pixel at all (no frame with pixels, or only transparent ones): the tables stay.
    if (!MergeEqualColors()) return;
    BuildFinalTable();
    // A frame with a colour that did not fit keeps the table it had (its pixels and transparent index
    // stay), so that no pixel changes colour; the others use the global table.
    std::vector<TGIFSubImage*> ownTables;
    std::vector<std::vector<std::uint8_t>> ownColors;
    for (auto& histogram : Histograms_)
        for (TGIFSubImage* frame : histogram->Frames())
            if (!histogram->FitsFinalTable(*frame)) {
                const TGIFColorMap& table = histogram->Table();
                ownTables.push_back(frame);
                ownColors.emplace_back(table.Data(), table.Data() + 3 * table.Count());
            }
    Install();
    for (std::size_t k = 0; k < ownTables.size(); ++k)
        ownTables[k]->ColorMap().ImportRGBTriples(ownColors[k].data(),
                                                  static_cast<int>(ownColors[k].size() / 3));
    for (auto& histogram : Histograms_)
        Remap(*histogram, ownTables);
    for (TGIFSubImage* frame : Image_.Images())
        frame->DropCaches();
}

void OptimizeColorMaps(TGIFPicture& image) {
    image.StopAttachedWork();
    auto rendering = LockRendering(&image);
    TColorMapOptimizer(image).Optimize();
}

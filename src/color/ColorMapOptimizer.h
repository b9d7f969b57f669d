#pragma once
// The colour map optimizer: replaces all colour tables of a picture by one global table holding
// only the colours its pixels use, most used first (at most 256, the last one black for the
// transparent pixels when any frame has some), and rewrites every frame's pixels and transparent
// index to it. When the frames use more colours than one table holds, a frame whose colours are not
// all in the global table keeps a local table of the colours it had, so no pixel changes colour. Ties in use
// keep a fixed order (table by table as the frames come, then by old index), so the same picture always gives
// the same file.

#include <cstdint>
#include <memory>
#include <vector>

class TGIFPicture;
class TGIFSubImage;
class TGIFColorMap;

// One entry of a counted table.
struct THistogramEntry {
    std::int32_t Count = 0;
    int OldIndex = 0;
    int NewIndex = 256;
    std::uint8_t Red = 0, Green = 0, Blue = 0;
    int Table = 0;                         // the histogram it belongs to, for a stable order
    THistogramEntry* MergedInto = nullptr; // set when an equal colour took its count
    bool Kept = false;                     // its colour is in the final table
};

class THistogram {
  public:
    THistogram(TGIFColorMap& table, int order);
    // Counts the frame's pixels (not its transparent ones); answers whether it had transparent pixels.
    bool CountFrame(TGIFSubImage& frame);
    // Sorts the live entries by use and lets the unused ones go.
    void DropUnused();
    // Whether every pixel of the frame (one of this table's) keeps its colour in the final table.
    bool FitsFinalTable(const TGIFSubImage& frame) const;
    // The entries the frame's pixels show (an entry merged into another counts as that one).
    std::vector<THistogramEntry*> UsedBy(const TGIFSubImage& frame);

    TGIFColorMap& Table() { return Table_; }
    std::vector<THistogramEntry*>& Live() { return Live_; }
    const std::vector<TGIFSubImage*>& Frames() const { return Frames_; }

  private:
    TGIFColorMap& Table_;
    std::vector<THistogramEntry> Entries_;
    std::vector<THistogramEntry*> Live_;
    std::vector<TGIFSubImage*> Frames_;
};

class TColorMapOptimizer {
  public:
    explicit TColorMapOptimizer(TGIFPicture& image) : Image_(image) {}
    void Optimize();

  private:
    void Count();
    bool MergeEqualColors(); // false when no pixel was counted at all
    void BuildFinalTable();
    void Install();
    void Remap(THistogram& histogram, const std::vector<TGIFSubImage*>& ownTables);

    TGIFPicture& Image_;
    std::vector<std::unique_ptr<THistogram>> Histograms_;
    std::vector<THistogramEntry*> Combined_;
    std::uint8_t FinalTable_[256 * 3] = {};
    int FinalCount_ = 0;
    bool TransparencyUsed_ = false;
    int NewTransparentIndex_ = 0;
};

// Runs the optimizer on the picture (stopping its painters first and holding its painter lock).
void OptimizeColorMaps(TGIFPicture& image);

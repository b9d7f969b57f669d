#pragma once
// TColorQuantizer: octree colour quantizing. Colours are inserted into a tree that branches on one
// bit of red, green and blue per level; whenever more than ColorLimit leaves exist, the most
// recently created mergeable node of the deepest level is folded into a leaf holding the
// pixel-weighted sum of its children. Collecting the leaves depth first (children 0-7) gives the
// palette in octree order.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "Bitmap.h"
#include "Palette.h"

struct TOctreeNode {
    bool Terminal = false;
    std::uint32_t Hits = 0;
    // Sums are kept in 64 bits so that large pictures cannot wrap them round.
    std::uint64_t SumR = 0;
    std::uint64_t SumG = 0;
    std::uint64_t SumB = 0;
    TOctreeNode* NextMergeable = nullptr;
    std::array<TOctreeNode*, 8> Children{};
};

class TColorQuantizer {
  public:
    // colorLimit is at least 1; depth is clamped to 1-8 (8 on every use in the program).
    TColorQuantizer(int colorLimit, int depth);
    ~TColorQuantizer();
    TColorQuantizer(const TColorQuantizer&) = delete;
    TColorQuantizer& operator=(const TColorQuantizer&) = delete;

    // Inserts every pixel, rows from the top, left to right; the bitmap is converted to 24 bits.
    void ProcessImage(TBitmap& bitmap);
    // Inserts one colour and merges while there are too many leaves.
    void AddColor(int red, int green, int blue);
    // The leaves' average colours, depth first.
    std::vector<TRGBQuad> Colors() const;

    int TerminalCount() const { return TerminalCount_; }
    int ColorLimit() const { return ColorLimit_; }
    int Depth() const { return Depth_; }

  private:
    TOctreeNode* NewNode(int level);
    bool MergeOne();                  // false when no node is left to merge
    void Release(TOctreeNode* node);  // back to the pool (a node without children)

    // Nodes come from blocks owned here and return to a free list; the tree never holds more than
    // ColorLimit leaves plus their ancestors, so the blocks stay few.
    std::vector<std::unique_ptr<TOctreeNode[]>> Blocks_;
    int UsedInLastBlock_ = 0;
    TOctreeNode* Free_ = nullptr;

    TOctreeNode* Root_ = nullptr;
    int TerminalCount_ = 0;
    std::array<TOctreeNode*, 8> MergeableByLevel_{};
    int ColorLimit_;
    int Depth_;
};

#include "ColorQuantizer.h"

#include <algorithm>

#include "DIB.h"

TColorQuantizer::TColorQuantizer(int colorLimit, int depth)
    : ColorLimit_(std::max(colorLimit, 1)), Depth_(std::clamp(depth, 1, 8)) {}

TColorQuantizer::~TColorQuantizer() = default; // the blocks hold every node

void TColorQuantizer::Release(TOctreeNode* node) {
    node->NextMergeable = Free_;
    Free_ = node;
}

TOctreeNode* TColorQuantizer::NewNode(int level) {
    constexpr int BlockSize = 512;
    TOctreeNode* node;
    if (Free_) {
        node = Free_;
        Free_ = node->NextMergeable;
        *node = TOctreeNode{};
    } else {
        if (Blocks_.empty() || UsedInLastBlock_ == BlockSize) {
            Blocks_.push_back(std::make_unique<TOctreeNode[]>(BlockSize));
            UsedInLastBlock_ = 0;
        }
        node = &Blocks_.back()[static_cast<std::size_t>(UsedInLastBlock_++)];
    }
    if (level == Depth_) {
        node->Terminal = true;
        ++TerminalCount_;
    } else {
        node->NextMergeable = MergeableByLevel_[static_cast<std::size_t>(level)];
        MergeableByLevel_[static_cast<std::size_t>(level)] = node;
    }
    return node;
}

void TColorQuantizer::AddColor(int red, int green, int blue) {
    TOctreeNode** ref = &Root_;
    for (int level = 0;; ++level) {
        if (!*ref) *ref = NewNode(level);
        TOctreeNode* node = *ref;
        if (node->Terminal) {
            ++node->Hits;
            node->SumR += static_cast<std::uint32_t>(red);
            node->SumG += static_cast<std::uint32_t>(green);
            node->SumB += static_cast<std::uint32_t>(blue);
            break;
        }
        const int shift = 7 - level;
        const int child = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
        ref = &node->Children[static_cast<std::size_t>(child)];
    }
    while (TerminalCount_ > ColorLimit_ && MergeOne()) {
    }
}

bool TColorQuantizer::MergeOne() {
    int level = Depth_ - 1;
    while (level > 0 && !MergeableByLevel_[static_cast<std::size_t>(level)])
        --level;
    TOctreeNode* node = MergeableByLevel_[static_cast<std::size_t>(level)];
    if (!node) return false; // cannot happen while the limit is at least 1
    MergeableByLevel_[static_cast<std::size_t>(level)] = node->NextMergeable;
    node->NextMergeable = nullptr;

    std::uint64_t r = 0, g = 0, b = 0;
    int children = 0;
    for (TOctreeNode*& child : node->Children) {
        if (!child) continue;
        node->Hits += child->Hits;
        r += child->SumR;
        g += child->SumG;
        b += child->SumB;
        Release(child); // a leaf: the deeper levels hold no mergeable node
        child = nullptr;
        ++children;
    }
    node->Terminal = true;
    node->SumR = r;
    node->SumG = g;
    node->SumB = b;
    TerminalCount_ -= children - 1;
    return true;
}

void TColorQuantizer::ProcessImage(TBitmap& bitmap) {
    TDIBReader reader(bitmap, pf24bit);
    const int width = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = reader.RowPointer(y);
        for (int x = 0; x < width; ++x)
            AddColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
}

std::vector<TRGBQuad> TColorQuantizer::Colors() const {
    std::vector<TRGBQuad> colors;
    if (!Root_) return colors;
    // Depth first, children in the order 0-7: push them reversed.
    std::vector<const TOctreeNode*> stack{Root_};
    while (!stack.empty()) {
        const TOctreeNode* n = stack.back();
        stack.pop_back();
        if (n->Terminal) {
            TRGBQuad q;
            if (n->Hits > 0) {
                q.Red = static_cast<std::uint8_t>(n->SumR / n->Hits);
                q.Green = static_cast<std::uint8_t>(n->SumG / n->Hits);
                q.Blue = static_cast<std::uint8_t>(n->SumB / n->Hits);
            }
            colors.push_back(q);
            continue;
        }
        for (int i = 7; i >= 0; --i)
            if (n->Children[static_cast<std::size_t>(i)])
                stack.push_back(n->Children[static_cast<std::size_t>(i)]);
    }
    return colors;
}

#pragma once
// Four frames A B C D, each of one colour of its own, for tests that move frames and read the order
// back.

#include "IconDocument.h"
#include "Surface32.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <iterator>

constexpr uint32_t FrameTags[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u}; // A B C D

// The current frame becomes A (painted over without an undo step); B, C and D are inserted after it.
inline void MakeTaggedFrames(TIconDocument& doc) {
    doc.WorkBitmap().FillAll(FrameTags[0]);
    doc.CommitFrame();
    for (int k = 1; k < 4; ++k) {
        TSurface32 picture(40, 40);
        picture.FillAll(FrameTags[k]);
        doc.InsertFrame(TInsertPosition::After, picture, 100);
    }
}

// The frames' letters in their order ("E" for a frame of none of the colours).
inline QString TaggedOrder(const TIconDocument& doc) {
    QString order;
    for (int i = 0; i < doc.FrameCount(); ++i) {
        const uint32_t* tag =
            std::find(std::begin(FrameTags), std::end(FrameTags), doc.FrameBitmap(i).GetPixel(20, 20));
        order += QChar('A' + int(tag - std::begin(FrameTags)));
    }
    return order;
}

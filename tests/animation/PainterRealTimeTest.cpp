// The painter on a real thread with the real clock: generous bounds only, these check behaviour,
// not speed.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "PainterTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

constexpr std::uint16_t Preview = 0x5D; // threaded, animate, loop, loop without end, direct

TEST(PainterRealTime, FramesKeepTheirDelaysAndStopIsPrompt) {
    TPainterEnvironment env;
    TBitmap target(40, 40, pf32bit);
    TCanvas canvas(target);
    auto image = MakePicture(Frames({10, 10, 10, 10, 2000}));
    std::vector<Clock::time_point> shownAt;
    TGIFPainter::AnimationOf(*image).OnPaint = [&](TGIFPainter*) { shownAt.push_back(Clock::now()); };
    ASSERT_NE(TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40), Preview), nullptr);
    // Frames 0..4 come 120 ms apart; frame 4 then stands for 24 s.
    ASSERT_TRUE(PumpUntil(env.Sync, [&] { return shownAt.size() == 5; }));
    const auto span = std::chrono::duration_cast<std::chrono::milliseconds>(shownAt[4] - shownAt[0]).count();
    EXPECT_GE(span, 4 * 120 - 40);
    EXPECT_LE(span, 4 * 120 * 5);
    EXPECT_EQ(target.Pixel(20, 20), 0x0000FFu);

    const auto stopStart = Clock::now();
    TGIFPainter::StopPainting(*image);
    EXPECT_LT(MsSince(stopStart), 2000);
    EXPECT_EQ(PainterCount(*image), 0u);
}

// The user-interface thread edits the frames (commit, insert, remove, move) while the painter plays
// them; run under ThreadSanitizer this shows that nothing is shared without a guard.
TEST(PainterRealTime, EditingWhilePlayingIsSafe) {
    TPainterEnvironment env;
    TBitmap target(40, 40, pf32bit);
    TCanvas canvas(target);
    auto image = MakePicture(Frames({3, 3, 3}));
    int painted = 0;
    TGIFPainter::AnimationOf(*image).OnAfterPaint = [&](TGIFPainter*) { ++painted; };
    TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40), Preview);
    for (int round = 0; round < 12; ++round) {
        const int before = painted;
        ASSERT_TRUE(PumpUntil(env.Sync, [&] { return painted > before; }));
        switch (round % 4) {
        case 0: { // a frame's pixels and colours change
            TGIFSubImage* frame = image->Images().ItemAt(0);
            frame->ColorMap().SetColorAt(0, 0x00FF00);
            frame->DropCaches();
            break;
        }
        case 1: { // a frame is inserted
            auto extra = MakePicture(Frames({3}));
            auto frameOwned = std::make_unique<TGIFSubImage>(image.get());
            auto* frame = frameOwned.get();
            frame->CopyFrom(*extra->Images().ItemAt(0));
            image->Images().InsertAt(1, std::move(frameOwned));
            break;
        }
        case 2: // frames move
            image->Images().MoveItem(0, image->Images().ItemCount() - 1);
            break;
        case 3: // a frame is removed
            image->Images().DeleteAt(image->Images().ItemCount() - 1);
            break;
        }
    }
    TGIFPainter::StopPainting(*image);
    EXPECT_EQ(PainterCount(*image), 0u);
    EXPECT_GE(painted, 12);
}

} // namespace

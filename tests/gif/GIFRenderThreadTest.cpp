#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "Bitmap.h"
#include "Canvas.h"
#include "FrameFixtures.h"
#include "GIFRender.h"

// A painter thread renders and draws a frame while the user-interface thread keeps recolouring it
// (holding the render lock for each change, as edits do while a painter may run). Every rendering
// the painter gets must show one whole version of the colours, never a mix.
TEST(GIFRenderThreads, RenderingSeesWholeChangesOnly) {
    TGIFPicture image;
    const std::vector<TGIFColor> first(16, Rgb(10, 20, 30));
    TGIFSubImage& frame = AppendTestFrame(
        image, 0, 0, 24, 24, first, [](int x, int y) { return (x * y) % 16; }, 3);
    std::atomic<bool> stop{false};
    std::atomic<int> mixed{0}, rendered{0};
    std::thread painter([&] {
        TBitmap target(24, 24, pf32bit);
        TCanvas canvas(target);
        while (!stop) {
            const std::shared_ptr<TBitmap> bitmap = RenderFrame(frame);
            if (!bitmap) continue;
            const TPalette& p = bitmap->Palette();
            for (int i = 1; i < p.Count(); ++i)
                if (p.ColorAt(i) != p.ColorAt(0)) ++mixed;
            FrameHasMask(frame);
            DrawFrame(frame, canvas, TRect(0, 0, 24, 24), false, true);
            ++rendered;
        }
    });
    for (int round = 0; round < 400 || rendered < 20; ++round) {
        const auto lock = LockRendering(&image);
        const TGIFColor c = Rgb(round & 0xFF, 255 - (round & 0xFF), 7);
        for (int i = 0; i < 16; ++i)
            frame.ColorMap().SetColorAt(i, c);
    }
    stop = true;
    painter.join();
    EXPECT_EQ(mixed, 0);
    EXPECT_GT(rendered, 0);
}

// The animation painter driven by a simulated clock: frame timing, passes and loop counts, the
// callbacks, the disposal surfaces, stopping and errors.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>

#include "GIFRender.h"
#include "PainterTestSupport.h"

namespace {

constexpr std::uint16_t Threaded = pfThreaded | pfAnimate;              // 0x05
constexpr std::uint16_t ThreadedLoop = pfThreaded | pfAnimate | pfLoop; // 0x0D
constexpr std::uint16_t ThreadedEndless = ThreadedLoop | pfLoopForever; // 0x1D
constexpr std::uint16_t Preview = ThreadedEndless | pfDirectDraw;       // 0x5D
constexpr std::uint16_t Unthreaded = pfAnimate;                         // 0x04

class PainterTest : public ::testing::Test {
  protected:
    TFakeTime Time;
    TPainterEnvironment Env{&Time};
    TBitmap Target{40, 40, pf32bit};
};

struct TTimingCase {
    const char* Name;
    std::vector<int> Delays;
    int Speed;
    std::vector<std::int64_t> Waits; // the waits before the second and later frames
};

TEST_F(PainterTest, ThreadedWaitsFollowDelaysAndSpeed) {
    const TTimingCase cases[] = {
        {"10 hundredths at speed 100 last 120 ms", {10, 10, 10}, 100, {120, 120}},
        {"1 hundredth is raised to the minimum", {1, 1, 1}, 100, {36, 36}},
        {"0 uses the default delay", {0, 0, 0}, 100, {120, 120}},
        {"no graphic control extension uses the default", {-1, -1}, 100, {120}},
        {"speed 200 halves every wait", {10, 20, 10}, 200, {60, 120}},
        {"speed 50 doubles every wait", {10, 20, 10}, 50, {240, 480}},
        {"2000 stays 2000 when threaded", {2000, 2000}, 100, {24000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TFrameSetup> frames;
        for (int d : c.Delays)
            frames.push_back(TFrameSetup{d});
        auto image = MakePicture(frames);
        image->PlaybackSpeed = c.Speed;
        TFakeTime time;
        TTimeSource::Install(&time);
        const auto shown = PlayToEnd(*image, Env.Sync, Threaded, Target);
        TTimeSource::Install(&Time);
        EXPECT_EQ(shown.size(), c.Delays.size());
        EXPECT_EQ(time.Waits(), c.Waits);
    }
}

TEST_F(PainterTest, HalfOfAnOverrunIsTakenOffTheNextWait) {
    auto image = MakePicture(Frames({10, 10, 10}));
    TGIFPainter::AnimationOf(*image).OnPaint = [&](TGIFPainter*) {
        Time.Now += 30;
    }; // each frame takes 30 ms to show
    std::vector<int> shown = PlayToEnd(*image, Env.Sync, Threaded, Target);
    EXPECT_EQ(shown.size(), 3u);
    // The first frame's 30 ms come off the wait for the second one by half, and so on.
    EXPECT_EQ(Time.Waits(), (std::vector<std::int64_t>{105, 105}));
}

TEST_F(PainterTest, UnthreadedSleepsInStepsAndCapsLongDelays) {
    auto image = MakePicture(Frames({2000, 5}));
    const auto shown = PlayToEnd(*image, Env.Sync, Unthreaded, Target);
    EXPECT_EQ(shown, (std::vector<int>{0, 1}));
    const auto sleeps = Time.Sleeps();
    ASSERT_FALSE(sleeps.empty());
    // Before the first frame: one hundredth; then 2000 hundredths capped to 1000 = 12 s, in
    // steps of at most 100 ms.
    EXPECT_EQ(sleeps.front(), 12);
    std::int64_t rest = 0;
    for (std::size_t i = 1; i < sleeps.size(); ++i) {
        EXPECT_LE(sleeps[i], 100);
        rest += sleeps[i];
    }
    EXPECT_EQ(rest, 12000);
    EXPECT_TRUE(Time.Waits().empty());
}

TEST_F(PainterTest, SpeedZeroStaysOnTheFirstFrameUntilStopped) {
    auto image = MakePicture(Frames({10, 10}));
    image->PlaybackSpeed = 0;
    std::vector<int> shown;
    TGIFPainter::AnimationOf(*image).OnAfterPaint = [&](TGIFPainter* p) {
        shown.push_back(p->ActiveFrame());
    };
    TCanvas canvas(Target);
    ASSERT_NE(TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40), ThreadedEndless), nullptr);
    ASSERT_TRUE(PumpUntil(Env.Sync, [&] { return !Time.Waits().empty(); }));
    EXPECT_EQ(Time.Waits(), (std::vector<std::int64_t>{TFakeTime::Endless}));
    TGIFPainter::StopPainting(*image);
    EXPECT_EQ(PainterCount(*image), 0u);
    EXPECT_EQ(shown, (std::vector<int>{0}));
}

TEST_F(PainterTest, NegativeSpeedCountsAsZero) {
    auto image = MakePicture(Frames({10, 10}));
    image->PlaybackSpeed = -50;
    TCanvas canvas(Target);
    TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40), ThreadedEndless);
    ASSERT_TRUE(PumpUntil(Env.Sync, [&] { return !Time.Waits().empty(); }));
    EXPECT_EQ(Time.Waits().front(), TFakeTime::Endless);
    TGIFPainter::StopPainting(*image);
}

struct TPassCase {
    const char* Name;
    int FrameCount;
    int Loops;     // NoLoopExtension: none
    int LoopFrame; // frame holding the looping extension
    std::uint16_t Flags;
    int StopAfter; // 0: play to the end
    std::vector<int> Shown;
};

TEST_F(PainterTest, PassesFollowTheLoopingExtensionAndTheFlags) {
    const TPassCase cases[] = {
        {"count 3 gives three passes", 2, 3, 0, ThreadedLoop, 0, {0, 1, 0, 1, 0, 1}},
        {"later passes restart at the extension's frame", 3, 2, 1, ThreadedLoop, 0, {0, 1, 2, 1, 2}},
        {"count 0 plays without end when threaded", 2, 0, 0, ThreadedLoop, 7, {0, 1, 0, 1, 0, 1, 0}},
        {"no extension gives one pass", 2, NoLoopExtension, 0, ThreadedLoop, 0, {0, 1}},
        {"loop without end repeats whatever the count", 2, 2, 0, ThreadedEndless, 7, {0, 1, 0, 1, 0, 1, 0}},
        {"without the loop flag one pass even when endless",
         2,
         3,
         0,
         static_cast<std::uint16_t>(Threaded | pfLoopForever),
         0,
         {0, 1}},
        {"without animate only the first frame", 3, NoLoopExtension, 0, pfThreaded, 0, {0}},
        {"unthreaded count 2", 2, 2, 0, static_cast<std::uint16_t>(Unthreaded | pfLoop), 0, {0, 1, 0, 1}},
        {"unthreaded count 0 is one pass",
         2,
         0,
         0,
         static_cast<std::uint16_t>(Unthreaded | pfLoop),
         0,
         {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TFrameSetup> frames(static_cast<std::size_t>(c.FrameCount));
        auto image = MakePicture(frames, c.Loops, c.LoopFrame);
        EXPECT_EQ(PlayToEnd(*image, Env.Sync, c.Flags, Target, c.StopAfter), c.Shown);
        EXPECT_EQ(PainterCount(*image), 0u);
    }
}

TEST_F(PainterTest, OneFramePicturePaintsOnceInTheCallersThread) {
    auto image = MakePicture(Frames({10}));
    std::vector<std::thread::id> threads;
    TGIFPainter::AnimationOf(*image).OnAfterPaint = [&](TGIFPainter*) {
        threads.push_back(std::this_thread::get_id());
    };
    TCanvas canvas(Target);
    EXPECT_EQ(TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40), Preview), nullptr);
    ASSERT_EQ(threads.size(), 1u);
    EXPECT_EQ(threads[0], std::this_thread::get_id());
    EXPECT_EQ(Target.Pixel(5, 5), 0x0000FFu);
    EXPECT_EQ(PainterCount(*image), 0u);
}

TEST_F(PainterTest, NothingToPaintGivesNoPainter) {
    TGIFPicture empty;
    TCanvas canvas(Target);
    TGIFPainter* slot = reinterpret_cast<TGIFPainter*>(&slot); // anything but null
    EXPECT_EQ(TGIFPainter::CreatePainter(empty, &slot, canvas, Preview, TRect(0, 0, 40, 40)), nullptr);
    EXPECT_EQ(slot, nullptr);
    auto image = MakePicture(Frames({10, 10}));
    EXPECT_EQ(TGIFPainter::StartPainting(*image, canvas, TRect(5, 5, 5, 40), Preview), nullptr);
    EXPECT_EQ(PainterCount(*image), 0u);
}

TEST_F(PainterTest, CallbacksRunInOrderOnTheUserInterfaceThread) {
    auto image = MakePicture(Frames({10, 10, 10}), 2);
    std::vector<std::string> events;
    bool allOnMain = true;
    auto note = [&](const std::string& what) {
        return [&, what](TGIFPainter* p) {
            allOnMain = allOnMain && Env.Sync.InMainThread();
            events.push_back(what + std::to_string(p->ActiveFrame()));
        };
    };
    TGIFPainter::AnimationOf(*image).OnStartPaint = note("start");
    TGIFPainter::AnimationOf(*image).OnPaint = note("paint");
    TGIFPainter::AnimationOf(*image).OnLoop = note("loop");
    TGIFPainter::AnimationOf(*image).OnEndPaint = note("end");
    // After frame 0 of the first pass, jump to frame 2.
    TGIFPainter::AnimationOf(*image).OnAfterPaint = [&](TGIFPainter* p) {
        events.push_back("after" + std::to_string(p->ActiveFrame()));
        if (events.size() < 4 && p->ActiveFrame() == 0) p->SetActiveFrame(2);
    };
    PlayToEnd(*image, Env.Sync, ThreadedLoop, Target);
    EXPECT_TRUE(allOnMain);
    const std::vector<std::string> expected = {"start0", "paint0", "after0", "paint2", "after2",
                                               "loop0",  "paint0", "after0", "paint1", "after1",
                                               "paint2", "after2", "end-1"};
    EXPECT_EQ(events, expected);
}

TEST_F(PainterTest, StopPaintingEndsAWaitingPainterAndRunsItsPendingCalls) {
    auto image = MakePicture(Frames({10, 10}));
    image->PlaybackSpeed = 0; // the painter waits without end after the first frame
    int ended = 0;
    TGIFPainter::AnimationOf(*image).OnEndPaint = [&](TGIFPainter*) { ++ended; };
    TCanvas canvas(Target);
    TGIFPainter* slot = nullptr;
    TGIFPainter* painter = TGIFPainter::CreatePainter(*image, &slot, canvas, Preview, TRect(0, 0, 40, 40));
    ASSERT_NE(painter, nullptr);
    EXPECT_EQ(slot, painter);
    EXPECT_TRUE(painter->HasWakeEvent());
    painter->StartPainter();
    ASSERT_TRUE(PumpUntil(Env.Sync, [&] { return !Time.Waits().empty(); }));
    // The end callback is a synchronised call the painter waits for: StopPainting must run it.
    TGIFPainter::StopPainting(*image);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(PainterCount(*image), 0u);
}

TEST_F(PainterTest, StopPaintingEndsASuspendedPainter) {
    auto image = MakePicture(Frames({10, 10}));
    TCanvas canvas(Target);
    ASSERT_NE(TGIFPainter::CreatePainter(*image, nullptr, canvas, Preview, TRect(0, 0, 40, 40)), nullptr);
    EXPECT_EQ(PainterCount(*image), 1u);
    TGIFPainter::StopPainting(*image);
    EXPECT_EQ(PainterCount(*image), 0u);
}

TEST_F(PainterTest, ClearingOrDestroyingThePictureStopsItsPainters) {
    auto image = MakePicture(Frames({10, 10}));
    image->PlaybackSpeed = 0;
    TCanvas canvas(Target);
    TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40), Preview);
    ASSERT_TRUE(PumpUntil(Env.Sync, [&] { return !Time.Waits().empty(); }));
    image->ClearAll();
    EXPECT_EQ(PainterCount(*image), 0u);

    image = MakePicture(Frames({10, 10}));
    image->PlaybackSpeed = 0;
    TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40), Preview);
    image.reset(); // must wait for the painter, not leave it with a dangling picture
}

TEST_F(PainterTest, ErrorsEndThePainterWithoutEndingTheProcess) {
    auto image = MakePicture(Frames({10, 10, 10}));
    std::string reported;
    TGIFPainter::SetErrorHandler([&](const std::string& message) {
        EXPECT_TRUE(Env.Sync.InMainThread());
        reported = message;
    });
    int painted = 0;
    TGIFPainter::AnimationOf(*image).OnAfterPaint = [&](TGIFPainter*) {
        if (++painted == 2) throw std::runtime_error("callback failed");
    };
    TCanvas canvas(Target);
    TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40), ThreadedEndless);
    ASSERT_TRUE(PumpUntil(Env.Sync, [&] { return PainterCount(*image) == 0; }));
    EXPECT_EQ(reported, "callback failed");
    EXPECT_EQ(painted, 2);
    TGIFPainter::SetErrorHandler(nullptr);

    // Unthreaded, the held error comes back to the caller.
    painted = 0;
    EXPECT_THROW(TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40), Unthreaded),
                 std::runtime_error);
    EXPECT_EQ(PainterCount(*image), 0u);
}

// Disposal: what the target and the backup hold after a frame has been shown.
struct TProbe {
    int AfterFrame;
    int X, Y;
    TColorRef Target;
    TColorRef Backup;
};

struct TDisposalCase {
    const char* Name;
    std::vector<TFrameSetup> Frames;
    std::uint16_t ExtraFlags;
    std::vector<TProbe> Probes;
};

constexpr TColorRef Red = 0x0000FF, Blue = 0xFF0000, Green = 0x00FF00, White = 0xFFFFFF, Yellow = 0x00FFFF;

TEST_F(PainterTest, DisposalSurfaces) {
    const TFrameSetup redBase{10, 1, Red};
    const TDisposalCase cases[] = {
        {"3 after 1 is drawn on the target and leaves the backup",
         {redBase, {10, 3, Blue, 0, 0, 10, 10}, {10, 1, Green, 20, 20, 10, 10}},
         0,
         {{1, 5, 5, Blue, Red}, {2, 5, 5, Red, Red}, {2, 25, 25, Green, Green}}},
        {"2 restores its area in the backup to the background colour",
         {redBase, {10, 2, Blue, 0, 0, 10, 10}, {10, 1, Green, 20, 20, 10, 10}},
         0,
         {{1, 5, 5, Blue, White}, {2, 5, 5, White, White}, {2, 15, 15, Red, Red}}},
        {"3 after 2 goes through the frame bitmap",
         {redBase, {10, 2, Blue, 0, 0, 10, 10}, {10, 3, Green, 20, 20, 10, 10}, {10, 1, Red, 30, 30, 10, 10}},
         0,
         {{2, 5, 5, White, White}, {2, 25, 25, Green, Red}, {3, 25, 25, Red, Red}}},
        {"reserved methods draw as do not dispose",
         {redBase, {10, 5, Blue, 0, 0, 10, 10}, {10, 3, Green, 20, 20, 10, 10}},
         0,
         {{1, 5, 5, Blue, Blue}, {2, 25, 25, Green, Red}}},
        {"transparent painting restores from the saved background",
         {redBase, {10, 2, Blue, 0, 0, 10, 10}, {10, 1, Green, 20, 20, 10, 10}},
         pfTransparent,
         {{1, 5, 5, Blue, Yellow}, {2, 5, 5, Yellow, Yellow}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        auto image = MakePicture(c.Frames);
        image->PaintBackground = White;
        Target.Fill(Yellow);
        int checked = 0;
        TGIFPainter::AnimationOf(*image).OnAfterPaint = [&](TGIFPainter* p) {
            for (const TProbe& probe : c.Probes) {
                if (probe.AfterFrame != p->ActiveFrame()) continue;
                SCOPED_TRACE("after frame " + std::to_string(probe.AfterFrame));
                ASSERT_NE(p->BackupBitmap(), nullptr);
                EXPECT_EQ(Target.Pixel(probe.X, probe.Y), probe.Target);
                EXPECT_EQ(p->BackupBitmap()->Pixel(probe.X, probe.Y), probe.Backup);
                ++checked;
            }
        };
        TCanvas canvas(Target);
        TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40),
                                   static_cast<std::uint16_t>(Unthreaded | c.ExtraFlags));
        EXPECT_EQ(checked, static_cast<int>(c.Probes.size()));
    }
}

TEST_F(PainterTest, ClearOnLoopRestoresTheFirstFrameAreaBeforeEachPass) {
    // Frame 0 is wholly transparent over the top-left quarter; frame 1 covers everything in blue.
    // Before the second pass, frame 0's area goes back to what was behind the animation.
    auto image = MakePicture({{10, 1, Red, 0, 0, 20, 20, 0}, {10, 1, Blue}}, 2);
    Target.Fill(Yellow);
    std::vector<std::pair<TColorRef, TColorRef>> shown; // (inside frame 0's area, outside it)
    TGIFPainter::AnimationOf(*image).OnAfterPaint = [&](TGIFPainter*) {
        shown.emplace_back(Target.Pixel(5, 5), Target.Pixel(30, 30));
    };
    TCanvas canvas(Target);
    TGIFPainter::StartPainting(
        *image, canvas, TRect(0, 0, 40, 40),
        static_cast<std::uint16_t>(Unthreaded | pfLoop | pfClearOnLoop | pfTransparent));
    const std::vector<std::pair<TColorRef, TColorRef>> expected = {
        {Yellow, Yellow}, {Blue, Blue}, {Yellow, Blue}, {Blue, Blue}};
    EXPECT_EQ(shown, expected);
}

TEST_F(PainterTest, CheckedCanvasThatWentAwayEndsThePainterQuietly) {
    auto image = MakePicture({{10, 1, Red}, {10, 2, Blue}, {10, 1, Green}});
    std::vector<int> shown;
    TGIFPainter::AnimationOf(*image).OnAfterPaint = [&](TGIFPainter* p) {
        shown.push_back(p->ActiveFrame());
        if (p->ActiveFrame() == 0) Target.SetSize(0, 0); // the target is released
    };
    TCanvas canvas(Target);
    EXPECT_NO_THROW(TGIFPainter::StartPainting(*image, canvas, TRect(0, 0, 40, 40),
                                               static_cast<std::uint16_t>(Unthreaded | pfCheckCanvas)));
    EXPECT_EQ(shown, (std::vector<int>{0}));
}

TEST_F(PainterTest, DrawOperationPlaysThroughTheDrawPainter) {
    TCanvas canvas(Target);
    auto image = MakePicture({{10, 1, Red}, {10, 1, Blue}});

    // Not animated: the pinned frame is drawn, no painter.
    image->PaintFlags = pfThreaded;
    image->PinnedFrame = 1;
    TGIFPainter::Draw(*image, canvas, TRect(0, 0, 40, 40));
    EXPECT_EQ(Target.Pixel(20, 20), Blue);
    EXPECT_EQ(TGIFPainter::AnimationOf(*image).DrawPainter, nullptr);

    // Direct: the painter paints the target itself; the same target keeps the same painter,
    // another rectangle replaces it.
    image->PaintFlags = ThreadedEndless | pfDirectDraw;
    TGIFPainter::Draw(*image, canvas, TRect(0, 0, 40, 40));
    TGIFPainter* first = TGIFPainter::AnimationOf(*image).DrawPainter;
    ASSERT_NE(first, nullptr);
    TGIFPainter::Draw(*image, canvas, TRect(0, 0, 40, 40));
    EXPECT_EQ(TGIFPainter::AnimationOf(*image).DrawPainter, first);
    EXPECT_EQ(PainterCount(*image), 1u);
    TGIFPainter::Draw(*image, canvas, TRect(0, 0, 20, 20));
    EXPECT_EQ(PainterCount(*image), 1u);
    ASSERT_NE(TGIFPainter::AnimationOf(*image).DrawPainter, nullptr);
    EXPECT_EQ(TGIFPainter::AnimationOf(*image).DrawPainter->PaintRect(), TRect(0, 0, 20, 20));
    TGIFPainter::StopDrawPainter(*image);
    EXPECT_EQ(TGIFPainter::AnimationOf(*image).DrawPainter, nullptr);
    EXPECT_EQ(PainterCount(*image), 0u);

    // Through the composite bitmap: the first frame is on the canvas when Draw returns.
    image->PaintFlags = ThreadedEndless;
    Target.Fill(Yellow);
    TGIFPainter::Draw(*image, canvas, TRect(0, 0, 40, 40));
    EXPECT_EQ(Target.Pixel(20, 20), Red);
    EXPECT_NE(PictureCaches(*image).Composite, nullptr);
    TGIFPainter::StopPainting(*image);
    EXPECT_EQ(PictureCaches(*image).Composite, nullptr);
    EXPECT_EQ(PainterCount(*image), 0u);
}

// An empty first frame (0 × 0): the draw painter ends without drawing. Draw must return and leave
// the canvas as it was, whether the flags ask for one pass or for endless passes.
TEST_F(PainterTest, DrawReturnsWhenThePainterEndsWithoutDrawing) {
    for (const std::uint16_t flags : {Threaded, ThreadedEndless}) {
        SCOPED_TRACE(flags);
        TFrameSetup empty;
        empty.Width = empty.Height = 0;
        auto image = MakePicture({empty, {10, 1, Red}});
        image->PaintFlags = flags;
        Target.Fill(Yellow);
        TCanvas canvas(Target);
        // On failure Draw never returns: end the run instead of hanging it.
        std::promise<void> returned;
        std::thread watchdog([done = returned.get_future()] {
            if (done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
                std::fprintf(stderr, "Draw did not return\n");
                std::abort();
            }
        });
        TGIFPainter::Draw(*image, canvas, TRect(0, 0, 40, 40));
        returned.set_value();
        watchdog.join();
        EXPECT_EQ(Target.Pixel(20, 20), Yellow);
        EXPECT_TRUE(PumpUntil(Env.Sync, [&] { return PainterCount(*image) == 0; }));
        EXPECT_EQ(TGIFPainter::AnimationOf(*image).DrawPainter, nullptr);
        TGIFPainter::StopPainting(*image);
    }
}

TEST_F(PainterTest, EnableAnimationStopsTheDrawPainter) {
    TCanvas canvas(Target);
    auto image = MakePicture(Frames({10, 10}));
    image->PaintFlags = ThreadedEndless | pfDirectDraw;
    TGIFPainter::Draw(*image, canvas, TRect(0, 0, 40, 40));
    ASSERT_NE(TGIFPainter::AnimationOf(*image).DrawPainter, nullptr);
    image->EnableAnimation(true); // no change: the painter goes on
    EXPECT_NE(TGIFPainter::AnimationOf(*image).DrawPainter, nullptr);
    image->EnableAnimation(false);
    EXPECT_EQ(TGIFPainter::AnimationOf(*image).DrawPainter, nullptr);
    EXPECT_EQ(PainterCount(*image), 0u);
}

} // namespace

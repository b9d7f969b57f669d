#pragma once
// Shared pieces of the painter tests: a simulated clock, a queue for synchronised calls, and small
// pictures whose frames are plain colour blocks.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "AutoResetEvent.h"
#include "Bitmap.h"
#include "Canvas.h"
#include "GIFExtensions.h"
#include "GIFPainter.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "SyncCaller.h"
#include "TimeSource.h"

// A clock that moves only when the painter sleeps or waits: every timed wait and sleep is recorded
// and ends at once, an endless wait blocks on the event for real (until a stop sets it).
class TFakeTime : public TTimeSource {
  public:
    static constexpr std::int64_t Endless = -1;

    std::int64_t NowMs() override { return Now.load(); }
    void SleepMs(std::int64_t ms) override {
        Record(Sleeps_, ms);
        Now += ms;
    }
    void YieldThread() override { std::this_thread::yield(); }
    bool WaitEvent(TAutoResetEvent& event, std::int64_t ms) override {
        if (ms < 0) {
            Record(Waits_, Endless);
            return event.WaitFor(TAutoResetEvent::Infinite);
        }
        if (event.TryWait()) return true;
        Record(Waits_, ms);
        Now += ms;
        return false;
    }
    std::vector<std::int64_t> Waits() const { return Copy(Waits_); }
    std::vector<std::int64_t> Sleeps() const { return Copy(Sleeps_); }

    std::atomic<std::int64_t> Now{1000};

  private:
    void Record(std::vector<std::int64_t>& list, std::int64_t ms) {
        std::lock_guard<std::mutex> lock(Mutex_);
        list.push_back(ms);
    }
    std::vector<std::int64_t> Copy(const std::vector<std::int64_t>& list) const {
        std::lock_guard<std::mutex> lock(Mutex_);
        return list;
    }
    mutable std::mutex Mutex_;
    std::vector<std::int64_t> Waits_, Sleeps_;
};

// One frame of a test picture: a block of one colour.
struct TFrameSetup {
    int Delay = 10; // hundredths; -1: no graphic control extension
    int Disposal = 1;
    TColorRef Color = 0x0000FF;
    int Left = 0, Top = 0, Width = 40, Height = 40;
    int TransparentIndex = -1; // >= 0: transparent frame (its pixels are all index 0)
};

constexpr int NoLoopExtension = -1;

// A 40 x 40 picture of the given frames; loops >= 0 puts a looping extension first in frame
// loopFrame.
inline std::unique_ptr<TGIFPicture> MakePicture(const std::vector<TFrameSetup>& frames,
                                                int loops = NoLoopExtension, int loopFrame = 0) {
    auto image = std::make_unique<TGIFPicture>();
    image->Header().SetWidth(40);
    image->Header().SetHeight(40);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const TFrameSetup& shape = frames[i];
        auto frameOwned = std::make_unique<TGIFSubImage>(image.get());
        auto* frame = frameOwned.get();
        frame->SetFrameBounds(shape.Left, shape.Top, shape.Width, shape.Height);
        frame->ColorMap().AppendColor(shape.Color);
        frame->ColorMap().AppendColor(0x000000);
        if (shape.Delay >= 0) {
            auto gceOwned = std::make_unique<TGIFGraphicControlExtension>(frame);
            auto* gce = gceOwned.get();
            gce->SetDelay(shape.Delay);
            gce->SetDisposal(shape.Disposal);
            if (shape.TransparentIndex >= 0) {
                gce->SetTransparent(true);
                gce->SetTransparentColorIndex(shape.TransparentIndex);
            }
            frame->Extensions().AppendItem(std::move(gceOwned));
        }
        if (loops >= 0 && static_cast<int>(i) == loopFrame) {
            auto loopOwned = std::make_unique<TGIFAppExtNSLoop>(frame);
            auto* loop = loopOwned.get();
            loop->Loops = static_cast<std::uint16_t>(loops);
            frame->Extensions().InsertAt(0, std::move(loopOwned));
        }
        image->AddFrame(std::move(frameOwned));
    }
    return image;
}

inline std::vector<TFrameSetup> Frames(std::initializer_list<int> delays) {
    std::vector<TFrameSetup> frames;
    for (int d : delays) {
        TFrameSetup shape;
        shape.Delay = d;
        frames.push_back(shape);
    }
    return frames;
}

inline std::size_t PainterCount(TGIFPicture& image) {
    TGIFPictureAnimation& animation = TGIFPainter::AnimationOf(image);
    std::lock_guard<std::recursive_mutex> lock(animation.Lock);
    return animation.Painters.size();
}

// Runs the synchronised calls of painter threads until done() holds; false on time-out.
inline bool PumpUntil(TQueuedSyncCaller& sync, const std::function<bool()>& done, int timeoutMs = 30000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        sync.WaitForPending(5);
        sync.RunPending();
    }
    return true;
}

// Installs a fresh synchronised-call queue (this thread is the user-interface thread) and, when
// given, a time source; a test stops all painting before these go.
class TPainterEnvironment {
  public:
    explicit TPainterEnvironment(TTimeSource* time = nullptr) {
        TSyncCaller::Install(&Sync);
        TTimeSource::Install(time);
    }
    ~TPainterEnvironment() {
        TTimeSource::Install(nullptr);
        TSyncCaller::Install(nullptr);
    }
    TQueuedSyncCaller Sync;
};

// Plays a picture to its end on a painter thread and returns the frames in the order shown.
inline std::vector<int> PlayToEnd(TGIFPicture& image, TQueuedSyncCaller& sync, std::uint16_t flags,
                                  TBitmap& target, int stopAfter = 0) {
    std::vector<int> shown;
    TGIFPictureAnimation& animation = TGIFPainter::AnimationOf(image);
    const TGIFPainter::TCallback testCallback = animation.OnAfterPaint;
    animation.OnAfterPaint = [&](TGIFPainter* painter) {
        shown.push_back(painter->ActiveFrame());
        if (testCallback) testCallback(painter);
        if (stopAfter > 0 && static_cast<int>(shown.size()) >= stopAfter) painter->StopPainter();
    };
    TCanvas canvas(target);
    TGIFPainter::StartPainting(image, canvas, TRect(0, 0, target.Width(), target.Height()), flags);
    PumpUntil(sync, [&] { return PainterCount(image) == 0; });
    TGIFPainter::StopPainting(image);
    animation.OnAfterPaint = testCallback;
    return shown;
}

#pragma once
// TGIFPainter plays the frames of a TGIFPicture onto a rectangle of a canvas: each frame for its
// delay, with the frames' disposal methods, the looping extension and the paint flags. A threaded
// painter runs on a thread of its own and does all drawing and all callbacks on the user-interface
// thread through synchronised calls; an unthreaded one runs to the end inside CreatePainter.
//
// Thread use. The painter thread only keeps time and waits. Everything that touches the picture,
// its frames and their render caches (reading the frame count, extensions and delays, preparing a
// frame's rendered bitmap, drawing, the callbacks) runs as a synchronised call on the
// user-interface thread, the thread that also edits the picture. So a picture may be edited while it
// plays, and a painter sees each frame as the last edit left it.
//
// The painters of a picture are kept by the picture's animation record (TGIFPictureAnimation, the
// picture's attachment): the list of the painters drawing it, under a re-entrant lock, and the
// painter of its draw operation. A painter is in that list until its body has ended, which is the
// only safe way to reach it from outside. A threaded painter leaves the list through a synchronised
// call, so the user-interface thread may hold the lock while it waits for a painter to end; the
// record owns threaded painters and joins their threads once they have left, at the latest when the
// picture goes. An unthreaded painter lives inside CreatePainter.

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Bitmap.h"
#include "GIFPicture.h"
#include "Rect.h"

class TCanvas;
class TGIFSubImage;
class TAutoResetEvent;
class TSyncCaller;
class TTimeSource;
class TGIFPictureAnimation;

// Paint flags read by the painter beyond those of GIFPicture.h (pfThreaded ... pfCheckCanvas).
enum : std::uint16_t {
    pfDirectDraw = 0x0040,  // the draw operation lets the painter draw on the target itself
    pfClearOnLoop = 0x0080, // before every pass, restore the first frame's area to the background
    pfTile = 0x0100,        // draw the frames at every tile position
};

class TGIFPainter {
  public:
    // Milliseconds per hundredth of a second of frame delay.
    static constexpr int DelayUnitMs = 12;
    // Delays in hundredths: a frame without one, the smallest, the largest (unthreaded only).
    static constexpr int DefaultFrameDelay = 10;
    static constexpr int MinFrameDelay = 3;
    static constexpr int MaxFrameDelay = 1000;

    // The paint callbacks.
    using TCallback = std::function<void(TGIFPainter* painter)>;

    // Creates a suspended painter (see CreatePainter, which is how painters are made). slot, when
    // given, holds this painter while it lives and is cleared when it ends.
    TGIFPainter(TGIFPicture& image, TCanvas& canvas, const TRect& rect, std::uint16_t flags,
                TGIFPainter** slot = nullptr);
    TGIFPainter(const TGIFPainter&) = delete;
    TGIFPainter& operator=(const TGIFPainter&) = delete;
    virtual ~TGIFPainter();

    // Creates a painter for the image and registers it in the image's painter list. A threaded one
    // is returned suspended (start it with StartPainter); an unthreaded one runs now, frees itself
    // and nullptr is returned; an error it held is raised again here. nullptr also for an image
    // without frames or a rectangle without area.
    static TGIFPainter* CreatePainter(TGIFPicture& image, TGIFPainter** slot, TCanvas& canvas,
                                      std::uint16_t flags, const TRect& rect);
    // CreatePainter without a slot, then StartPainter.
    static TGIFPainter* StartPainting(TGIFPicture& image, TCanvas& canvas, const TRect& rect,
                                      std::uint16_t flags);
    // Stops every painter of the image and waits until the threaded ones have ended, running the
    // synchronised calls they wait for meanwhile. Then drops the image's composite bitmap.
    static void StopPainting(TGIFPicture& image);
    // The same for the painter of the image's own draw operation alone.
    static void StopDrawPainter(TGIFPicture& image);
    // The image's draw operation: an animated image is played by its draw painter.
    static void Draw(TGIFPicture& image, TCanvas& canvas, const TRect& rect);
    // The image's animation record: its painters and paint callbacks (made when first asked for).
    static TGIFPictureAnimation& AnimationOf(TGIFPicture& image);

    // Starts a threaded painter's thread (once); an unthreaded painter has already run.
    void StartPainter();
    // Asks the painter to end: a waiting painter wakes at once, a suspended one starts and ends.
    void StopPainter();

    bool Terminated() const { return Terminated_.load(); }
    bool Threaded() const { return (Flags_ & pfThreaded) != 0; }
    std::uint16_t Flags() const { return Flags_; }
    TCanvas& Canvas() const { return *Canvas_; }
    const TRect& PaintRect() const { return Rect_; }
    // The picture played; nullptr once the picture has been destroyed.
    TGIFPicture* Image() const { return Image_; }
    // The frame being shown; -1 before and after painting. A callback may choose another frame.
    int ActiveFrame() const { return ActiveFrame_.load(); }
    void SetActiveFrame(int index) { ActiveFrame_.store(index); }
    bool Started() const { return Started_.load(); }
    int Disposal() const { return Disposal_; }
    int PreviousDisposal() const { return PreviousDisposal_; }
    int PlaybackSpeed() const { return PlaybackSpeed_; }
    TColorRef BackgroundColor() const { return BackgroundColor_; }
    int Priority() const { return Priority_; }
    // 0 idle to 6 time-critical, 3 normal. Kept as advice: the painter thread runs at the process's
    // normal priority.
    void SetPriority(int priority) { Priority_ = priority; }
    // The error that ended the body, if any.
    std::exception_ptr HeldError() const { return Error_; }
    bool HasWakeEvent() const { return static_cast<bool>(WakeEvent_); }
    const TBitmap* BackupBitmap() const { return Backup_.get(); }
    const TBitmap* FrameBitmap() const { return FrameBuffer_.get(); }
    const TBitmap* BackgroundBitmap() const { return Background_.get(); }

    // Copies of the image's paint callbacks, called on the user-interface thread when set. A callback
    // may stop this painter (StopPainter) but must not wait for it (StopPainting): the painter
    // cannot end before the callback returns.
    TCallback OnPaintStart, OnFramePaint, OnFramePainted, OnPaintLoop, OnPaintEnd;

    // Receives the error that ended a threaded painter, on the user-interface thread, while the
    // painter is still listed (so the handler must not wait for it, as above). Without a handler the
    // error is dropped; it never ends the process.
    static void SetErrorHandler(std::function<void(const std::string& message)> handler);

  protected:
    // The painter body: the passes over the frames.
    virtual void Execute();

  private:
    friend class TGIFPictureAnimation;
    struct TLoopState;

    void RunBody();
    void ThreadMain();
    void Finish();
    void Sync(const std::function<void()>& call);
    void Fire(const TCallback& callback);
    void Wait(std::int64_t& delay, TLoopState& state);
    bool FramePresent();
    void PaintFrame(TLoopState& state);
    int NextDelay();
    void DrawThroughBuffers(TGIFSubImage& frame);
    void RestoreFrameArea(TGIFSubImage& frame);
    bool TargetGone() const;
    void CreateBuffers();

    TGIFPicture* Image_;
    TGIFPictureAnimation* Animation_; // the image's record; nullptr once the image is gone
    TCanvas* Canvas_;
    TRect Rect_;
    std::uint16_t Flags_;
    std::atomic<int> ActiveFrame_{-1};
    std::atomic<bool> Started_{false};
    int Disposal_ = 0;
    int PreviousDisposal_ = 1;
    int PlaybackSpeed_ = 100;
    int Priority_ = 3;
    std::unique_ptr<TAutoResetEvent> WakeEvent_;
    std::unique_ptr<TBitmap> Backup_, FrameBuffer_, Background_;
    TColorRef BackgroundColor_ = 0;
    const std::uint8_t* RememberedTarget_ = nullptr;
    TGIFPainter** Slot_;
    std::exception_ptr Error_;
    std::atomic<bool> Terminated_{false};
    std::atomic<bool> Resumed_{false};
    std::atomic<bool> BodyEnded_{false};  // the thread's body has returned; Finish follows
    std::atomic<bool> ThreadDone_{false}; // the thread has nothing left to do: it may be joined
    std::thread Thread_;
    TSyncCaller* Sync_;
    TTimeSource* Time_;
    // Set for the painter of the image's draw operation: the target it was asked to paint and, when
    // it paints into the image's composite bitmap, that bitmap and the canvas on it.
    const TCanvas* DrawCanvas_ = nullptr;
    TRect DrawRect_;
    std::shared_ptr<TBitmap> OwnedTarget_;
    std::unique_ptr<TCanvas> OwnedCanvas_;
};

// What the painter module keeps for one picture: the painters drawing it and the painter of its draw
// operation (under Lock, re-entrant), and the paint callbacks that new painters copy. The picture owns
// it as its attachment: it stops the painters before the picture clears its frames or goes, and
// frees the threaded painters once their threads have ended.
class TGIFPictureAnimation final : public TGIFPictureAttachment {
  public:
    TGIFPictureAnimation() = default;
    TGIFPictureAnimation(const TGIFPictureAnimation&) = delete;
    TGIFPictureAnimation& operator=(const TGIFPictureAnimation&) = delete;
    // Waits for the threads of ended painters and frees them.
    ~TGIFPictureAnimation() override;

    // Paint callbacks, copied into every painter made for the picture.
    TGIFPainter::TCallback OnStartPaint, OnPaint, OnAfterPaint, OnLoop, OnEndPaint;

    std::recursive_mutex Lock;
    std::vector<TGIFPainter*> Painters; // under Lock
    TGIFPainter* DrawPainter = nullptr; // the painter of the draw operation, under Lock
    bool Drawing = false;               // the draw operation runs (it does not run twice at once)

    void StopWork(TGIFPicture& image) override;
    void AnimationChanged(TGIFPicture& image) override;
    void Destroying(TGIFPicture& image) override;

  private:
    friend class TGIFPainter;
    // Takes a threaded painter; it is freed once its thread is done.
    void Own(std::unique_ptr<TGIFPainter> painter);
    // Joins and frees the threaded painters whose threads are done (all of them when wait is set,
    // running the synchronised calls they wait for meanwhile).
    void FreeEnded(bool wait);
    std::vector<std::unique_ptr<TGIFPainter>> Threaded_; // under Lock
};

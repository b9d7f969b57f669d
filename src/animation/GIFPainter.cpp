#include "GIFPainter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>

#include "AutoResetEvent.h"
#include "Canvas.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFRender.h"
#include "GIFSubImage.h"
#include "SyncCaller.h"
#include "SystemColors.h"
#include "TimeSource.h"

namespace {

// System colour index of the window background.
constexpr int WindowColorIndex = 5;

std::mutex ErrorHandlerMutex;
std::function<void(const std::string&)> ErrorHandler;

TColorRef ResolveColor(TColorRef color) {
    if (IsSystemColor(color)) return SystemColorValue(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

// muldiv in 64 bits, rounded to the nearest, halves away from zero.
int MulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
    if (c == 0) return -1;
    const std::int64_t p = a * b;
    const std::int64_t q = (p >= 0) == (c > 0) ? (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c)
                                               : -((std::llabs(p) + std::llabs(c) / 2) / std::llabs(c));
    return static_cast<int>(q);
}

TGIFSubImage* FrameAt(TGIFPicture& image, int index) {
    if (index < 0 || index >= image.Images().ItemCount()) return nullptr;
    return image.Images().ItemAt(index);
}

// The frame's rectangle on the logical screen scaled into r.
TRect ScaleFrameRect(const TGIFPicture& image, const TGIFSubImage& frame, const TRect& r) {
    const int sw = image.Header().Width() > 0 ? image.Header().Width() : 1;
    const int sh = image.Header().Height() > 0 ? image.Header().Height() : 1;
    return TRect(r.Left + MulDiv(frame.Left(), r.Width(), sw), r.Top + MulDiv(frame.Top(), r.Height(), sh),
                 r.Left + MulDiv(frame.Left() + frame.Width(), r.Width(), sw),
                 r.Top + MulDiv(frame.Top() + frame.Height(), r.Height(), sh));
}

// The image's animation record, nullptr when it has none (it never had a painter).
TGIFPictureAnimation* FindAnimation(TGIFPicture& image) {
    return dynamic_cast<TGIFPictureAnimation*>(image.Attachment());
}

// While painter threads end: run the drawing steps they wait for, then let them run.
void LetPaintersEnd() {
    TSyncCaller& sync = TSyncCaller::Current();
    if (sync.InMainThread()) sync.RunPending();
    TTimeSource::Current().YieldThread();
}

} // namespace

struct TGIFPainter::TLoopState {
    int LoopCount = 1;
    int LoopStart = 0;
    bool LoopSeen = false;
    std::int64_t WaitStart = 0;
    std::int64_t PreviousWait = 0;
};

void TGIFPainter::SetErrorHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard<std::mutex> lock(ErrorHandlerMutex);
    ErrorHandler = std::move(handler);
}

TGIFPainter::TGIFPainter(TGIFPicture& image, TCanvas& canvas, const TRect& rect, std::uint16_t flags,
                         TGIFPainter** slot)
    : Image_(&image), Animation_(&AnimationOf(image)), Canvas_(&canvas), Rect_(rect), Flags_(flags),
      Slot_(slot), Sync_(&TSyncCaller::Current()), Time_(&TTimeSource::Current()) {
    // A negative speed would make a threaded painter spin through its frames without any wait; it
    // counts as 0 (stay on the frame until stopped).
    PlaybackSpeed_ = image.PlaybackSpeed < 0 ? 0 : image.PlaybackSpeed;
    if ((Flags_ & pfThreaded) && (Flags_ & pfAnimate) && image.Images().ItemCount() > 1)
        WakeEvent_ = std::make_unique<TAutoResetEvent>();

    if (image.PaintBackground != TGIFPicture::NoColor)
        BackgroundColor_ = ResolveColor(image.PaintBackground);
    else if (image.Header().ColorMap().Count() > 0)
        BackgroundColor_ = image.Header().BackgroundColor() & 0x00FFFFFF;
    else
        BackgroundColor_ = SystemColorValue(WindowColorIndex);

    CreateBuffers();
}

void TGIFPainter::CreateBuffers() {
    bool restoreToBackground = (Flags_ & pfClearOnLoop) != 0, restoreToPrevious = false;
    for (TGIFSubImage* frame : Image_->Images())
        for (TGIFBaseExtension* ext : frame->Extensions())
            if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(ext)) {
                restoreToBackground |= gce->Disposal() == 2;
                restoreToPrevious |= gce->Disposal() == 3;
            }
    const int w = Rect_.Width(), h = Rect_.Height();
    const TRect whole(0, 0, w, h);
    auto copyOfTarget = [&] {
        auto bitmap = std::make_unique<TBitmap>(w, h, pf32bit);
        bitmap->Fill(BackgroundColor_);
        TCanvas(*bitmap).StretchBlt(whole, Canvas_->Target(), Rect_);
        return bitmap;
    };
    if (restoreToBackground && (Flags_ & pfTransparent)) Background_ = copyOfTarget();
    if (restoreToBackground || restoreToPrevious) {
        Backup_ = copyOfTarget();
        FrameBuffer_ = std::make_unique<TBitmap>(w, h, pf32bit);
        FrameBuffer_->Fill(BackgroundColor_);
    }
}

TGIFPainter::~TGIFPainter() = default;

void TGIFPainter::Sync(const std::function<void()>& call) {
    if (Threaded())
        Sync_->Synchronize(call);
    else
        call();
}

void TGIFPainter::Fire(const TCallback& callback) {
    if (callback) Sync([&] { callback(this); });
}

void TGIFPainter::StartPainter() {
    if (!Threaded() || Resumed_.exchange(true)) return;
    Thread_ = std::thread([this] { ThreadMain(); });
}

void TGIFPainter::StopPainter() {
    Terminated_.store(true);
    if (!Threaded()) return;
    if (WakeEvent_) WakeEvent_->SetEvent();
    Priority_ = 3;
    StartPainter();
}

void TGIFPainter::ThreadMain() {
    RunBody();
    BodyEnded_.store(true);
    std::string message;
    std::function<void(const std::string&)> handler;
    if (Error_) {
        message = "Animation stopped by an error";
        try {
            std::rethrow_exception(Error_);
        } catch (const std::exception& e) {
            message = e.what();
        } catch (...) {
        }
        std::lock_guard<std::mutex> lock(ErrorHandlerMutex);
        handler = ErrorHandler;
    }
    // Leaving the list happens on the user-interface thread: a thread that holds the painter lock
    // there (the draw operation replacing its painter) can then wait for this painter to end.
    try {
        Sync_->Synchronize([&] {
            if (handler) {
                try {
                    handler(message);
                } catch (...) {
                }
            }
            Finish();
        });
    } catch (...) {
        Finish();
    }
    // The last touch of this painter on its thread: from here its owner may join and free it.
    ThreadDone_.store(true);
}

void TGIFPainter::RunBody() {
    try {
        Execute();
    } catch (...) {
        Terminated_.store(true);
        Error_ = std::current_exception();
    }
}

void TGIFPainter::Finish() {
    // Image_ and Animation_ are cleared by the image's destructor (under the record's lock) when it
    // goes first.
    if (Image_ && Animation_) {
        std::lock_guard<std::recursive_mutex> guard(Animation_->Lock);
        if (Slot_ && *Slot_ == this) *Slot_ = nullptr;
        auto& painters = Animation_->Painters;
        painters.erase(std::remove(painters.begin(), painters.end(), this), painters.end());
        Image_ = nullptr;
    }
    WakeEvent_.reset();
    Backup_.reset();
    FrameBuffer_.reset();
    Background_.reset();
}

bool TGIFPainter::FramePresent() {
    bool present = false;
    Sync([&] {
        TGIFSubImage* frame = Image_ ? FrameAt(*Image_, ActiveFrame()) : nullptr;
        present = frame && !frame->Empty();
    });
    return present;
}

void TGIFPainter::Execute() {
    // The target belongs to the user-interface thread: look at it there.
    if (Flags_ & pfCheckCanvas) Sync([&] { RememberedTarget_ = Canvas_->Target().Bits(); });
    ActiveFrame_.store(0);
    Fire(OnPaintStart);
    Started_ = false;

    TLoopState state;
    std::int64_t delay = Threaded() ? 0 : 1;
    PreviousDisposal_ = 1;
    state.WaitStart = Time_->NowMs();
    const bool repeat = (Flags_ & pfAnimate) && (Flags_ & pfLoop);

    for (bool firstPass = true, shownInPass = true;
         shownInPass && (state.LoopCount != 0 || (Flags_ & pfLoopForever)) && !Terminated() &&
         (firstPass || repeat);
         firstPass = false) {
        ActiveFrame_.store(state.LoopStart);
        if (Started_) Fire(OnPaintLoop);
        // A pass that finds no frame to show (the first one is empty) ends the painting: repeating
        // it would only spin.
        shownInPass = false;
        for (bool firstFrame = true; !Terminated() && (firstFrame || (Flags_ & pfAnimate));
             firstFrame = false) {
            if (!FramePresent()) break;
            shownInPass = true;
            Wait(delay, state);
            if (Terminated()) break;
            Fire(OnFramePaint);
            if (Terminated()) break;
            PaintFrame(state);
            PreviousDisposal_ = Disposal_;
            if (Terminated()) break;
            delay = NextDelay();
            const int shown = ActiveFrame();
            Fire(OnFramePainted);
            if (Terminated()) break;
            if (ActiveFrame() == shown) ActiveFrame_.store(shown + 1);
        }
        if (state.LoopCount > 0) --state.LoopCount;
    }
    ActiveFrame_.store(-1);
    Fire(OnPaintEnd);
}

void TGIFPainter::Wait(std::int64_t& delay, TLoopState& state) {
    if (delay < 1) {
        Time_->YieldThread();
        return;
    }
    // Rendering the frame is part of the wait.
    Sync([&] {
        if (TGIFSubImage* frame = Image_ ? FrameAt(*Image_, ActiveFrame()) : nullptr) RenderFrame(*frame);
    });
    const std::int64_t t = Time_->NowMs();
    constexpr std::int64_t Endless = TAutoResetEvent::Infinite;
    if (PlaybackSpeed_ > 0) {
        // Half of the time by which the previous frame overran its wait is taken off this one.
        const double ms = (static_cast<double>(delay) * DelayUnitMs -
                           static_cast<double>((t - state.WaitStart - state.PreviousWait) / 2)) *
                          100.0 / PlaybackSpeed_;
        if (std::isfinite(ms) &&
            std::fabs(ms) < static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
            delay = std::llround(ms);
            state.PreviousWait = delay;
        } else {
            delay = static_cast<std::int64_t>(MaxFrameDelay) * DelayUnitMs;
            state.PreviousWait = 0;
        }
    } else {
        delay = Threaded() ? Endless : static_cast<std::int64_t>(MaxFrameDelay) * DelayUnitMs;
    }
    state.WaitStart = t;

    if (Threaded()) {
        if (delay > 0 || PlaybackSpeed_ == 0) {
            const bool woken = WakeEvent_ ? Time_->WaitEvent(*WakeEvent_, delay) : true;
            if (woken) {
                state.PreviousWait = 0;
                state.WaitStart = Time_->NowMs();
            }
        }
        return;
    }
    // Unthreaded: sleep in short steps and keep the user-interface thread's events flowing.
    if (delay < 1) delay = 1;
    while (delay > 0 && !Terminated()) {
        const std::int64_t before = Time_->NowMs();
        Time_->SleepMs(delay < 100 ? delay : 100);
        delay -= Time_->NowMs() - before;
        if (!Sync_->ProcessMessages()) Terminated_.store(true);
    }
}

void TGIFPainter::PaintFrame(TLoopState& state) {
    Sync([&] {
        TGIFSubImage* frame = Image_ ? FrameAt(*Image_, ActiveFrame()) : nullptr;
        if (!frame) {
            Terminated_.store(true);
            return;
        }
        Disposal_ = 1;
        for (TGIFBaseExtension* ext : frame->Extensions()) {
            if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(ext)) {
                if (!state.LoopSeen) {
                    state.LoopSeen = true;
                    const int count = loop->Loops;
                    state.LoopCount = Threaded() && (count == 0 || (Flags_ & pfLoopForever)) ? -1 : count;
                    state.LoopStart = ActiveFrame();
                }
            } else if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(ext)) {
                Disposal_ = gce->Disposal();
            }
        }
        if (Terminated()) return;
        if (Backup_) {
            DrawThroughBuffers(*frame);
        } else {
            DrawFrame(*frame, *Canvas_, Rect_, (Flags_ & pfTile) != 0, (Flags_ & pfTransparent) != 0);
            Started_ = true;
        }
    });
}

int TGIFPainter::NextDelay() {
    int delay = DefaultFrameDelay;
    Sync([&] {
        TGIFSubImage* frame = Image_ ? FrameAt(*Image_, ActiveFrame()) : nullptr;
        TGIFGraphicControlExtension* gce = frame ? frame->GraphicControlExtension() : nullptr;
        if (gce && gce->Delay() > 0) {
            delay = gce->Delay();
            if (delay < MinFrameDelay) delay = MinFrameDelay;
            if (!Threaded() && delay > MaxFrameDelay) delay = MaxFrameDelay;
        }
    });
    return delay;
}

bool TGIFPainter::TargetGone() const {
    const TBitmap& target = Canvas_->Target();
    return target.Empty() || target.Bits() != RememberedTarget_;
}

void TGIFPainter::RestoreFrameArea(TGIFSubImage& frame) {
    TCanvas backup(*Backup_);
    const TRect whole(0, 0, Backup_->Width(), Backup_->Height());
    auto restore = [&](const TRect& area) {
        if (Flags_ & pfTransparent && Background_)
            backup.StretchBlt(area, *Background_, area);
        else
            backup.FillRect(area, BackgroundColor_);
    };
    if (!(Flags_ & pfTile)) {
        restore(ScaleFrameRect(*Image_, frame, whole));
        return;
    }
    // Tiled: the frame stands at every tile position.
    const int sw = Image_->Header().Width(), sh = Image_->Header().Height();
    if (sw <= 0 || sh <= 0) return;
    for (int x = whole.Left + frame.Left(); x < whole.Right; x += sw)
        for (int y = whole.Top + frame.Top(); y < whole.Bottom; y += sh)
            restore(TRect(x, y, x + frame.Width(), y + frame.Height()));
}

void TGIFPainter::DrawThroughBuffers(TGIFSubImage& frame) {
    if ((Flags_ & pfCheckCanvas) && TargetGone()) {
        Terminated_.store(true);
        return;
    }
    const bool clearFirst = (Flags_ & pfClearOnLoop) && ActiveFrame() == 0;
    // Reserved disposal methods (4-7) are drawn as "do not dispose".
    auto normal = [](int d) { return d == 2 || d == 3 ? d : 1; };
    const int d = normal(Disposal_), p = normal(PreviousDisposal_);
    const TRect whole(0, 0, Rect_.Width(), Rect_.Height());

    TBitmap* surface = nullptr; // nullptr: the target itself
    if (d == 1 || d == 2) {
        surface = Backup_.get();
    } else if (p == 1) {
        surface = nullptr; // the backup keeps the picture from before this frame
    } else {
        surface = FrameBuffer_.get();
        TCanvas(*surface).StretchBlt(whole, *Backup_, whole);
    }
    if (clearFirst) RestoreFrameArea(frame);
    const bool tile = (Flags_ & pfTile) != 0, transparent = (Flags_ & pfTransparent) != 0;
    if (surface) {
        TCanvas canvas(*surface);
        DrawFrame(frame, canvas, whole, tile, transparent);
        Canvas_->StretchBlt(Rect_, *surface, whole);
    } else {
        DrawFrame(frame, *Canvas_, Rect_, tile, transparent);
    }
    if (d == 2) RestoreFrameArea(frame);
    Started_ = true;
}

TGIFPainter* TGIFPainter::CreatePainter(TGIFPicture& image, TGIFPainter** slot, TCanvas& canvas,
                                        std::uint16_t flags, const TRect& rect) {
    if (image.Images().ItemCount() == 0 || rect.IsEmpty()) {
        if (slot) *slot = nullptr;
        return nullptr;
    }
    if (image.Images().ItemCount() == 1) flags &= static_cast<std::uint16_t>(~(pfThreaded | pfAnimate));

    TGIFPictureAnimation& animation = AnimationOf(image);
    animation.FreeEnded(false);
    auto owned = std::make_unique<TGIFPainter>(image, canvas, rect, flags, slot);
    TGIFPainter* painter = owned.get();
    {
        std::lock_guard<std::recursive_mutex> lock(animation.Lock);
        if (slot) *slot = painter;
        animation.Painters.push_back(painter);
    }
    painter->OnPaintStart = animation.OnStartPaint;
    painter->OnFramePaint = animation.OnPaint;
    painter->OnFramePainted = animation.OnAfterPaint;
    painter->OnPaintLoop = animation.OnLoop;
    painter->OnPaintEnd = animation.OnEndPaint;
    if (painter->Threaded()) {
        painter->SetPriority(image.PainterPriority);
        animation.Own(std::move(owned));
        return painter;
    }
    // A callback may destroy the image while the painter runs; its record (and the draw painter's
    // slot in it) goes with it.
    TGIFPainter** const drawSlot = &animation.DrawPainter;
    painter->RunBody();
    const bool imageGone = painter->Animation_ == nullptr;
    painter->Finish();
    const std::exception_ptr error = painter->Error_;
    owned.reset();
    if (slot && !(imageGone && slot == drawSlot)) *slot = nullptr;
    if (error) std::rethrow_exception(error);
    return nullptr;
}

TGIFPainter* TGIFPainter::StartPainting(TGIFPicture& image, TCanvas& canvas, const TRect& rect,
                                        std::uint16_t flags) {
    TGIFPainter* painter = CreatePainter(image, nullptr, canvas, flags, rect);
    if (painter) painter->StartPainter();
    return painter;
}

namespace {
// Stopping ends by dropping the image's composite bitmap, also when an error passes.
struct TDropComposite {
    TGIFPicture& Image;
    ~TDropComposite() { PictureCaches(Image).Composite.reset(); }
};
} // namespace

void TGIFPainter::StopPainting(TGIFPicture& image) {
    const TDropComposite dropComposite{image};
    TGIFPictureAnimation* animation = FindAnimation(image);
    if (!animation) return;
    for (;;) {
        int threaded = 0;
        {
            std::lock_guard<std::recursive_mutex> lock(animation->Lock);
            const auto& painters = animation->Painters;
            if (painters.empty()) break;
            for (auto it = painters.rbegin(); it != painters.rend(); ++it) {
                TGIFPainter* painter = *it;
                painter->StopPainter();
                if (painter->Threaded()) ++threaded;
            }
        }
        if (threaded == 0) break;
        LetPaintersEnd();
    }
    animation->FreeEnded(false);
}

void TGIFPainter::StopDrawPainter(TGIFPicture& image) {
    const TDropComposite dropComposite{image};
    TGIFPictureAnimation* animation = FindAnimation(image);
    if (!animation) return;
    for (;;) {
        {
            std::lock_guard<std::recursive_mutex> lock(animation->Lock);
            TGIFPainter* painter = animation->DrawPainter;
            if (!painter) return;
            painter->StopPainter();
            if (!painter->Threaded()) return;
        }
        LetPaintersEnd();
    }
}

namespace {
// Puts the image's composite bitmap on the canvas: tiled at the image's size, or stretched.
void PutComposite(const TGIFPicture& image, const TBitmap& composite, TCanvas& canvas, const TRect& rect) {
    const TRect source(0, 0, composite.Width(), composite.Height());
    if (!(image.PaintFlags & pfTile)) {
        canvas.StretchBlt(rect, composite, source);
        return;
    }
    const int w = image.Width(), h = image.Height();
    if (w <= 0 || h <= 0) return;
    for (int x = rect.Left; x < rect.Right; x += w)
        for (int y = rect.Top; y < rect.Bottom; y += h)
            canvas.StretchBlt(TRect(x, y, x + w, y + h), composite, source);
}
} // namespace

void TGIFPainter::Draw(TGIFPicture& image, TCanvas& canvas, const TRect& rect) {
    if (image.Images().ItemCount() == 0) return;
    TGIFPictureAnimation& animation = AnimationOf(image);
    if (animation.Drawing) return;
    struct TDrawing {
        bool& Flag;
        explicit TDrawing(bool& flag) : Flag(flag) { Flag = true; }
        ~TDrawing() { Flag = false; }
    } drawing(animation.Drawing);

    const std::uint16_t flags = image.PaintFlags;
    const bool tile = (flags & pfTile) != 0, transparent = (flags & pfTransparent) != 0;
    if (image.Images().ItemCount() == 1 || !(flags & pfAnimate)) {
        const int pinned = image.PinnedFrame;
        const int index = pinned >= 0 && pinned < image.Images().ItemCount() ? pinned : 0;
        DrawFrame(*image.Images().ItemAt(index), canvas, rect, tile, transparent);
        return;
    }
    const bool direct = (flags & pfDirectDraw) != 0;
    if (PictureCaches(image).Composite && !direct) {
        PutComposite(image, *PictureCaches(image).Composite, canvas, rect);
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(animation.Lock);
    TGIFPainter* current = animation.DrawPainter;
    if (current && current->DrawCanvas_ == &canvas && current->DrawRect_ == rect) return;
    StopDrawPainter(image);

    TCanvas* target = &canvas;
    TRect targetRect = rect;
    std::shared_ptr<TBitmap> composite;
    std::unique_ptr<TCanvas> compositeCanvas;
    if (!direct) {
        composite = std::make_shared<TBitmap>(image.Width(), image.Height(), pf32bit);
        targetRect = TRect(0, 0, composite->Width(), composite->Height());
        compositeCanvas = std::make_unique<TCanvas>(*composite);
        compositeCanvas->StretchBlt(targetRect, canvas.Target(), rect);
        PictureCaches(image).Composite = composite;
        target = compositeCanvas.get();
    }
    TGIFPainter* painter = CreatePainter(image, &animation.DrawPainter, *target, flags, targetRect);
    if (!painter) {
        if (composite) PutComposite(image, *composite, canvas, rect);
        return;
    }
    painter->DrawCanvas_ = &canvas;
    painter->DrawRect_ = rect;
    painter->OwnedTarget_ = composite;
    painter->OwnedCanvas_ = std::move(compositeCanvas);
    painter->StartPainter();
    if (direct) return;
    // Show the first frame at once: wait until the painter has drawn it, was stopped, or has ended
    // without drawing (an empty first frame). An ended painter has left the slot, so the slot is
    // looked at first; it is cleared under the record's lock, which this thread holds.
    while (animation.DrawPainter == painter && !painter->BodyEnded_ && !painter->Terminated() &&
           !painter->Started()) {
        if (!(painter->Sync_->InMainThread() && painter->Sync_->RunPending()))
            TTimeSource::Current().YieldThread();
    }
    PutComposite(image, *composite, canvas, rect);
}

TGIFPictureAnimation& TGIFPainter::AnimationOf(TGIFPicture& image) {
    if (TGIFPictureAnimation* animation = FindAnimation(image)) return *animation;
    auto animation = std::make_unique<TGIFPictureAnimation>();
    TGIFPictureAnimation& record = *animation;
    image.SetAttachment(std::move(animation));
    return record;
}

// ---- The animation record of a picture ----

TGIFPictureAnimation::~TGIFPictureAnimation() {
    FreeEnded(true);
}

void TGIFPictureAnimation::StopWork(TGIFPicture& image) {
    TGIFPainter::StopPainting(image);
}

void TGIFPictureAnimation::AnimationChanged(TGIFPicture& image) {
    if (DrawPainter) TGIFPainter::StopDrawPainter(image);
}

void TGIFPictureAnimation::Destroying(TGIFPicture&) {
    // Painters still listed (an unthreaded one whose callback destroys the picture) forget it.
    std::lock_guard<std::recursive_mutex> lock(Lock);
    for (TGIFPainter* painter : Painters) {
        painter->Image_ = nullptr;
        painter->Animation_ = nullptr;
    }
    Painters.clear();
}

void TGIFPictureAnimation::Own(std::unique_ptr<TGIFPainter> painter) {
    std::lock_guard<std::recursive_mutex> lock(Lock);
    Threaded_.push_back(std::move(painter));
}

void TGIFPictureAnimation::FreeEnded(bool wait) {
    for (;;) {
        {
            std::lock_guard<std::recursive_mutex> lock(Lock);
            auto done = [](const std::unique_ptr<TGIFPainter>& painter) {
                if (!painter->ThreadDone_.load()) return false;
                painter->Thread_.join();
                return true;
            };
            Threaded_.erase(std::remove_if(Threaded_.begin(), Threaded_.end(), done), Threaded_.end());
            if (!wait || Threaded_.empty()) return;
        }
        LetPaintersEnd();
    }
}

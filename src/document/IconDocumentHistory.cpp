// TIconDocument's history: Undo and Redo over the frames' picture steps and the frame operations,
// the frame operations as steps (insert, duplicate, remove, move, undelete, merge repeated frames),
// and Undelete. How the two
// kinds of step interleave is told in FrameHistory.h.

#include "IconDocument.h"

#include "DocumentGif.h"

#include <algorithm>
#include <utility>

namespace {

bool SamePicture(const TSurface32& a, const TSurface32& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Bits(), a.Bits() + static_cast<size_t>(a.Width()) * a.Height(), b.Bits());
}

} // namespace

void TIconDocument::UpdateModifiedMark() {
    const bool marked = Caption_.size() >= 2 && Caption_.back() == '*';
    const bool modified = IsModified();
    if (modified && !marked)
        SetCaption(Caption_ + " *");
    else if (!modified && marked)
        SetCaption(Caption_.substr(0, Caption_.size() - 2));
}

bool TIconDocument::RedoEnabled() const {
    if (History_.CanRedo()) return true;
    return CurrentFrame_ >= 0 && CurrentFrame_ < static_cast<int>(Entries_.size()) &&
           !Entries_[CurrentFrame_].Redo.empty();
}

void TIconDocument::SelectFrameAgain(int index) {
    CurrentFrame_ = -1;
    SelectFrame(std::clamp(index, 0, std::max(FrameCount_ - 1, 0)));
}

void TIconDocument::SetDelay(int index, int delay) {
    GifFrames::SetFrameDelay(*Frames40_, index, delay);
    GifFrames::SetFrameDelay(*Frames32_, index, delay);
}

TRemovedFrame TIconDocument::TakeFrameAt(int index) {
    SettleOpenEdits();
    TRemovedFrame taken;
    const int delay = GifFrames::FrameDelay(*Frames40_, index);
    taken.Delay = delay < 0 ? DefaultDelay : delay;
    taken.Position = index;
    GifFrames::DeleteFrame(*Frames40_, index);
    GifFrames::DeleteFrame(*Frames32_, index);
    taken.Frame = std::move(Entries_[index]);
    Entries_.erase(Entries_.begin() + index);
    --FrameCount_;
    if (Observer_) Observer_->FrameRemoved(index);
    return taken;
}

void TIconDocument::PutFrameAt(int index, TRemovedFrame frame) {
    // The picture goes through the stores as any new frame does (it is already of the frame's colours,
    // so it comes back pixel for pixel); its history comes with it.
    AppendFrame(frame.Frame.Bitmap, frame.Delay);
    TFrameEntry& entry = Entries_.back();
    entry.Undo = std::move(frame.Frame.Undo);
    entry.Redo = std::move(frame.Frame.Redo);
    const int last = FrameCount_;
    ++FrameCount_;
    index = std::clamp(index, 0, last);
    if (index < last) MoveEntry(last, index);
}

void TIconDocument::InsertFrameAt(int index, const TSurface32& picture, int delay) {
    index = std::clamp(index, 0, FrameCount_);
    THistoryStep step;
    step.Operation = TFrameOperation::Insert;
    step.To = index;
    step.Selected = CurrentFrame_;
    AppendFrame(picture, delay);
    if (index < FrameCount_) MoveEntry(FrameCount_, index);
    ++FrameCount_;
    SelectFrameAgain(index);
    History_.Record(std::move(step));
    UpdateModifiedMark();
    RefreshUndoState();
    Notify(&IDocumentObserver::CommandsNeedUpdate);
}

void TIconDocument::DuplicateFrame() {
    if (!ImageLoaded_ || CurrentFrame_ < 0 || CurrentFrame_ >= FrameCount_) return;
    const TSurface32 copy = Entries_[CurrentFrame_].Bitmap; // a copy: adding a frame may move the entries
    const int delay = GifFrames::FrameDelay(*Frames40_, CurrentFrame_);
    InsertFrameAt(CurrentFrame_ + 1, copy, delay < 0 ? DefaultDelay : delay);
}

bool TIconDocument::Undelete() {
    if (!UndeleteEnabled()) return false;
    THistoryStep step;
    step.Operation = TFrameOperation::Undelete;
    step.Selected = CurrentFrame_;
    ApplyFrameStep(step, true);
    History_.Record(std::move(step));
    UpdateModifiedMark();
    RefreshUndoState();
    Notify(&IDocumentObserver::CommandsNeedUpdate);
    return true;
}

int TIconDocument::MergeRepeatedFrames() {
    if (!ImageLoaded_ || FrameCount_ < 2) return 0;
    SettleOpenEdits();
    const int selected = CurrentFrame_;
    int merged = 0, current = CurrentFrame_;
    for (int i = 1; i < FrameCount_;) {
        const int before = std::max(GifFrames::FrameDelay(*Frames40_, i - 1), 0);
        const int own = std::max(GifFrames::FrameDelay(*Frames40_, i), 0);
        if (!SamePicture(Entries_[i].Bitmap, Entries_[i - 1].Bitmap) ||
            (before + own) * 10 > MaxDisplayTime) {
            ++i;
            continue;
        }
        // The frame before shows for both times; this one goes as a removal Undelete can bring back.
        THistoryStep time;
        time.Operation = TFrameOperation::DisplayTime;
        time.From = i - 1;
        time.Selected = selected;
        time.OldDelay = before;
        time.NewDelay = before + own;
        time.Joined = merged > 0;
        SetDelay(i - 1, time.NewDelay);
        History_.Record(std::move(time));
        THistoryStep remove;
        remove.Operation = TFrameOperation::Remove;
        remove.From = remove.Selected = i;
        remove.Joined = true;
        ApplyFrameStep(remove, true);
        History_.Record(std::move(remove));
        if (current >= i) --current;
        ++merged;
    }
    if (merged == 0) return 0;
    SelectFrameAgain(current);
    UpdateModifiedMark();
    RefreshUndoState();
    Notify(&IDocumentObserver::CommandsNeedUpdate);
    return merged;
}

void TIconDocument::ReverseFrames() {
    if (!ImageLoaded_ || FrameCount_ < 2) return;
    SettleOpenEdits();
    const int current = FrameCount_ - 1 - CurrentFrame_;
    // The last frame moves to each place in turn: n - 1 moves, undone from the last.
    for (int i = 0; i + 1 < FrameCount_; ++i) {
        THistoryStep step;
        step.Operation = TFrameOperation::Move;
        step.From = FrameCount_ - 1;
        step.To = i;
        step.Selected = CurrentFrame_;
        step.Joined = i > 0;
        ApplyFrameStep(step, true);
        History_.Record(std::move(step));
    }
    SelectFrameAgain(current);
    UpdateModifiedMark();
    RefreshUndoState();
    Notify(&IDocumentObserver::CommandsNeedUpdate);
}

bool TIconDocument::SetAllDisplayTimes(int milliseconds) {
    if (!ImageLoaded_ || milliseconds < MinDisplayTime || milliseconds > MaxDisplayTime) return false;
    const int delay = milliseconds / 10;
    bool changed = false;
    for (int i = 0; i < FrameCount_; ++i) {
        const int old = GifFrames::FrameDelay(*Frames40_, i);
        if (old == delay) continue;
        THistoryStep step;
        step.Operation = TFrameOperation::DisplayTime;
        step.From = i;
        step.Selected = CurrentFrame_;
        step.OldDelay = std::max(old, 0);
        step.NewDelay = delay;
        step.Joined = changed;
        SetDelay(i, delay);
        History_.Record(std::move(step));
        changed = true;
    }
    if (!changed) return true;
    SelectFrameAgain(CurrentFrame_); // the display-time field shows the new time
    UpdateModifiedMark();
    RefreshUndoState();
    Notify(&IDocumentObserver::CommandsNeedUpdate);
    return true;
}

void TIconDocument::ApplyFrameStep(THistoryStep& step, bool forwards) {
    std::vector<TRemovedFrame>& undeleted = History_.Undeleted();
    switch (step.Operation) {
    case TFrameOperation::Insert:
        if (forwards) {
            if (step.Frame) PutFrameAt(step.To, std::move(*step.Frame));
            step.Frame.reset();
            SelectFrameAgain(step.To);
        } else {
            step.Frame = TakeFrameAt(step.To);
            SelectFrameAgain(step.Selected);
        }
        break;
    case TFrameOperation::Remove:
        if (forwards) {
            undeleted.push_back(TakeFrameAt(step.From));
            SelectFrameAgain(std::min(step.From, FrameCount_ - 1));
        } else if (!undeleted.empty()) {
            // The frame this removal put on the stack is on top: every later step that touched the
            // stack has been undone before this one.
            TRemovedFrame frame = std::move(undeleted.back());
            undeleted.pop_back();
            PutFrameAt(step.From, std::move(frame));
            SelectFrameAgain(step.From);
        }
        break;
    case TFrameOperation::Undelete:
        if (forwards) {
            if (undeleted.empty()) break;
            TRemovedFrame frame = std::move(undeleted.back());
            undeleted.pop_back();
            step.From = frame.Position;
            step.To = std::min(frame.Position, FrameCount_);
            PutFrameAt(step.To, std::move(frame));
            SelectFrameAgain(step.To);
        } else {
            TRemovedFrame frame = TakeFrameAt(step.To);
            frame.Position = step.From;
            undeleted.push_back(std::move(frame));
            SelectFrameAgain(std::min(step.To, FrameCount_ - 1));
        }
        break;
    case TFrameOperation::Move:
        if (forwards)
            MoveEntry(step.From, step.To);
        else
            MoveEntry(step.To, step.From);
        SelectFrameAgain(forwards ? step.To : step.From);
        break;
    case TFrameOperation::DisplayTime:
        SetDelay(step.From, forwards ? step.NewDelay : step.OldDelay);
        SelectFrameAgain(step.From);
        break;
    }
}

bool TIconDocument::Undo() {
    return StepHistory(false);
}

bool TIconDocument::Redo() {
    return StepHistory(true);
}

bool TIconDocument::StepHistory(bool forwards) {
    SettleOpenEdits();
    bool done = false;
    const bool current = CurrentFrame_ >= 0 && CurrentFrame_ < static_cast<int>(Entries_.size());
    if (current && (forwards ? History_.PictureRedoFirst(Entries_[CurrentFrame_])
                             : History_.PictureUndoFirst(Entries_[CurrentFrame_]))) {
        // The picture shown goes onto the other list; the one taken becomes the picture.
        TFrameEntry& entry = Entries_[CurrentFrame_];
        std::vector<TPictureStep>& from = forwards ? entry.Redo : entry.Undo;
        std::vector<TPictureStep>& to = forwards ? entry.Undo : entry.Redo;
        to.push_back(TPictureStep{WorkBitmap_, History_.Tick()});
        WorkBitmap_ = std::move(from.back().Picture);
        from.pop_back();
        done = true;
    } else if (forwards ? History_.CanRedo() : History_.CanUndo()) {
        // One command's steps go together: Undo from its last step back to its first (and then the frame
        // that was current before the command is current again), Redo from its first.
        int steps = 0, selectedBefore = -1;
        for (bool more = true; more; ++steps) {
            THistoryStep step = forwards ? History_.TakeRedo() : History_.TakeUndo();
            more = forwards ? History_.RedoJoined() : step.Joined && History_.CanUndo();
            selectedBefore = step.Selected;
            ApplyFrameStep(step, forwards);
            if (forwards)
                History_.PushUndo(std::move(step));
            else
                History_.PushRedo(std::move(step));
        }
        if (!forwards && steps > 1 && selectedBefore >= 0) SelectFrameAgain(selectedBefore);
        done = true;
    }
    UpdateModifiedMark();
    SelectFrame(CurrentFrame_);
    return done;
}

#include "FrameHistory.h"

#include <utility>

void TFrameHistory::Record(THistoryStep step) {
    Redo_.clear();
    PushUndo(std::move(step));
}

THistoryStep TFrameHistory::TakeUndo() {
    THistoryStep step = std::move(Undo_.back());
    Undo_.pop_back();
    return step;
}

THistoryStep TFrameHistory::TakeRedo() {
    THistoryStep step = std::move(Redo_.back());
    Redo_.pop_back();
    return step;
}

void TFrameHistory::PushUndo(THistoryStep step) {
    step.Stamp = Tick();
    Undo_.push_back(std::move(step));
}

void TFrameHistory::PushRedo(THistoryStep step) {
    step.Stamp = Tick();
    Redo_.push_back(std::move(step));
}

bool TFrameHistory::PictureUndoFirst(const THistoryFrame& frame) const {
    if (frame.Undo.empty()) return false;
    return Undo_.empty() || frame.Undo.back().Stamp > UndoStamp();
}

bool TFrameHistory::PictureRedoFirst(const THistoryFrame& frame) const {
    if (frame.Redo.empty()) return false;
    return Redo_.empty() || frame.Redo.back().Stamp > RedoStamp();
}

void TFrameHistory::ClearSteps() {
    Undo_.clear();
    Redo_.clear();
}

void TFrameHistory::ClearAll() {
    ClearSteps();
    Undeleted_.clear();
}

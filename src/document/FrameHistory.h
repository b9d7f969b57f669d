#pragma once
// The document's history: how Undo and Redo choose their step, and the stack of removed frames.
//
// The model. Every change the user can take back is one step, and every step carries a stamp from one
// clock: the moment it was last done, undone or redone. There are two kinds of step:
//
// - Picture steps, one per edit of a frame's picture. They live in the frame itself (THistoryFrame:
//   the pictures before each change on Undo, the pictures after each undone change on Redo), so a
//   frame carries its own history when it is moved, removed, put back or undeleted.
// - Frame steps, one per frame operation: insert (also duplicate), remove, move, undelete and a
//   change of display time. They live here, in the document's list (Undo, Redo), and name frames by
//   their place in the frame list.
//
// Undo takes, of the current frame's newest picture step and the newest frame step, the one with the
// later stamp; Redo takes, of the current frame's and the document's most recently undone steps, the
// one undone later. So picture steps and frame steps interleave in the order they happened, while
// picture steps stay per frame: Undo on one frame never changes another frame's picture. A new edit
// drops the redo steps of its frame, a new frame operation the redo steps of the frame list.
//
// A command that makes several frame steps (Merge repeated frames) marks every step after its first as
// joined to the one before: Undo takes back the whole run, and Redo does it all again.
//
// Frame steps stay valid by their places because only frame steps change the frame list, and they are
// undone and redone last-in first-out. A removed frame goes onto the undelete stack (Undeleted, newest
// last); undoing the removal takes it back from there, Undelete is itself a frame step (undoing it puts
// the frame back onto the stack), so the stack and the steps always agree.

#include "Surface32.h"

#include <cstdint>
#include <optional>
#include <vector>

// One picture of a frame's history: the picture before a change (undo) or after it (redo).
struct TPictureStep {
    TSurface32 Picture;
    uint64_t Stamp = 0;
};

// A frame with everything that travels with it: its picture (40 × 40), thumbnail (32 × 32) and its
// picture steps, oldest first.
struct THistoryFrame {
    TSurface32 Bitmap;
    TSurface32 Thumbnail;
    std::vector<TPictureStep> Undo;
    std::vector<TPictureStep> Redo;
};

// A frame taken out of the list: the frame, its Delay Time (hundredths of a second) and the place it
// had.
struct TRemovedFrame {
    THistoryFrame Frame;
    int Delay = 0;
    int Position = 0;
};

enum class TFrameOperation { Insert, Remove, Move, DisplayTime, Undelete };

struct THistoryStep {
    TFrameOperation Operation = TFrameOperation::Insert;
    // Insert, Undelete: To is the new frame's place (Undelete: From the place it was removed from);
    // Remove: From; Move: From → To; DisplayTime: From is the frame.
    int From = -1;
    int To = -1;
    int OldDelay = 0, NewDelay = 0;     // DisplayTime, in hundredths of a second
    int Selected = -1;                  // the current frame before the step (Insert: selected again on undo)
    std::optional<TRemovedFrame> Frame; // an undone insert: the frame its redo puts back
    bool Joined = false; // undone and redone together with the step recorded before it (one command)
    uint64_t Stamp = 0;
};

class TFrameHistory {
  public:
    // The next moment of the clock.
    uint64_t Tick() { return ++Clock_; }

    // A new frame operation: its redo steps go, the step becomes the newest.
    void Record(THistoryStep step);
    bool CanUndo() const { return !Undo_.empty(); }
    bool CanRedo() const { return !Redo_.empty(); }
    uint64_t UndoStamp() const { return Undo_.empty() ? 0 : Undo_.back().Stamp; }
    uint64_t RedoStamp() const { return Redo_.empty() ? 0 : Redo_.back().Stamp; }
    // The newest step leaves its list; the caller applies it and hands it to the other list.
    THistoryStep TakeUndo();
    THistoryStep TakeRedo();
    // The most recently undone step belongs to the command of the one redone before it.
    bool RedoJoined() const { return !Redo_.empty() && Redo_.back().Joined; }
    void PushUndo(THistoryStep step); // stamped now
    void PushRedo(THistoryStep step); // stamped now

    // Whether the frame's newest picture step (undo) or most recently undone one (redo) comes before
    // the document's own.
    bool PictureUndoFirst(const THistoryFrame& frame) const;
    bool PictureRedoFirst(const THistoryFrame& frame) const;

    // The undelete stack, newest last.
    std::vector<TRemovedFrame>& Undeleted() { return Undeleted_; }
    const std::vector<TRemovedFrame>& Undeleted() const { return Undeleted_; }

    // Saved: the frame steps go (the picture steps are the frames' own). The undelete stack stays.
    void ClearSteps();
    // A new or opened document: everything goes.
    void ClearAll();

  private:
    uint64_t Clock_ = 0;
    std::vector<THistoryStep> Undo_;
    std::vector<THistoryStep> Redo_;
    std::vector<TRemovedFrame> Undeleted_;
};

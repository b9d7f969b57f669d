#pragma once
// How the document tells the window what to show. Every call has an empty default so a window (or a
// test) overrides only what it displays. All calls come on the thread that drives the document.

#include <string>

class IDocumentObserver {
  public:
    virtual ~IDocumentObserver() = default;

    // The window caption: "Tindra - <name>", with " *" while modified, or "Tindra" without a document.
    virtual void CaptionChanged(const std::string& caption) { (void)caption; }
    // The frame information of the status bar, e.g. "2/5" or "2/5 *".
    virtual void FrameInfoChanged(const std::string& text) { (void)text; }
    // The frame list now has count rows, showing "1" .. count (rebuild the rows): the document was
    // emptied or replaced.
    virtual void FrameListChanged(int count) { (void)count; }
    // A frame was added at index: one more row (the rows show "1" .. count).
    virtual void FrameInserted(int index) { (void)index; }
    // The frame at index was removed: one row less.
    virtual void FrameRemoved(int index) { (void)index; }
    // The frame at from now stands at to (the frames between shifted by one), with its picture.
    virtual void FrameMoved(int from, int to) {
        (void)from;
        (void)to;
    }
    // The picture of frame index changed; repaint its row.
    virtual void FramePictureChanged(int index) { (void)index; }
    // Every picture of the frame list changed (the output size); repaint them (the rows stay).
    virtual void FrameListRepaint() {}
    // Row index of the frame list becomes the selected row.
    virtual void FrameRowSelected(int index) { (void)index; }
    // The frame list shows 40 × 40 pictures (outputSize 40) or the 32 × 32 thumbnails (32).
    virtual void OutputSizeChanged(int outputSize) { (void)outputSize; }
    // The Undo command becomes enabled or disabled.
    virtual void UndoEnabledChanged(bool enabled) { (void)enabled; }
    // The still preview should show the current frame as committed (IconDocument::PreviewPicture()).
    // Not called while the animation plays.
    virtual void PreviewPictureChanged() {}
    // WorkBitmap or the border crossing changed; repaint the canvas.
    virtual void CanvasRepaint() {}
    // The display-time field should show this value (milliseconds).
    virtual void DisplayTimeChanged(int milliseconds) { (void)milliseconds; }
    // The enabled state of the commands may have changed (ImageLoaded, FrameCount, CurrentFrame,
    // Animating, OutputSize).
    virtual void CommandsNeedUpdate() {}
    // The drawing, background or transparent colour changed: set by a command or the dropper, or put
    // back to the defaults by a new or opened document (IconDocument::DrawColor() and the others).
    virtual void ColorsChanged() {}
    // The colour tables of Frames40 changed (the palette grid repaints).
    virtual void PaletteChanged() {}
    // The document is being replaced: the window drops the current tool and stops the animation
    // painter of Frames40 before the document clears it.
    virtual void DocumentClosing() {}
    // A long operation starts / ends: disable the window and show the busy cursor, then undo that.
    // Always paired, also when the operation fails.
    virtual void BeginBusy() {}
    virtual void EndBusy() {}
    // A file dialog's folder was used (the window stores it as the setting "Path").
    virtual void FolderUsed(const std::string& folder) { (void)folder; }
    // A file was opened from the open dialog, the command line or a drop: put it first in the recent
    // files.
    virtual void AddRecentFile(const std::string& path) { (void)path; }
    // Saving the changes before New, Open or closing failed to write; the old file is intact and the
    // document stays (the window reports the write error).
    virtual void SaveChangesFailed() {}
};

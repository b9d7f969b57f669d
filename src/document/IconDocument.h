#pragma once
// TIconDocument: the icon being edited, without any window.
//
// The document is an ordered list of frames, each a 40 × 40 picture with a display time. It keeps six
// per-frame stores in step: the two GIF objects Frames40 (40 × 40 frames, used for output with the border,
// the preview and the palette grid) and Frames32 (their inner 32 × 32 areas, used for output without the
// border), the editable 40 × 40 frame pictures, their 32 × 32 thumbnails, one picture history per frame
// and the rows of the frame list (told to the observer as a count). Frame operations have a history of
// their own beside the frames' (FrameHistory.h says how Undo and Redo choose between them). The current frame is edited in WorkBitmap,
// one change at a time through an edit (BeginEdit); CommitFrame writes it back into every store. The
// document also owns the editor's drawing, background and transparent colours.
//
// The document never shows anything itself: it reports through return values and IDocumentObserver, and
// takes the user's answers through IDocumentAsker. See README.md for how a window drives it.

#include "DocumentAsker.h"
#include "DocumentName.h"
#include "DocumentObserver.h"
#include "FrameHistory.h"
#include "PixelImage.h"
#include "Surface32.h"
#include "SurfaceColor.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TGIFPicture;

enum class TSourceFormat : uint8_t { Gif = 0, Bmp = 1, Ico = 2, Png = 3 };
enum class TFrameStep { First, Previous, Next, Last };
enum class TInsertPosition { Before = 0, After = 1 };

enum class TOpenResult {
    Opened,    // a document with the file's frames
    Cancelled, // the open dialog was cancelled: the document stays as it was
    Failed,    // the file was refused; show "Error opening file." (what stays: see OpenFile)
    Abandoned  // Cancel to "Save changes?", or Yes but nothing was saved: the document stays untouched
};

enum class TSaveResult {
    Saved,
    Cancelled,  // the save dialog was cancelled, or the overwrite question answered No
    WriteFailed // the file could not be written; a file it would have replaced is left intact
};

class TIconDocument {
  public:
    static constexpr int FrameSide = 40;
    static constexpr int InnerSide = 32;
    static constexpr int BorderWidth = 4;
    static constexpr int MinDisplayTime = 10;
    static constexpr int MaxDisplayTime = 300000;
    static constexpr int DefaultDelay = 10; // hundredths of a second: 100 ms
    // A GIF with more frames is refused when opened (each frame holds several pictures in memory).
    static constexpr int MaxFrames = 4096;

    // programFolder is the folder a new document lives in ("new.gif").
    explicit TIconDocument(std::string programFolder = std::string());
    ~TIconDocument();
    TIconDocument(const TIconDocument&) = delete;
    TIconDocument& operator=(const TIconDocument&) = delete;

    void SetObserver(IDocumentObserver* observer); // nullptr: nobody listens
    // The two 40 × 40 empty-frame pictures: 0 plain, 1 with the border. Until set, built-in ones are used
    // (grey 0xFFCCCCCC, the second with the drawn border).
    void SetEmptyTemplates(const TSurface32& plain, const TSurface32& bordered);
    const TSurface32& EmptyTemplate(int index) const;

    // ---- State
    bool ImageLoaded() const { return ImageLoaded_; }
    int FrameCount() const { return FrameCount_; }
    int CurrentFrame() const { return CurrentFrame_; }
    int ImageSize() const { return ImageSize_; }
    int OutputSize() const { return OutputSize_; }
    TSourceFormat SourceFormat() const { return SourceFormat_; }
    bool Animating() const { return Animating_; }
    const TDocumentName& Name() const { return Name_; }
    std::string Caption() const { return Caption_; }
    std::string FrameInfo() const;
    // Undo / Redo have a step for the current frame: a picture step of that frame or a frame operation.
    bool UndoEnabled() const;
    bool RedoEnabled() const;
    // Some removed frame can be put back.
    bool UndeleteEnabled() const { return ImageLoaded_ && !History_.Undeleted().empty(); }

    // ---- Colours: the left button draws in DrawColor, the right one in BackColor (which Clear fills
    // with), and saving without the border makes TransparentColor transparent. A new or opened document
    // starts from the defaults (black, 0xFFCCCCCC, 0xFFCCCCCC), except that a file with transparent
    // pixels which also uses that grey opaquely gets a background and transparent colour next to it
    // that it does not use. Every change is told through IDocumentObserver::ColorsChanged; while no
    // document is open the setters change nothing.
    TSurfaceColor DrawColor() const { return DrawColor_; }
    TSurfaceColor BackColor() const { return BackColor_; }
    TSurfaceColor TransparentColor() const { return TransparentColor_; }
    void SetDrawColor(TSurfaceColor color);
    void SetBackColor(TSurfaceColor color);
    // The transparent colour becomes the background colour (the right button's) as well.
    void SetTransparentColor(TSurfaceColor color);

    // ---- Looping of the animation: how often a saved animation plays. LoopForever (a new document), N
    // (the animation repeats N more times after it was shown once: the looping extension's count), or
    // PlayOnce (no looping extension). An opened GIF keeps its own; a change makes the document modified.
    static constexpr int LoopForever = 0;
    static constexpr int PlayOnce = -1;
    static constexpr int MaxLoopCount = 65535;
    int LoopCount() const { return LoopCount_; }
    // Values outside PlayOnce..MaxLoopCount are refused (false), as is a change without a document.
    bool SetLoopCount(int count);
    // How many passes the preview plays: 0 without end, else LoopCount() + 1.
    int PreviewPasses() const;
    // A typed loop count: empty (or blanks) is PlayOnce, else a whole number 0..MaxLoopCount.
    static bool ParseLoopCount(const std::string& text, int& count);

    bool AutoBorder() const { return AutoBorder_; }
    void SetAutoBorder(bool on) { AutoBorder_ = on; }
    // The window's preview plays (true) or shows the current frame (false). The window starts and stops
    // the painter on Frames40 itself; stopping refreshes the current frame.
    void SetAnimating(bool on);

    // ---- Stores
    // The current frame's picture. Commands change it through an edit (BeginEdit); writing to it
    // directly changes it without an undo snapshot (for loaders and tests).
    TSurface32& WorkBitmap() { return WorkBitmap_; }
    const TSurface32& WorkBitmap() const { return WorkBitmap_; }
    TGIFPicture& Frames40() { return *Frames40_; }
    TGIFPicture& Frames32() { return *Frames32_; }
    const TGIFPicture& Frames40() const { return *Frames40_; }
    const TGIFPicture& Frames32() const { return *Frames32_; }
    const TSurface32& FrameBitmap(int index) const { return Entries_.at(index).Bitmap; }
    const TSurface32& FrameThumbnail(int index) const { return Entries_.at(index).Thumbnail; }
    // The picture row index of the frame list shows: the 40 × 40 picture or the 32 × 32 thumbnail.
    const TSurface32& FrameListPicture(int index) const;
    int UndoDepth(int index) const { return static_cast<int>(Entries_.at(index).Undo.size()); }
    int RedoDepth(int index) const { return static_cast<int>(Entries_.at(index).Redo.size()); }
    // Removed frames waiting for Undelete.
    int UndeleteDepth() const { return static_cast<int>(History_.Undeleted().size()); }
    // The still preview's picture: the current frame as last committed.
    const TSurface32& PreviewPicture() const { return Preview_; }
    // Display time of frame index in milliseconds (Delay Time × 10); 0 when it has none.
    int DisplayTime(int index) const;

    // ---- Frame store operations
    // Adds a 40 × 40 picture as a new last frame with a Delay Time in hundredths of a second. Changes
    // neither FrameCount nor CurrentFrame; its callers do.
    void AppendFrame(const TSurface32& picture, int delay);
    // Makes frame index current (out of range, or the current index: only refreshes) and commits.
    void SelectFrame(int index);
    // Writes WorkBitmap back into every store of the current frame (drawing the border first when
    // AutoBorder is on).
    void CommitFrame();
    void GoToFrame(TFrameStep step);
    // True when some frame has undo snapshots or a frame operation can be undone (since the document
    // was started or saved), or a change without history was made (MarkModified).
    bool IsModified() const;

    // ---- Edits and undo
    class TEdit;
    // Starts one change of the current frame's picture: a snapshot of WorkBitmap goes onto the frame's
    // undo stack (so the document is modified from here on and Undo is available) and, while Auto
    // border is on, the border is drawn, so that the change works on the picture as it will be kept.
    // Nothing is written into the other stores until the edit is committed; a commit that leaves the
    // picture as it was takes the snapshot away again. Without a current frame
    // the edit takes no snapshot and only its commit does anything.
    [[nodiscard]] TEdit BeginEdit();
    // Takes back the newer of the current frame's newest picture step and the newest frame operation
    // (see FrameHistory.h); false when there is neither.
    bool Undo();
    // Does again the most recently undone of the current frame's picture steps and the frame operations;
    // false when there is none.
    bool Redo();

    // ---- Display time
    // Rounds a typed field value down to a multiple of 10 (what the field shows while typing).
    static int RoundDisplayTime(int milliseconds) { return milliseconds / 10 * 10; }
    // The field lost the focus with value milliseconds: when 0 < value <= 300000 and value div 10
    // differs from the current frame's Delay Time, that Delay Time in both GIF objects becomes
    // value div 10 and the document is modified (true); otherwise nothing changes (false).
    bool SetDisplayTime(int milliseconds);

    // ---- Output size (40 with the border, 32 without)
    void SetOutputSize(int size);
    bool IcoExportEnabled() const { return ImageLoaded_ && OutputSize_ == InnerSide; }

    // ---- Whole document
    // Asks "Save changes?" when modified and saves on Yes. False when the user chose Cancel, or said Yes
    // but nothing was saved (dialog cancelled, write failed): the caller must then keep the document.
    bool SaveChangesIfWanted(IDocumentAsker& asker);
    // A new one-frame document; false (nothing changed) when SaveChangesIfWanted says so.
    bool NewDocument(IDocumentAsker& asker);
    // Opens a GIF, ICO, BMP or PNG file. An empty name asks the open dialog; cancelling it leaves the
    // document as it was. addToRecent: report the file through IDocumentObserver::AddRecentFile on
    // success. A refused file leaves the document that was open as it was (unsaved changes included):
    // the file is read completely before anything of the document changes.
    TOpenResult OpenFile(const std::string& name, bool addToRecent, IDocumentAsker& asker);
    // The same without any question (the command line of batch conversion): opens, or fails and leaves
    // no document.
    TOpenResult OpenFileDirect(const std::string& path, bool addToRecent);

    std::string DefaultDocumentFileName() const;
    std::string DefaultFrameFileName(TFileKind kind) const;
    // Save as: asks the file name and overwrite, then writes.
    TSaveResult SaveDocumentAs(IDocumentAsker& asker);
    // Writes the document to path (no questions) and, on success, makes it the document's file.
    TSaveResult SaveDocumentTo(const std::string& path);
    // Frame exports of the current frame: ask, then write. Never change the name or the undo stacks.
    TSaveResult SaveFrameAs(TFileKind kind, IDocumentAsker& asker);
    TSaveResult WriteFrame(TFileKind kind, const std::string& path);
    // The bytes the saves write (for tests and the batch converter).
    std::vector<uint8_t> EncodeDocumentGif() const;
    std::vector<uint8_t> EncodeFrameGif() const;
    std::vector<uint8_t> EncodeFrameBmp() const;
    std::vector<uint8_t> EncodeFrameIco() const;
    // The ICO export writes the classic one-entry 256-colour icon (off, the default), or that entry
    // followed by 32 × 32 in 32 bits with alpha and 16 × 16 in 8 and 32 bits (on).
    bool ModernIco() const { return ModernIco_; }
    void SetModernIco(bool on) { ModernIco_ = on; }
    // The animated GIF save writes frames after the first as the changed rectangle only (on), or every
    // frame whole (off, the default).
    bool OptimizeGif() const { return OptimizeGif_; }
    void SetOptimizeGif(bool on) { OptimizeGif_ = on; }
    // The current frame as PNG: 40 × 40 opaque with the border; without it the inner 32 × 32 area with
    // the transparent colour as alpha 0.
    std::vector<uint8_t> EncodeFramePng() const;
    // Every frame left to right in one PNG strip (OutputSize high, FrameCount × OutputSize wide, the
    // transparent colour as alpha 0 without the border), and the text file of display times written
    // beside it (SpriteSheetTimesPath).
    std::vector<uint8_t> EncodeSpriteSheet() const;
    std::string SpriteSheetTimes() const;
    // The display-time file that belongs to a strip: the same path with the extension ".txt".
    static std::string SpriteSheetTimesPath(const std::string& pngPath);
    // Display times (milliseconds) read from a strip's text file: numbers one a line, "#" lines and blank
    // lines skipped. Empty when the text is not such a list.
    static std::vector<int> ParseSpriteSheetTimes(const std::string& text);

    // ---- Frame operations (each one step of the document's history; see FrameHistory.h)
    // Inserts a 40 × 40 picture before or after the current frame with a display time in milliseconds.
    void InsertFrame(TInsertPosition position, const TSurface32& picture, int displayTime);
    // Puts a copy of the current frame (picture and display time, no history) after it and selects it.
    void DuplicateFrame();
    // Each frame that shows the same picture as the frame before it is removed and its display time
    // added to that frame's (while the sum stays within MaxDisplayTime): the animation plays the same
    // with fewer frames. One command for Undo and Redo; returns how many frames went.
    int MergeRepeatedFrames();
    // The frames in the opposite order, the current frame following its picture. One command for Undo.
    void ReverseFrames();
    // Every frame shows for `milliseconds` (10 to MaxDisplayTime, in steps of 10 as one frame's time);
    // false for a time out of range. One command for Undo; frames that already show that long keep
    // theirs, and nothing is recorded when none changes.
    bool SetAllDisplayTimes(int milliseconds);
    // Removes the current frame (nothing with fewer than two frames); it goes onto the undelete stack.
    void RemoveFrame();
    // Puts the most recently removed frame back at its place (or last, when the list is shorter now),
    // with its picture, display time and picture history, and selects it; false when none is waiting.
    bool Undelete();
    // Moves the current frame to index target (the frames between shift by one).
    void MoveFrame(int target);
    // With two frames the move needs no dialog: the two swap.
    bool MoveNeedsDialog() const { return FrameCount_ > 2; }
    void SwapTwoFrames() { MoveFrame(1 - CurrentFrame_); }

    // Placement of an inserted picture on the bordered template: at most 32 × 32 centred, else drawn at
    // (0, 0) and cut at 40 × 40; drawn opaquely. A picture with a transparency mask keeps the template
    // where it is transparent.
    TSurface32 InsertPreview(const TPixelImage* picture) const;
    // The picture a file gives for inserting: a GIF's first frame, a BMP, an ICO (with its mask). Throws
    // std::runtime_error when the file cannot be read.
    static TPixelImage LoadInsertPicture(const std::string& path);
    // A GIF's first frame as a picture of its screen's size, its transparent pixels (and what the frame
    // leaves uncovered) marked transparent; throws std::runtime_error when it has no frame.
    static TPixelImage FirstGifPicture(const TGIFPicture& gif);
    // The move dialog's rule: the slider may not rest on the current position.
    static int AdjustMoveSlider(int value, int current, int maximum);

    // Loaders, as OpenFile runs them on the extension (exposed for tests).
    bool LoadGif(const std::vector<uint8_t>& bytes);
    bool LoadIco(const TPixelImage& icon);
    bool LoadBmp(const TPixelImage& bitmap);

  private:
    friend class TEdit;
    using TFrameEntry = THistoryFrame;
    // What a file gives, read completely before the document is replaced.
    struct TLoadedPictures {
        int Side = FrameSide;
        TSourceFormat Format = TSourceFormat::Gif;
        std::vector<TSurface32> Pictures; // 40 × 40, composed on the templates
        std::vector<int> Delays;          // hundredths of a second
        int Loops = LoopForever;
        // Per picture (40 × 40, row by row), where the file is transparent and the empty frame shows
        // through; empty when nothing is transparent.
        std::vector<std::vector<bool>> ShowThrough;
        TSurfaceColor Transparent = DefaultTransparentColor; // the document's transparent colour
    };
    // Gives the transparent pixels a transparent colour of their own when the picture also uses the
    // default one opaquely (so that saving without the border keeps those pixels opaque).
    static void SeparateTransparentColor(TLoadedPictures& loaded);
    bool DecodeGif(const std::vector<uint8_t>& bytes, TLoadedPictures& out) const;
    bool DecodeSingle(const TPixelImage& picture, TSourceFormat format, TLoadedPictures& out) const;
    bool DecodePath(const std::string& path, TLoadedPictures& out) const;
    bool DecodePng(const std::vector<uint8_t>& bytes, const std::string& path, TLoadedPictures& out) const;
    void ApplyLoaded(TLoadedPictures& loaded);

    void Notify(void (IDocumentObserver::*fn)());
    void SetCaption(const std::string& caption);
    void ResetDocument();
    void StartDocument(); // after the frames are in: optimize, caption, select frame 0
    void RefreshUndoState();
    // A change the undo stacks do not record (frame operations, display times): modified until saved.
    void MarkModified();
    void MoveEntry(int from, int to);
    // The caption's " *" follows IsModified.
    void UpdateModifiedMark();
    // Adds a frame at index with a Delay Time and records the step; selects it.
    void InsertFrameAt(int index, const TSurface32& picture, int delay);
    // Takes frame index out of every store / puts a taken frame in at index (no selection, no step).
    TRemovedFrame TakeFrameAt(int index);
    void PutFrameAt(int index, TRemovedFrame frame);
    void SetDelay(int index, int delay);
    // Applies a frame step forwards (redo) or backwards (undo) and selects the frame it concerns.
    void ApplyFrameStep(THistoryStep& step, bool forwards);
    // Undo (forwards false) or Redo.
    bool StepHistory(bool forwards);
    // Makes index current, reloading WorkBitmap from the frame even when it already was.
    void SelectFrameAgain(int index);
    // The pictures and undo stacks moved on (another frame, an undo, a save, a new document): edits
    // still open can no longer be put back.
    void SettleOpenEdits();
    void RestoreEdit(int frame, size_t depth, std::vector<TPictureStep>& redo);
    // A committed edit that left the picture as its snapshot: the snapshot goes, the redo steps the edit
    // took come back, and the modified mark follows the histories again.
    void ForgetUnchangedEdit(int frame, size_t depth, std::vector<TPictureStep>& redo);
    TSaveResult AskAndWrite(TFileKind kind, IDocumentAsker& asker, bool document);
    TOpenResult OpenPath(const std::string& path, bool addToRecent, bool keepOnFailure);
    TOpenResult LoadPath(const std::string& path, bool addToRecent, bool keepOnFailure);

    std::string ProgramFolder_;
    IDocumentObserver* Observer_ = nullptr;
    TSurface32 Templates_[2];

    std::unique_ptr<TGIFPicture> Frames40_;
    std::unique_ptr<TGIFPicture> Frames32_;
    std::vector<TFrameEntry> Entries_;
    TFrameHistory History_;
    TSurface32 WorkBitmap_;
    TSurface32 Preview_;

    bool ImageLoaded_ = false;
    int FrameCount_ = 0;
    int CurrentFrame_ = -1;
    int ImageSize_ = 40;
    int OutputSize_ = 40;
    TSourceFormat SourceFormat_ = TSourceFormat::Gif;
    bool Animating_ = false;
    TDocumentName Name_;
    std::string Caption_ = "Tindra";
    // A change the histories do not record, since the last start or save.
    bool FramesChanged_ = false;
    int LoopCount_ = LoopForever;
    bool ModernIco_ = false;
    bool OptimizeGif_ = false;

    TSurfaceColor DrawColor_ = DefaultDrawColor;
    TSurfaceColor BackColor_ = DefaultBackColor;
    TSurfaceColor TransparentColor_ = DefaultTransparentColor;
    bool AutoBorder_ = false;
    std::vector<TEdit*> OpenEdits_; // edits made and neither committed nor dropped
};

// One change of the current frame's picture (see TIconDocument::BeginEdit):
//
//     TIconDocument::TEdit edit = document.BeginEdit();
//     edit.Picture().FlipHorizontal();
//     edit.Commit();
//
// Commit writes the picture into every store of the frame (CommitFrame); when the picture came out as
// it was, the edit leaves no undo step, keeps the frame's redo steps and leaves the modified mark as it
// was before the edit began. An edit dropped without
// Commit (an early return, an exception) puts the picture, the undo stack and the modified mark back
// as they were before it began, unless the document has moved on since (another frame, an undo, a
// save, a new document, an edit begun later and kept): then it leaves everything as it is.
class TIconDocument::TEdit {
  public:
    TEdit(TEdit&& other) noexcept;
    TEdit(const TEdit&) = delete;
    TEdit& operator=(const TEdit&) = delete;
    TEdit& operator=(TEdit&&) = delete;
    ~TEdit();

    // The picture to change: the document's WorkBitmap. Throws std::logic_error once the document is
    // gone (an edit must not outlive its document's users).
    TSurface32& Picture();
    // Writes the changed picture back; the edit is then finished (a second call, or one after the
    // document is gone, does nothing).
    void Commit();

  private:
    friend class TIconDocument;
    TEdit(TIconDocument& document, int frame, size_t depth);
    void Close();

    TIconDocument* Document_; // nullptr once the document is gone
    int Frame_;               // the frame whose stack has the snapshot, or -1 (no snapshot)
    size_t Depth_;            // that stack's size with the snapshot on it
    bool Restorable_;         // the snapshot is still the newest change of the current frame
    std::vector<TPictureStep> Redo_; // the frame's redo steps the edit dropped, back if it is dropped
    bool Open_ = true;
};

#include "IconDocument.h"

#include "BmpFile.h"
#include "DocumentGif.h"
#include "GIFPicture.h"
#include "IcoFile.h"
#include "ModernIcon.h"
#include "PngFile.h"
#include "SafeFile.h"

#include "ImageTransforms.h"
#include "SurfaceColor.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <unordered_set>
#include <utility>

namespace {

constexpr size_t MaxGifFileBytes = 16u << 20;
constexpr size_t MaxPictureFileBytes = 16u << 20;
constexpr int MaxInsertSide = 4096;
constexpr uint32_t TemplateGrey = 0xFFCCCCCCu;
// A sprite sheet's display-time file is a few bytes a frame.
constexpr size_t MaxTimesFileBytes = 1u << 20;

// The surface pixels of a w × h block of picture at (sx, 0) with alpha zeroed where the colour is
// transparentColor (all 32 bits compared), else opaque.
void CopyWithAlpha(const TSurface32& picture, int sx, int sy, int side, TPixelImage& out, int ox,
                   bool withAlpha, uint32_t transparentColor) {
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const uint32_t c = picture.GetPixel(sx + x, sy + y);
            out.At(ox + x, y) = withAlpha && c == transparentColor ? (c & 0xFFFFFFu) : (c | 0xFF000000u);
        }
}

// Copies the w × h block of source at (sx, sy) into a new surface.
TSurface32 Crop(const TSurface32& source, int sx, int sy, int w, int h) {
    TSurface32 out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.SetPixel(x, y, source.GetPixelClipped(sx + x, sy + y));
    return out;
}

TSurface32 Inner(const TSurface32& frame) {
    return Crop(frame, TIconDocument::BorderWidth, TIconDocument::BorderWidth, TIconDocument::InnerSide,
                TIconDocument::InnerSide);
}

// Draws picture onto target at (dx, dy), clipped; transparent pixels of the picture (by its mask) leave
// target as it is, pixels with an alpha between 0 and 255 are mixed with it, the others are drawn
// opaquely.
void DrawPicture(TSurface32& target, const TPixelImage& picture, int dx, int dy) {
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) {
            const int tx = dx + x, ty = dy + y;
            if (tx < 0 || ty < 0 || tx >= target.Width() || ty >= target.Height()) continue;
            if (picture.IsTransparent(x, y)) continue;
            target.SetPixel(tx, ty, DrawnOver(picture.At(x, y), target.GetPixel(tx, ty)));
        }
}

// Brackets a long operation with BeginBusy/EndBusy, also when it ends by an exception.
class TBusy {
  public:
    explicit TBusy(IDocumentObserver* observer) : Observer_(observer) {
        if (Observer_) Observer_->BeginBusy();
    }
    ~TBusy() {
        if (Observer_) Observer_->EndBusy();
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

  private:
    IDocumentObserver* Observer_;
};

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

} // namespace

TIconDocument::TIconDocument(std::string programFolder)
    : ProgramFolder_(std::move(programFolder)), Frames40_(GifFrames::MakeDocumentPicture()),
      Frames32_(GifFrames::MakeDocumentPicture()) {
    Templates_[0].SetSize(FrameSide, FrameSide);
    Templates_[0].FillAll(TemplateGrey);
    Templates_[1].CopyFrom(Templates_[0]);
    DrawBorder(Templates_[1]);
    WorkBitmap_.SetSize(FrameSide, FrameSide);
}

TIconDocument::~TIconDocument() {
    // An edit that outlives the document does nothing any more.
    for (TEdit* edit : OpenEdits_)
        edit->Document_ = nullptr;
}

void TIconDocument::SetObserver(IDocumentObserver* observer) {
    Observer_ = observer;
}

void TIconDocument::SetEmptyTemplates(const TSurface32& plain, const TSurface32& bordered) {
    const TSurface32* sources[2] = {&plain, &bordered};
    for (int i = 0; i < 2; ++i) {
        // Whatever size the control images have, a template is a 40 × 40 opaque picture.
        TSurface32 t(FrameSide, FrameSide);
        t.FillAll(TemplateGrey);
        for (int y = 0; y < std::min(FrameSide, sources[i]->Height()); ++y)
            for (int x = 0; x < std::min(FrameSide, sources[i]->Width()); ++x)
                t.SetPixel(x, y, sources[i]->GetPixel(x, y) | 0xFF000000u);
        Templates_[i] = std::move(t);
    }
}

const TSurface32& TIconDocument::EmptyTemplate(int index) const {
    return Templates_[index == 0 ? 0 : 1];
}

void TIconDocument::Notify(void (IDocumentObserver::*fn)()) {
    if (Observer_) (Observer_->*fn)();
}

void TIconDocument::SetCaption(const std::string& caption) {
    Caption_ = caption;
    if (Observer_) Observer_->CaptionChanged(Caption_);
}

std::string TIconDocument::FrameInfo() const {
    if (!ImageLoaded_ && Entries_.empty()) return std::string();
    std::string text = std::to_string(CurrentFrame_ + 1) + "/" + std::to_string(FrameCount_);
    // The mark follows the current frame's own picture steps.
    if (CurrentFrame_ >= 0 && CurrentFrame_ < static_cast<int>(Entries_.size()) &&
        !Entries_[CurrentFrame_].Undo.empty())
        text += " *";
    return text;
}

bool TIconDocument::UndoEnabled() const {
    if (History_.CanUndo()) return true;
    return CurrentFrame_ >= 0 && CurrentFrame_ < static_cast<int>(Entries_.size()) &&
           !Entries_[CurrentFrame_].Undo.empty();
}

void TIconDocument::SetDrawColor(TSurfaceColor color) {
    if (!ImageLoaded_) return;
    DrawColor_ = color;
    Notify(&IDocumentObserver::ColorsChanged);
}

void TIconDocument::SetBackColor(TSurfaceColor color) {
    if (!ImageLoaded_) return;
    BackColor_ = color;
    Notify(&IDocumentObserver::ColorsChanged);
}

void TIconDocument::SetTransparentColor(TSurfaceColor color) {
    if (!ImageLoaded_) return;
    BackColor_ = color;
    TransparentColor_ = color;
    Notify(&IDocumentObserver::ColorsChanged);
}

void TIconDocument::SetAnimating(bool on) {
    if (Animating_ == on) return;
    Animating_ = on;
    if (!on)
        SelectFrame(CurrentFrame_); // the still preview shows the current frame again
    else
        Notify(&IDocumentObserver::CommandsNeedUpdate);
}

const TSurface32& TIconDocument::FrameListPicture(int index) const {
    return OutputSize_ == InnerSide ? FrameThumbnail(index) : FrameBitmap(index);
}

int TIconDocument::DisplayTime(int index) const {
    const int delay = GifFrames::FrameDelay(*Frames40_, index);
    return delay < 0 ? 0 : delay * 10;
}

// ---- Frame store

void TIconDocument::AppendFrame(const TSurface32& picture, int delay) {
    const int i = GifFrames::AppendFrame(*Frames40_, picture, delay);
    const TSurface32 inner = Inner(picture);
    GifFrames::AppendFrame(*Frames32_, inner, delay);
    TFrameEntry entry;
    entry.Bitmap = GifFrames::RenderFrame(*Frames40_, i); // already reduced to the frame's colours
    entry.Thumbnail = inner;
    Entries_.push_back(std::move(entry));
    if (Observer_) Observer_->FrameInserted(static_cast<int>(Entries_.size()) - 1);
}

void TIconDocument::RefreshUndoState() {
    if (Observer_) {
        Observer_->UndoEnabledChanged(UndoEnabled());
        Observer_->FrameInfoChanged(FrameInfo());
    }
}

void TIconDocument::SelectFrame(int index) {
    if (index >= 0 && index != CurrentFrame_ && index < FrameCount_ &&
        index < static_cast<int>(Entries_.size())) {
        CurrentFrame_ = index;
        SettleOpenEdits();
        if (Observer_) Observer_->FrameRowSelected(index);
        WorkBitmap_.CopyFrom(Entries_[index].Bitmap);
    }
    RefreshUndoState();
    CommitFrame();
    Notify(&IDocumentObserver::CommandsNeedUpdate);
}

void TIconDocument::CommitFrame() {
    if (CurrentFrame_ < 0 || CurrentFrame_ >= static_cast<int>(Entries_.size())) return;
    if (AutoBorder_) DrawBorder(WorkBitmap_);
    TFrameEntry& entry = Entries_[CurrentFrame_];
    entry.Bitmap.CopyFrom(WorkBitmap_);
    entry.Thumbnail = Inner(entry.Bitmap);
    if (Observer_) Observer_->FramePictureChanged(CurrentFrame_);
    if (!Animating_) {
        Preview_.CopyFrom(entry.Bitmap);
        Notify(&IDocumentObserver::PreviewPictureChanged);
    }
    if (Observer_) Observer_->DisplayTimeChanged(DisplayTime(CurrentFrame_));
    GifFrames::ReplaceFrame(*Frames40_, CurrentFrame_, entry.Bitmap);
    GifFrames::ReplaceFrame(*Frames32_, CurrentFrame_, entry.Thumbnail);
    Notify(&IDocumentObserver::CanvasRepaint);
}

void TIconDocument::GoToFrame(TFrameStep step) {
    switch (step) {
    case TFrameStep::First:
        SelectFrame(0);
        break;
    case TFrameStep::Previous:
        SelectFrame(CurrentFrame_ - 1);
        break;
    case TFrameStep::Next:
        SelectFrame(CurrentFrame_ + 1);
        break;
    case TFrameStep::Last:
        SelectFrame(FrameCount_ - 1);
        break;
    }
}

bool TIconDocument::IsModified() const {
    if (!ImageLoaded_) return false;
    if (FramesChanged_ || History_.CanUndo()) return true;
    for (int i = 0; i < FrameCount_ && i < static_cast<int>(Entries_.size()); ++i)
        if (!Entries_[i].Undo.empty()) return true;
    return false;
}

void TIconDocument::MarkModified() {
    FramesChanged_ = true;
    if (Caption_.empty() || Caption_.back() != '*') SetCaption(Caption_ + " *");
}

// ---- Edits and undo

TIconDocument::TEdit TIconDocument::BeginEdit() {
    if (CurrentFrame_ < 0 || CurrentFrame_ >= static_cast<int>(Entries_.size())) return TEdit(*this, -1, 0);
    TFrameEntry& entry = Entries_[CurrentFrame_];
    entry.Undo.push_back(TPictureStep{WorkBitmap_, History_.Tick()});
    // A new change of the picture ends what could be redone on it (kept by the edit until it is kept).
    TEdit edit(*this, CurrentFrame_, entry.Undo.size());
    edit.Redo_ = std::move(entry.Redo);
    entry.Redo.clear();
    if (Caption_.empty() || Caption_.back() != '*') SetCaption(Caption_ + " *");
    RefreshUndoState();
    // The edit sees the border that its commit will draw, as a fill that reaches the ring must.
    if (AutoBorder_) DrawBorder(WorkBitmap_);
    return edit;
}

void TIconDocument::SettleOpenEdits() {
    for (TEdit* edit : OpenEdits_)
        edit->Restorable_ = false;
}

void TIconDocument::RestoreEdit(int frame, size_t depth, std::vector<TPictureStep>& redo) {
    // Only the newest change of the frame being shown can be taken back.
    if (frame != CurrentFrame_ || frame >= static_cast<int>(Entries_.size())) return;
    std::vector<TPictureStep>& stack = Entries_[frame].Undo;
    if (stack.size() != depth) return;
    WorkBitmap_ = std::move(stack.back().Picture);
    stack.pop_back();
    Entries_[frame].Redo = std::move(redo);
    UpdateModifiedMark();
    RefreshUndoState();
    Notify(&IDocumentObserver::CanvasRepaint);
}

TIconDocument::TEdit::TEdit(TIconDocument& document, int frame, size_t depth)
    : Document_(&document), Frame_(frame), Depth_(depth), Restorable_(frame >= 0) {
    Document_->OpenEdits_.push_back(this);
}

TIconDocument::TEdit::TEdit(TEdit&& other) noexcept
    : Document_(other.Document_), Frame_(other.Frame_), Depth_(other.Depth_), Restorable_(other.Restorable_),
      Redo_(std::move(other.Redo_)), Open_(other.Open_) {
    if (Document_ && Open_)
        std::replace(Document_->OpenEdits_.begin(), Document_->OpenEdits_.end(), &other, this);
    other.Open_ = false;
    other.Document_ = nullptr;
}

TIconDocument::TEdit::~TEdit() {
    if (!Open_ || !Document_) return;
    const bool restore = Restorable_;
    Close();
    if (restore) Document_->RestoreEdit(Frame_, Depth_, Redo_);
}

void TIconDocument::TEdit::Close() {
    Open_ = false;
    if (!Document_) return;
    auto& open = Document_->OpenEdits_;
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

TSurface32& TIconDocument::TEdit::Picture() {
    if (!Document_) throw std::logic_error("an edit of a document that no longer exists");
    return Document_->WorkBitmap_;
}

void TIconDocument::TEdit::Commit() {
    if (!Open_ || !Document_) return;
    const bool restorable = Restorable_;
    Close();
    Document_->CommitFrame();
    if (restorable) Document_->ForgetUnchangedEdit(Frame_, Depth_, Redo_);
}

void TIconDocument::ForgetUnchangedEdit(int frame, size_t depth, std::vector<TPictureStep>& redo) {
    // Only the newest change of the frame being shown is looked at (as RestoreEdit does).
    if (frame != CurrentFrame_ || frame >= static_cast<int>(Entries_.size())) return;
    TFrameEntry& entry = Entries_[frame];
    if (entry.Undo.size() != depth) return;
    const TSurface32& before = entry.Undo.back().Picture;
    const TSurface32& after = entry.Bitmap;
    if (before.Width() != after.Width() || before.Height() != after.Height() ||
        !std::equal(after.Bits(), after.Bits() + size_t(after.Width()) * after.Height(), before.Bits()))
        return;
    // A change that left every pixel as it was is no step: Undo would seem to do nothing, and the
    // document would be marked modified without a difference. What could be redone stays.
    entry.Undo.pop_back();
    entry.Redo = std::move(redo);
    UpdateModifiedMark();
    RefreshUndoState();
    Notify(&IDocumentObserver::CommandsNeedUpdate);
}

// ---- Display time and output size

bool TIconDocument::SetDisplayTime(int milliseconds) {
    if (milliseconds <= 0 || milliseconds > MaxDisplayTime) return false;
    if (CurrentFrame_ < 0 || CurrentFrame_ >= FrameCount_) return false;
    // Leaving the field without changing its value must not rewrite the frame's time.
    const int old = GifFrames::FrameDelay(*Frames40_, CurrentFrame_);
    if (milliseconds / 10 == old) return false;
    THistoryStep step;
    step.Operation = TFrameOperation::DisplayTime;
    step.From = step.Selected = CurrentFrame_;
    step.OldDelay = old;
    step.NewDelay = milliseconds / 10;
    SetDelay(CurrentFrame_, step.NewDelay);
    History_.Record(std::move(step));
    UpdateModifiedMark();
    RefreshUndoState();
    Notify(&IDocumentObserver::CommandsNeedUpdate);
    return true;
}

bool TIconDocument::SetLoopCount(int count) {
    if (!ImageLoaded_ || count < PlayOnce || count > MaxLoopCount) return false;
    if (count == LoopCount_) return true;
    LoopCount_ = count;
    MarkModified();
    Notify(&IDocumentObserver::CommandsNeedUpdate);
    return true;
}

bool TIconDocument::ParseLoopCount(const std::string& text, int& count) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        count = PlayOnce;
        return true;
    }
    const size_t last = text.find_last_not_of(" \t");
    const std::string digits = text.substr(first, last - first + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    const int value = std::stoi(digits);
    if (value > MaxLoopCount) return false;
    count = value;
    return true;
}

int TIconDocument::PreviewPasses() const {
    if (LoopCount_ == LoopForever) return 0;
    return LoopCount_ == PlayOnce ? 1 : LoopCount_ + 1;
}

void TIconDocument::SetOutputSize(int size) {
    OutputSize_ = size == InnerSide ? InnerSide : FrameSide;
    if (Observer_) Observer_->OutputSizeChanged(OutputSize_);
    Notify(&IDocumentObserver::CommandsNeedUpdate);
    Notify(&IDocumentObserver::CanvasRepaint);
    Notify(&IDocumentObserver::FrameListRepaint);
}

// ---- Starting documents

bool TIconDocument::SaveChangesIfWanted(IDocumentAsker& asker) {
    if (!IsModified()) return true;
    switch (asker.AskSaveChanges()) {
    case TSaveChangesAnswer::No:
        return true;
    case TSaveChangesAnswer::Cancel:
        return false;
    case TSaveChangesAnswer::Yes:
        break;
    }
    // Yes: the changes may only go when they were written.
    const TSaveResult result = SaveDocumentAs(asker);
    if (result == TSaveResult::WriteFailed) Notify(&IDocumentObserver::SaveChangesFailed);
    return result == TSaveResult::Saved;
}

void TIconDocument::ResetDocument() {
    SettleOpenEdits();
    ImageLoaded_ = false;
    FramesChanged_ = false;
    Notify(&IDocumentObserver::DocumentClosing);
    Notify(&IDocumentObserver::CommandsNeedUpdate);
    GifFrames::ResetDocumentPicture(*Frames40_);
    GifFrames::ResetDocumentPicture(*Frames32_);
    Entries_.clear();
    History_.ClearAll();
    if (Observer_) Observer_->FrameListChanged(0);
    DrawColor_ = DefaultDrawColor;
    BackColor_ = DefaultBackColor;
    TransparentColor_ = DefaultTransparentColor;
    Notify(&IDocumentObserver::ColorsChanged);
    WorkBitmap_.SetSize(FrameSide, FrameSide);
    WorkBitmap_.FillAll(0);
    Preview_.SetSize(0, 0);
    Notify(&IDocumentObserver::PreviewPictureChanged);
    FrameCount_ = 0;
    CurrentFrame_ = -1;
    Animating_ = false;
}

void TIconDocument::StartDocument() {
    GifFrames::OptimizeColors(*Frames40_);
    Animating_ = false;
    SetCaption("Tindra - " + Name_.Name);
    CurrentFrame_ = -1;
    SelectFrame(0);
    ImageLoaded_ = true;
    RefreshUndoState();
}

bool TIconDocument::NewDocument(IDocumentAsker& asker) {
    if (!SaveChangesIfWanted(asker)) return false;
    {
        TBusy busy(Observer_);
        ResetDocument();
        FrameCount_ = 1;
        AppendFrame(Templates_[1], DefaultDelay);
        Name_ = TDocumentName::Untitled(ProgramFolder_);
        ImageSize_ = FrameSide;
        LoopCount_ = LoopForever;
        SourceFormat_ = TSourceFormat::Gif;
        StartDocument();
    }
    Notify(&IDocumentObserver::PaletteChanged);
    Notify(&IDocumentObserver::CommandsNeedUpdate);
    return true;
}

TOpenResult TIconDocument::OpenFile(const std::string& name, bool addToRecent, IDocumentAsker& asker) {
    if (!SaveChangesIfWanted(asker)) return TOpenResult::Abandoned;
    if (!name.empty()) return OpenPath(name, addToRecent, true);
    // The document is only replaced once a file was chosen.
    const std::string chosen = asker.AskOpenFileName();
    if (chosen.empty()) return TOpenResult::Cancelled;
    return OpenPath(chosen, addToRecent, true);
}

TOpenResult TIconDocument::OpenFileDirect(const std::string& path, bool addToRecent) {
    return OpenPath(path, addToRecent, false);
}

TOpenResult TIconDocument::OpenPath(const std::string& path, bool addToRecent, bool keepOnFailure) {
    TOpenResult result;
    {
        TBusy busy(Observer_);
        result = LoadPath(path, addToRecent, keepOnFailure);
    }
    Notify(&IDocumentObserver::PaletteChanged);
    Notify(&IDocumentObserver::CommandsNeedUpdate);
    return result;
}

TOpenResult TIconDocument::LoadPath(const std::string& path, bool addToRecent, bool keepOnFailure) {
    const TDocumentName name = TDocumentName::FromPath(path);
    if (Observer_) Observer_->FolderUsed(name.Folder);

    TLoadedPictures loaded;
    bool ok = false;
    try {
        ok = DecodePath(path, loaded);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) {
        // The file was read into temporaries only: the document that was open stays as it was.
        if (keepOnFailure) return TOpenResult::Failed;
        ResetDocument();
        SetCaption("Tindra");
        return TOpenResult::Failed;
    }
    ResetDocument();
    Name_ = name;
    ApplyLoaded(loaded);
    StartDocument();
    if (addToRecent && Observer_) Observer_->AddRecentFile(Name_.Path);
    return TOpenResult::Opened;
}

namespace {

// The kind of a picture file (".gif", ".png", ".bmp" or ".ico") by its first bytes, or by its extension
// in any letter case when they name none: a file saved under another kind's extension still opens.
std::string PictureKind(const std::string& path) {
    const std::vector<uint8_t> head = TSafeFile::ReadHead(path, 8);
    auto starts = [&](std::initializer_list<uint8_t> magic) {
        return head.size() >= magic.size() && std::equal(magic.begin(), magic.end(), head.begin());
    };
    if (starts({'G', 'I', 'F', '8'})) return ".gif";
    if (starts({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) return ".png";
    if (starts({'B', 'M'})) return ".bmp";
    if (starts({0, 0, 1, 0})) return ".ico";
    return LowerAscii(TDocumentName::FromPath(path).Extension);
}

} // namespace

bool TIconDocument::DecodePath(const std::string& path, TLoadedPictures& out) const {
    const std::string ext = PictureKind(path);
    if (ext == ".gif") return DecodeGif(TSafeFile::ReadAll(path, MaxGifFileBytes), out);
    if (ext == ".ico")
        return DecodeSingle(TIcoFile::Decode(TSafeFile::ReadAll(path, MaxPictureFileBytes)),
                            TSourceFormat::Ico, out);
    if (ext == ".bmp")
        return DecodeSingle(TBmpFile::Decode(TSafeFile::ReadAll(path, MaxPictureFileBytes)),
                            TSourceFormat::Bmp, out);
    if (ext == ".png") return DecodePng(TSafeFile::ReadAll(path, MaxPictureFileBytes), path, out);
    return false;
}

bool TIconDocument::DecodePng(const std::vector<uint8_t>& bytes, const std::string& path,
                              TLoadedPictures& out) const {
    // A 40 × 40 or 32 × 32 picture is one frame; a strip of such squares side by side (a sprite sheet) is
    // one frame per square. Both bounds hold before libpng allocates any row.
    TPngFile::TLimits limits;
    limits.MaxHeight = FrameSide;
    limits.MaxWidth = FrameSide * MaxFrames;
    limits.MaxPixels = static_cast<std::int64_t>(FrameSide) * FrameSide * MaxFrames;
    const TPixelImage png = TPngFile::Decode(bytes, limits);
    const int side = png.Height;
    if ((side != FrameSide && side != InnerSide) || png.Width % side != 0) return false;
    const int count = png.Width / side;
    if (count < 1 || count > MaxFrames) return false;
    const TSurface32& start = Templates_[side == InnerSide ? 1 : 0];
    const int at = side == InnerSide ? BorderWidth : 0;
    out.Pictures.clear();
    out.ShowThrough.clear();
    for (int k = 0; k < count; ++k) {
        TSurface32 b;
        b.CopyFrom(start);
        std::vector<bool>& through = out.ShowThrough.emplace_back(size_t(FrameSide) * FrameSide, false);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const uint32_t c = png.At(k * side + x, y);
                const uint32_t a = c >> 24;
                uint32_t pixel;
                if (a == 0xFF) {
                    pixel = c;
                } else if (a == 0) {
                    // Fully transparent: the transparent colour, which a save without the border marks
                    // transparent again.
                    pixel = DefaultTransparentColor.Value;
                    through[static_cast<size_t>(at + y) * FrameSide + at + x] = true;
                } else {
                    const uint32_t t = b.GetPixel(at + x, at + y);
                    pixel = DrawnOver(c, t);
                }
                b.SetPixel(at + x, at + y, pixel);
            }
        out.Pictures.push_back(std::move(b));
    }
    // A strip takes its display times from the text file beside it when that lists one for each frame.
    std::vector<int> times;
    if (count > 1) {
        try {
            const std::vector<uint8_t> text =
                TSafeFile::ReadAll(SpriteSheetTimesPath(path), MaxTimesFileBytes);
            times = ParseSpriteSheetTimes(std::string(text.begin(), text.end()));
        } catch (const std::exception&) {
            times.clear(); // no file: 100 ms each
        }
    }
    out.Delays.assign(count, DefaultDelay);
    if (static_cast<int>(times.size()) == count)
        for (int k = 0; k < count; ++k)
            out.Delays[k] = std::clamp(times[k], MinDisplayTime, MaxDisplayTime) / 10;
    out.Side = side;
    out.Format = TSourceFormat::Png;
    out.Loops = LoopForever;
    return true;
}

std::string TIconDocument::SpriteSheetTimesPath(const std::string& pngPath) {
    const TDocumentName name = TDocumentName::FromPath(pngPath);
    // A strip named without an extension, or with ".txt" itself, gets ".txt" added, never replaced.
    if (name.Extension.empty() || LowerAscii(name.Extension) == ".txt") return pngPath + ".txt";
    return pngPath.substr(0, pngPath.size() - name.Extension.size()) + ".txt";
}

std::vector<int> TIconDocument::ParseSpriteSheetTimes(const std::string& text) {
    std::vector<int> times;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        const size_t last = line.find_last_not_of(" \t");
        const std::string digits = line.substr(first, last - first + 1);
        if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return {};
        times.push_back(std::stoi(digits));
        if (static_cast<int>(times.size()) > MaxFrames) return {};
    }
    return times;
}

void TIconDocument::SeparateTransparentColor(TLoadedPictures& loaded) {
    if (loaded.ShowThrough.size() != loaded.Pictures.size()) return;
    // The picture's own pixels count (inside the border when it came without one). First whether some
    // pixel is transparent and some opaque one has the default colour; only then the colours in use.
    const int at = loaded.Side == InnerSide ? BorderWidth : 0;
    bool anyThrough = false, greyUsed = false;
    auto eachPixel = [&](auto visit) {
        for (size_t k = 0; k < loaded.Pictures.size(); ++k)
            for (int y = at; y < at + loaded.Side; ++y)
                for (int x = at; x < at + loaded.Side; ++x) {
                    const size_t i = size_t(y) * FrameSide + x;
                    visit(loaded.ShowThrough[k][i], loaded.Pictures[k].Bits()[i]);
                }
    };
    eachPixel([&](bool through, uint32_t pixel) {
        anyThrough = anyThrough || through;
        greyUsed = greyUsed || (!through && pixel == DefaultTransparentColor.Value);
    });
    if (!anyThrough || !greyUsed) return;
    std::unordered_set<uint32_t> used;
    eachPixel([&](bool through, uint32_t pixel) {
        if (!through) used.insert(pixel);
    });
    // A colour next to the default (its lowest bits changed) that the picture does not use: it looks
    // the same.
    uint32_t color = DefaultTransparentColor.Value;
    for (uint32_t change = 1; change <= 0xFFFFu && used.count(color); ++change)
        color = DefaultTransparentColor.Value ^ change;
    if (used.count(color)) return;
    for (size_t k = 0; k < loaded.Pictures.size(); ++k)
        for (size_t i = 0; i < loaded.ShowThrough[k].size(); ++i)
            if (loaded.ShowThrough[k][i]) loaded.Pictures[k].Bits()[i] = color;
    loaded.Transparent = TSurfaceColor(color);
}

void TIconDocument::ApplyLoaded(TLoadedPictures& loaded) {
    SeparateTransparentColor(loaded);
    if (loaded.Transparent.Value != TransparentColor_.Value) {
        TransparentColor_ = BackColor_ = loaded.Transparent;
        Notify(&IDocumentObserver::ColorsChanged);
    }
    ImageSize_ = loaded.Side;
    FrameCount_ = static_cast<int>(loaded.Pictures.size());
    for (size_t k = 0; k < loaded.Pictures.size(); ++k)
        AppendFrame(loaded.Pictures[k], loaded.Delays[k]);
    LoopCount_ = loaded.Loops;
    ImageLoaded_ = true;
    SourceFormat_ = loaded.Format;
}

bool TIconDocument::DecodeGif(const std::vector<uint8_t>& bytes, TLoadedPictures& out) const {
    int side;
    std::unique_ptr<TGIFPicture> gif;
    try {
        // The reader refuses a screen above 40 × 40, a frame larger than it and too many frames where it
        // meets them, before anything is allocated for them. A frame may stick out past the screen: it is
        // clipped, as browsers show it.
        gif = GifFrames::ReadGif(bytes, GifFrames::DocumentReadLimits(FrameSide, MaxFrames));
        if (gif->Width() != gif->Height() || (gif->Width() != FrameSide && gif->Width() != InnerSide))
            return false;
        side = gif->Width();
    } catch (const std::exception&) {
        return false;
    }
    const int count = GifFrames::FrameCount(*gif);
    if (count < 1) return false;
    const bool small = side == InnerSide;
    std::vector<int> delays;
    try {
        const TSurface32& start = Templates_[small ? 1 : 0];
        const int offset = small ? BorderWidth : 0;
        out.Pictures = GifFrames::ComposeFrames(*gif, start, offset, delays, DefaultDelay);
        // Where the empty frame shows through, told by composing once more on a frame of other colours;
        // only needed when the default transparent colour is in the pictures at all.
        out.ShowThrough.clear();
        bool grey = false;
        for (const TSurface32& p : out.Pictures)
            grey =
                grey || std::find(p.Bits(), p.Bits() + size_t(FrameSide) * FrameSide,
                                  DefaultTransparentColor.Value) != p.Bits() + size_t(FrameSide) * FrameSide;
        if (grey) {
            TSurface32 other;
            other.CopyFrom(start);
            for (int i = 0; i < FrameSide * FrameSide; ++i)
                other.Bits()[i] ^= 0x00FFFFFFu;
            std::vector<int> unused;
            const std::vector<TSurface32> marked =
                GifFrames::ComposeFrames(*gif, other, offset, unused, DefaultDelay);
            for (size_t k = 0; k < out.Pictures.size(); ++k) {
                std::vector<bool>& through = out.ShowThrough.emplace_back(size_t(FrameSide) * FrameSide);
                for (size_t i = 0; i < through.size(); ++i)
                    through[i] = out.Pictures[k].Bits()[i] != marked[k].Bits()[i] &&
                                 out.Pictures[k].Bits()[i] == start.Bits()[i];
            }
        }
    } catch (const std::exception&) {
        return false;
    }
    out.Side = side;
    out.Format = TSourceFormat::Gif;
    out.Loops = GifFrames::LoopCount(*gif);
    // A still picture has no looping extension because nothing moves: made into an animation it loops
    // as a new icon does, rather than stopping after one pass.
    if (count < 2 && out.Loops == GifFrames::NoLooping) out.Loops = LoopForever;
    if (count < 2)
        out.Delays.assign(1, DefaultDelay); // a single frame's own Delay Time is not used
    else
        out.Delays = delays;
    return true;
}

bool TIconDocument::DecodeSingle(const TPixelImage& picture, TSourceFormat format,
                                 TLoadedPictures& out) const {
    const int w = picture.Width;
    // An icon is taken at 32 × 32 only; a bitmap at 40 × 40 or 32 × 32.
    const bool fits =
        w == picture.Height && (w == InnerSide || (w == FrameSide && format != TSourceFormat::Ico));
    if (!fits) return false;
    TSurface32 b;
    b.CopyFrom(Templates_[w == InnerSide ? 1 : 0]);
    const int at = w == InnerSide ? BorderWidth : 0;
    // Transparent pixels (an icon's mask, a bitmap's alpha) show the template.
    DrawPicture(b, picture, at, at);
    out.ShowThrough.assign(1, std::vector<bool>(size_t(FrameSide) * FrameSide, false));
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < w; ++x)
            if (picture.IsTransparent(x, y)) out.ShowThrough[0][size_t(at + y) * FrameSide + at + x] = true;
    out.Side = w;
    out.Format = format;
    out.Pictures.clear();
    out.Pictures.push_back(std::move(b));
    out.Delays.assign(1, DefaultDelay);
    out.Loops = LoopForever;
    return true;
}

bool TIconDocument::LoadGif(const std::vector<uint8_t>& bytes) {
    TLoadedPictures loaded;
    if (!DecodeGif(bytes, loaded)) return false;
    ApplyLoaded(loaded);
    return true;
}

bool TIconDocument::LoadIco(const TPixelImage& icon) {
    TLoadedPictures loaded;
    if (!DecodeSingle(icon, TSourceFormat::Ico, loaded)) return false;
    ApplyLoaded(loaded);
    return true;
}

bool TIconDocument::LoadBmp(const TPixelImage& bitmap) {
    TLoadedPictures loaded;
    if (!DecodeSingle(bitmap, TSourceFormat::Bmp, loaded)) return false;
    ApplyLoaded(loaded);
    return true;
}

// ---- Saving and exporting

std::string TIconDocument::DefaultDocumentFileName() const {
    std::string name = Name_.BaseName;
    if (SourceFormat_ == TSourceFormat::Bmp)
        name += "_BMP";
    else if (SourceFormat_ == TSourceFormat::Ico)
        name += "_ICO";
    else if (SourceFormat_ == TSourceFormat::Png)
        name += "_PNG";
    if (ImageSize_ != OutputSize_) name += "_" + std::to_string(OutputSize_);
    return name + ".gif";
}

std::string TIconDocument::DefaultFrameFileName(TFileKind kind) const {
    if (kind == TFileKind::SpriteSheet) return Name_.BaseName + "_sheet.png";
    const char* ext = kind == TFileKind::FrameBmp   ? ".bmp"
                      : kind == TFileKind::FrameIco ? ".ico"
                      : kind == TFileKind::FramePng ? ".png"
                                                    : ".gif";
    return Name_.BaseName + "_" + std::to_string(CurrentFrame_ + 1) + ext;
}

std::vector<uint8_t> TIconDocument::EncodeDocumentGif() const {
    const bool withoutBorder = OutputSize_ == InnerSide;
    const uint32_t transparent = ToInterfaceColor(TransparentColor_).Value;
    if (FrameCount_ == 1) {
        const TSurface32 f = withoutBorder ? Inner(WorkBitmap_) : WorkBitmap_;
        return GifFrames::EncodeSingleFrame(f, withoutBorder, transparent);
    }
    return GifFrames::EncodeAnimation(withoutBorder ? *Frames32_ : *Frames40_, withoutBorder, transparent,
                                      LoopCount_ == PlayOnce ? GifFrames::NoLooping : LoopCount_,
                                      OptimizeGif_);
}

std::vector<uint8_t> TIconDocument::EncodeFrameGif() const {
    const bool withoutBorder = OutputSize_ == InnerSide;
    const TSurface32 f = withoutBorder ? Inner(WorkBitmap_) : WorkBitmap_;
    return GifFrames::EncodeSingleFrame(f, withoutBorder, ToInterfaceColor(TransparentColor_).Value);
}

std::vector<uint8_t> TIconDocument::EncodeFrameBmp() const {
    const TSurface32 f = OutputSize_ == InnerSide ? Inner(WorkBitmap_) : WorkBitmap_;
    TPixelImage image(f.Width(), f.Height());
    std::copy(f.Bits(), f.Bits() + image.Pixels.size(), image.Pixels.begin());
    return TBmpFile::Encode32(image);
}

std::vector<uint8_t> TIconDocument::EncodeFrameIco() const {
    // Pixels of the transparent colour (all 32 bits compared) become transparent in the AND mask and
    // black in the colour picture.
    TPixelImage colors(InnerSide, InnerSide, 0xFF000000u);
    colors.Transparent.assign(colors.Pixels.size(), true);
    for (int y = 0; y < InnerSide; ++y)
        for (int x = 0; x < InnerSide; ++x) {
            const uint32_t c = WorkBitmap_.GetPixel(x + BorderWidth, y + BorderWidth);
            if (c == TransparentColor_.Value) continue;
            colors.At(x, y) = c | 0xFF000000u;
            colors.Transparent[static_cast<size_t>(y) * InnerSide + x] = false;
        }
    std::vector<uint8_t> classic = GifFrames::EncodeIcon(colors);
    if (!ModernIco_) return classic;
    TPixelImage withAlpha(InnerSide, InnerSide);
    CopyWithAlpha(WorkBitmap_, BorderWidth, BorderWidth, InnerSide, withAlpha, 0, true,
                  TransparentColor_.Value);
    return ModernIcon::Encode(classic, withAlpha);
}

std::vector<uint8_t> TIconDocument::EncodeFramePng() const {
    const bool withoutBorder = OutputSize_ == InnerSide;
    const int at = withoutBorder ? BorderWidth : 0;
    TPixelImage image(OutputSize_, OutputSize_);
    CopyWithAlpha(WorkBitmap_, at, at, OutputSize_, image, 0, withoutBorder, TransparentColor_.Value);
    return TPngFile::Encode(image, withoutBorder);
}

std::vector<uint8_t> TIconDocument::EncodeSpriteSheet() const {
    const bool withoutBorder = OutputSize_ == InnerSide;
    const int at = withoutBorder ? BorderWidth : 0;
    TPixelImage strip(OutputSize_ * FrameCount_, OutputSize_);
    for (int k = 0; k < FrameCount_; ++k) {
        // The current frame as it is being edited, the others as committed.
        const TSurface32& frame = k == CurrentFrame_ ? WorkBitmap_ : Entries_.at(k).Bitmap;
        CopyWithAlpha(frame, at, at, OutputSize_, strip, k * OutputSize_, withoutBorder,
                      TransparentColor_.Value);
    }
    return TPngFile::Encode(strip, withoutBorder);
}

std::string TIconDocument::SpriteSheetTimes() const {
    std::string text = "# Display time of each frame in milliseconds, left to right\n";
    for (int k = 0; k < FrameCount_; ++k)
        text += std::to_string(std::max(DisplayTime(k), MinDisplayTime)) + "\n";
    return text;
}

TSaveResult TIconDocument::SaveDocumentTo(const std::string& path) {
    if (!ImageLoaded_) return TSaveResult::Cancelled;
    TBusy busy(Observer_);
    try {
        TSafeFile::WriteAll(path, EncodeDocumentGif());
    } catch (const std::exception&) {
        return TSaveResult::WriteFailed;
    }
    for (TFrameEntry& entry : Entries_) {
        entry.Undo.clear();
        entry.Redo.clear();
    }
    History_.ClearSteps();
    SettleOpenEdits();
    FramesChanged_ = false;
    ImageSize_ = OutputSize_;
    SourceFormat_ = TSourceFormat::Gif;
    Name_ = TDocumentName::FromPath(path);
    if (Observer_) Observer_->FolderUsed(Name_.Folder);
    SetCaption("Tindra - " + Name_.Name);
    SelectFrame(CurrentFrame_);
    return TSaveResult::Saved;
}

TSaveResult TIconDocument::WriteFrame(TFileKind kind, const std::string& path) {
    if (!ImageLoaded_) return TSaveResult::Cancelled;
    if (kind == TFileKind::FrameIco && OutputSize_ != InnerSide) return TSaveResult::Cancelled;
    try {
        switch (kind) {
        case TFileKind::FrameBmp:
            TSafeFile::WriteAll(path, EncodeFrameBmp());
            break;
        case TFileKind::FrameIco:
            TSafeFile::WriteAll(path, EncodeFrameIco());
            break;
        case TFileKind::FramePng:
            TSafeFile::WriteAll(path, EncodeFramePng());
            break;
        case TFileKind::SpriteSheet: {
            const std::string times = SpriteSheetTimes();
            TSafeFile::WriteAll(path, EncodeSpriteSheet());
            TSafeFile::WriteAll(SpriteSheetTimesPath(path), std::vector<uint8_t>(times.begin(), times.end()));
            break;
        }
        default:
            TSafeFile::WriteAll(path, EncodeFrameGif());
            break;
        }
    } catch (const std::exception&) {
        return TSaveResult::WriteFailed;
    }
    return TSaveResult::Saved;
}

TSaveResult TIconDocument::AskAndWrite(TFileKind kind, IDocumentAsker& asker, bool document) {
    if (!ImageLoaded_) return TSaveResult::Cancelled;
    const std::string offered = document ? DefaultDocumentFileName() : DefaultFrameFileName(kind);
    std::string path = asker.AskSaveFileName(kind, offered);
    if (path.empty()) return TSaveResult::Cancelled;
    // A name typed without an extension gets the kind's own: files are opened by their extension.
    const TDocumentName typed = TDocumentName::FromPath(path);
    if (typed.Extension.empty() && !typed.Name.empty()) path += TDocumentName::FromPath(offered).Extension;
    if (FileExists(path) && !asker.ConfirmOverwrite(path)) return TSaveResult::Cancelled;
    if (kind == TFileKind::SpriteSheet) {
        // The display times go into a text file beside the strip: one that is not such a list (the
        // user's own file of that name) is replaced only when the user says so.
        const std::string timesPath = SpriteSheetTimesPath(path);
        if (FileExists(timesPath)) {
            bool timesList = false;
            try {
                const std::vector<uint8_t> text = TSafeFile::ReadAll(timesPath, MaxTimesFileBytes);
                timesList = !ParseSpriteSheetTimes(std::string(text.begin(), text.end())).empty();
            } catch (const std::exception&) {
                timesList = false;
            }
            if (!timesList && !asker.ConfirmOverwrite(timesPath)) return TSaveResult::Cancelled;
        }
    }
    if (document) return SaveDocumentTo(path);
    if (Observer_) Observer_->FolderUsed(FolderOf(path));
    TBusy busy(Observer_);
    return WriteFrame(kind, path);
}

TSaveResult TIconDocument::SaveDocumentAs(IDocumentAsker& asker) {
    return AskAndWrite(TFileKind::Document, asker, true);
}

TSaveResult TIconDocument::SaveFrameAs(TFileKind kind, IDocumentAsker& asker) {
    if (kind == TFileKind::Document) kind = TFileKind::FrameGif;
    return AskAndWrite(kind, asker, false);
}

// ---- Frame operations

void TIconDocument::MoveEntry(int from, int to) {
    if (from == to) return;
    SettleOpenEdits();
    GifFrames::MoveFrame(*Frames40_, from, to);
    GifFrames::MoveFrame(*Frames32_, from, to);
    TFrameEntry moving = std::move(Entries_[from]);
    Entries_.erase(Entries_.begin() + from);
    Entries_.insert(Entries_.begin() + to, std::move(moving));
    if (Observer_) Observer_->FrameMoved(from, to);
}

void TIconDocument::InsertFrame(TInsertPosition position, const TSurface32& picture, int displayTime) {
    if (!ImageLoaded_ || picture.Width() != FrameSide || picture.Height() != FrameSide) return;
    InsertFrameAt(CurrentFrame_ + static_cast<int>(position), picture, RoundDisplayTime(displayTime) / 10);
}

void TIconDocument::RemoveFrame() {
    if (!ImageLoaded_ || FrameCount_ < 2 || CurrentFrame_ < 0 || CurrentFrame_ >= FrameCount_) return;
    THistoryStep step;
    step.Operation = TFrameOperation::Remove;
    step.From = step.Selected = CurrentFrame_;
    ApplyFrameStep(step, true);
    History_.Record(std::move(step));
    UpdateModifiedMark();
    RefreshUndoState();
}

void TIconDocument::MoveFrame(int target) {
    if (!ImageLoaded_ || FrameCount_ < 2) return;
    // A target outside the list would leave no frame current: refuse it.
    if (target < 0 || target >= FrameCount_) return;
    if (target != CurrentFrame_) {
        THistoryStep step;
        step.Operation = TFrameOperation::Move;
        step.From = step.Selected = CurrentFrame_;
        step.To = target;
        ApplyFrameStep(step, true);
        History_.Record(std::move(step));
        UpdateModifiedMark();
        RefreshUndoState();
        return;
    }
    CurrentFrame_ = -1;
    SelectFrame(target);
}

int TIconDocument::AdjustMoveSlider(int value, int current, int maximum) {
    if (value != current) return value;
    return current < maximum ? current + 1 : current - 1;
}

TSurface32 TIconDocument::InsertPreview(const TPixelImage* picture) const {
    TSurface32 preview;
    preview.CopyFrom(Templates_[1]);
    if (!picture || picture->Width <= 0 || picture->Height <= 0) return preview;
    int x = 0, y = 0;
    if (picture->Width <= InnerSide && picture->Height <= InnerSide) {
        x = (FrameSide - picture->Width) / 2;
        y = (FrameSide - picture->Height) / 2;
    }
    DrawPicture(preview, *picture, x, y);
    return preview;
}

TPixelImage TIconDocument::LoadInsertPicture(const std::string& path) {
    const std::string ext = PictureKind(path);
    if (ext == ".bmp") return TBmpFile::Decode(TSafeFile::ReadAll(path, MaxPictureFileBytes));
    if (ext == ".ico") return TIcoFile::Decode(TSafeFile::ReadAll(path, MaxPictureFileBytes));
    if (ext == ".png") {
        TPngFile::TLimits limits;
        limits.MaxWidth = limits.MaxHeight = MaxInsertSide;
        TPixelImage image = TPngFile::Decode(TSafeFile::ReadAll(path, MaxPictureFileBytes), limits);
        // Fully transparent pixels keep the template; partly transparent ones are mixed with it.
        image.Transparent.resize(image.Pixels.size());
        for (size_t i = 0; i < image.Pixels.size(); ++i)
            image.Transparent[i] = (image.Pixels[i] >> 24) == 0;
        return image;
    }
    if (ext == ".gif") {
        const std::vector<uint8_t> bytes = TSafeFile::ReadAll(path, MaxGifFileBytes);
        // Only the first frame is used (the reader stops after it); any size will do, but absurd ones are
        // refused before the codec allocates for them.
        std::unique_ptr<TGIFPicture> gif =
            GifFrames::ReadGif(bytes, GifFrames::PictureReadLimits(MaxInsertSide, MaxFrames, true));
        return FirstGifPicture(*gif);
    }
    throw std::runtime_error("unsupported picture file: " + path);
}

TPixelImage TIconDocument::FirstGifPicture(const TGIFPicture& gif) {
    if (GifFrames::FrameCount(gif) < 1) throw std::runtime_error("no frame");
    // The frame composed on a black and on a white screen: where the two differ, the screen shows through.
    TSurface32 black(gif.Width(), gif.Height()), white(gif.Width(), gif.Height());
    black.FillAll(0xFF000000u);
    white.FillAll(0xFFFFFFFFu);
    std::vector<int> delays;
    const TSurface32 onBlack = GifFrames::ComposeFrames(gif, black, 0, delays, DefaultDelay).at(0);
    const TSurface32 onWhite = GifFrames::ComposeFrames(gif, white, 0, delays, DefaultDelay).at(0);
    TPixelImage image(gif.Width(), gif.Height());
    image.Transparent.assign(image.Pixels.size(), false);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            image.At(x, y) = onBlack.GetPixel(x, y);
            if (onBlack.GetPixel(x, y) != onWhite.GetPixel(x, y))
                image.Transparent[static_cast<size_t>(y) * image.Width + x] = true;
        }
    return image;
}

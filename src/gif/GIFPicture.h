#pragma once
// A whole GIF file in memory: the header with the global colour table, the frames, and the
// options used when frames are made from true-colour pictures or painted.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "GIFHeader.h"
#include "GIFImageList.h"
#include "GIFObject.h"

class TStream;
class TGIFSubImage;
struct TGIFPictureCaches;

// Option types of the colour reduction (defined with their values in ColorReduction.h and
// DitherEngine.h).
enum TReductionMethod : std::uint8_t;
enum TDitherMethod : std::uint8_t;

// 0 LZW (TLZWEncoder), 1 run-length (TRLEEncoder).
enum TCompressionMethod : std::uint8_t { CompressLZW = 0, CompressRLE = 1 };

// PaintFlags bits.
enum : std::uint16_t {
    pfThreaded = 0x0001,            // paint on a separate painter thread
    pfTransparent = 0x0002,         // draw transparently
    pfAnimate = 0x0004,             // animate
    pfLoop = 0x0008,                // loop
    pfLoopForever = 0x0010,         // loop without end
    pfCheckCanvas = 0x0020,         // check the target canvas before painting
    pfDither = 0x0200,              // dither when rendering frames
    pfDitherOnPaletteOnly = 0x0400, // dither only on palette displays
};

// Bounds a load puts on what a file may hold, each checked where the reader meets that part of the
// file, so that a file is refused (EGIFException) before it costs more than the largest file the
// caller wants. 0 (or false) means no bound. A picture starts without bounds.
struct TGIFReadLimits {
    int MaxScreenSide = 0;           // Logical Screen Width and Height
    int MaxFrames = 0;               // frames, extension-only frames included
    int MaxFrameSide = 0;            // Image Width and Height
    bool FramesInsideScreen = false; // every image lies within the logical screen
    std::int64_t MaxPixels = 0;      // the pixels of all frames together
    std::int64_t MaxBlocks = 0;      // extensions, text lines and kept application sub-blocks together
    // Reading stops quietly after this many frames and leaves the rest of the data unread, for callers
    // that use only the first frames.
    int FramesWanted = 0;
};

// Work that goes on over a picture outside the codec and must end before the picture's frames go
// (the animation painter keeps one for each picture it plays). The picture owns it and tells it in
// time; the codec knows nothing more of it.
class TGIFPictureAttachment {
  public:
    virtual ~TGIFPictureAttachment() = default;
    // End all work on the picture now and wait for it: its frames are about to be deleted or changed
    // as a whole (ClearAll, the destructor, the colour-map optimizer).
    virtual void StopWork(TGIFPicture& image) = 0;
    // The picture's animation flag changed (EnableAnimation).
    virtual void AnimationChanged(TGIFPicture& image) = 0;
    // The picture is being destroyed, after StopWork; the attachment is deleted right after this.
    virtual void Destroying(TGIFPicture& image) = 0;
};

class TGIFPicture : public TGIFObject {
  public:
    // Default options, copied into every new picture.
    static constexpr std::uint16_t DefaultPaintFlags = 0x060F;
    static constexpr std::uint8_t DefaultReductionMethod = 6; // ReduceCube216
    static constexpr std::uint8_t DefaultDitherMethod = 0;    // DitherNearest
    static constexpr std::uint32_t NoColor = 0x1FFFFFFF;
    // The name of the clipboard format and of the picture kind.
    static constexpr const char* ClipboardFormatName = "GIF Image";

    TGIFPicture();
    ~TGIFPicture() override;

    // Stops painting, drops the caches, deletes every frame, empties the global table and sets
    // the screen to 0 x 0. The options are kept.
    void ClearAll();
    int Width() const { return Header_.Width(); }
    int Height() const { return Header_.Height(); }
    // Raise "Image width/height too small for contained frames" when a frame would stick out.
    void SetWidth(int width);
    void SetHeight(int height);
    bool Empty() const { return Images_.ItemCount() == 0; }
    TGIFImageList& Images() { return Images_; }
    const TGIFImageList& Images() const { return Images_; }
    TGIFHeader& Header() { return Header_; }
    const TGIFHeader& Header() const { return Header_; }
    TGIFGlobalColorMap& GlobalColorMap() { return Header_.ColorMap(); }
    const TGIFGlobalColorMap& GlobalColorMap() const { return Header_.ColorMap(); }

    // Takes the frame and appends it; answers its index. A frame made for another picture moves over
    // to this one. nullptr raises "Object type not supported for operation".
    int AddFrame(std::unique_ptr<TGIFSubImage> frame);
    // Copies header, options (not ReductionBitDepth, CompressionMethod, PlaybackSpeed), callbacks
    // and every frame; nullptr clears the picture.
    void CopyFrom(const TGIFPicture* source);
    void CopyFrom(const TGIFPicture& source) { CopyFrom(&source); }

    void SaveToStream(TStream& stream);
    void LoadFromStream(TStream& stream);
    // Encodes into memory, then writes with the safe writer (TSafeFile): the file is replaced only when
    // everything was encoded and written; otherwise it stays as it was and the error passes on.
    void SaveToPath(const std::string& path);
    void LoadFromPath(const std::string& path);
    // The form used by the "GIF Image" clipboard format: the whole file in a byte buffer.
    std::vector<std::uint8_t> SaveToBuffer();
    void LoadFromBuffer(const std::uint8_t* data, std::size_t size);

    // 0 without frames, 1 GIF87a, 2 GIF89a.
    int RequiredVersion() const;
    // The highest EntryBits of the global table and every frame's local table: the bits per pixel of
    // the frames written without a local table. Counted once per SaveToStream, not once per frame.
    int HighestEntryBits() const;
    void EnableAnimation(bool on);

    // Warning entry: passes to OnCodecWarning when installed.
    void Warning(const TGIFObject* sender, int severity, const std::string& text) const;
    void Progress(int stage, int percent, const std::string& message);
    // Change notification (OnChange).
    void Changed();
    // Drops the composite bitmap and the global palette, and every frame's caches.
    void DropCaches();

    // Bounds of LoadFromStream and the other load forms (none unless the caller sets them).
    TGIFReadLimits ReadLimits;
    // Used by the readers while a load runs (nothing happens outside a load): a frame's pixels and each
    // kept block are charged against the data's pixel budget and ReadLimits; beyond them the load fails.
    void ChargePixels(std::int64_t pixels);
    void ChargeBlocks(std::int64_t blocks);

    // Options
    std::uint16_t PaintFlags = DefaultPaintFlags;
    TReductionMethod ReductionMethod;
    std::int32_t ReductionBitDepth = 8;
    TDitherMethod DitherMethod;
    TCompressionMethod CompressionMethod = CompressLZW;
    std::uint8_t PainterPriority = 3;
    std::int32_t PlaybackSpeed = 100;
    std::int32_t PinnedFrame = -1;
    std::uint32_t PaintBackground = NoColor;

    TGIFWarningEvent OnCodecWarning;
    TGIFProgressEvent OnProgress;
    std::function<void(TGIFPicture& image)> OnChange;

    // The attachment (nullptr when none); a new one replaces the old, which is deleted.
    TGIFPictureAttachment* Attachment() const { return Attachment_.get(); }
    void SetAttachment(std::unique_ptr<TGIFPictureAttachment> attachment);
    // Lets the attachment end its work on the picture (StopWork), when there is one.
    void StopAttachedWork();

    // The rendering's caches and lock of this picture (GIFRender.h); the codec only owns them and
    // has them dropped when its colours, bounds or paint flags change.
    TGIFPictureCaches& RenderCaches() { return *RenderCaches_; }

  private:
    // Budgets of a load in progress: declared frame sizes must fit what the data can hold.
    bool Loading_ = false;
    std::int64_t PixelBudget_ = 0;
    std::int64_t PixelsRead_ = 0;
    std::int64_t BlocksRead_ = 0;
    int SavingEntryBits_ = -1; // HighestEntryBits while SaveToStream runs, else -1

    std::unique_ptr<TGIFPictureCaches> RenderCaches_; // made first, destroyed after the frames
    TGIFHeader Header_;
    TGIFImageList Images_;
    std::unique_ptr<TGIFPictureAttachment> Attachment_;
};

#include "DocumentGif.h"

#include "ColorMapOptimizer.h"
#include "ColorReduction.h"
#include "DitherEngine.h"
#include "FrameShrinker.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFRender.h"
#include "GIFSubImage.h"
#include "Stream.h"

#include "Bitmap.h"
#include "Icon.h"
#include "IconWriter.h"

#include <algorithm>
#include <array>
#include <memory>
#include <sstream>
#include <unordered_set>

namespace GifFrames {

namespace {

// Extensions, text lines and application sub-blocks a read GIF may hold: far more than an icon carries
// (16 a frame for 4,096 frames; a comment of 16 MB would be 65,794 lines), few enough that their objects
// cost a few MB and that reading and freeing them stays within the time of the largest real icon.
constexpr std::int64_t MaxKeptBlocks = std::int64_t(1) << 16;

uint32_t SurfaceFromGifColor(TGIFColor c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// The 24-bit platform bitmap the import converts (colours as 0x00BBGGRR).
TBitmap ToBitmap(const TSurface32& source) {
    TBitmap bitmap(source.Width(), source.Height(), pf24bit);
    for (int y = 0; y < source.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        const uint32_t* src = source.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x) {
            row[3 * x] = static_cast<uint8_t>(src[x]);
            row[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(src[x] >> 16);
        }
    }
    return bitmap;
}

// The octree conversion between the system colours keeps up to this many colours exactly.
constexpr int OctreeExactColors = 236;

// Number of distinct colours of source (alpha ignored), counted up to limit + 1.
int CountColors(const TSurface32& source, int limit) {
    std::unordered_set<uint32_t> seen;
    seen.reserve(static_cast<size_t>(limit) * 2);
    uint32_t last = 0;
    bool any = false;
    for (int y = 0; y < source.Height(); ++y) {
        const uint32_t* row = source.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x) {
            const uint32_t c = row[x] & 0xFFFFFFu;
            if (any && c == last) continue;
            any = true;
            last = c;
            seen.insert(c);
            if (static_cast<int>(seen.size()) > limit) return limit + 1;
        }
    }
    return static_cast<int>(seen.size());
}

// Sets a picture's reduction method for the length of one conversion.
class TReductionScope {
  public:
    TReductionScope(TGIFPicture& picture, TReductionMethod method)
        : Picture_(picture), Saved_(picture.ReductionMethod) {
        Picture_.ReductionMethod = method;
    }
    ~TReductionScope() { Picture_.ReductionMethod = Saved_; }
    TReductionScope(const TReductionScope&) = delete;
    TReductionScope& operator=(const TReductionScope&) = delete;

  private:
    TGIFPicture& Picture_;
    TReductionMethod Saved_;
};

// Converts source into a new, free frame of picture (not yet in its list), with the picture's options.
// A picture of 237 to 256 colours fits one colour table but would lose colours to the octree's merging:
// it is imported colour by colour instead, so that every pixel keeps its colour. Up to 236 colours the
// octree is exact already (and its table layout stays as it always was); beyond 256 the octree and the
// dithering do the reduction.
std::unique_ptr<TGIFSubImage> ConvertFrame(TGIFPicture& picture, const TSurface32& source) {
    TBitmap bitmap = ToBitmap(source);
    auto frame = std::make_unique<TGIFSubImage>(&picture);
    const int colors =
        picture.ReductionMethod == ReduceQuantizeSystem ? CountColors(source, TGIFColorMap::MaxColors) : 0;
    if (colors > OctreeExactColors && colors <= TGIFColorMap::MaxColors) {
        TReductionScope exact(picture, ReduceNone);
        ImportFrame(*frame, bitmap);
    } else {
        ImportFrame(*frame, bitmap);
    }
    return frame;
}

TGIFGraphicControlExtension* AddControlExtension(TGIFSubImage& frame) {
    auto ext = std::make_unique<TGIFGraphicControlExtension>(&frame);
    TGIFGraphicControlExtension* added = ext.get();
    frame.Extensions().AppendItem(std::move(ext));
    return added;
}

// Colour lookup of a frame's indices; an index beyond the table shows entry 0, as the codec's ColorAt.
std::array<uint32_t, 256> FrameColors(const TGIFSubImage& frame) {
    const TGIFColorMap& table = frame.ActiveColorTable();
    if (table.Count() == 0) throw std::runtime_error("No global or local color table defined");
    std::array<uint32_t, 256> colors;
    for (int i = 0; i < 256; ++i)
        colors[i] = SurfaceFromGifColor(table.ColorAt(i < table.Count() ? i : 0));
    return colors;
}

// Delay Time, disposal and transparent index (-1 none) of a frame.
struct TControl {
    int Delay = -1;
    int Disposal = 0;
    int TransparentIndex = -1;
};

TControl ControlOf(const TGIFSubImage& frame) {
    TControl c;
    if (const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension()) {
        c.Delay = gce->Delay();
        c.Disposal = gce->Disposal();
        if (gce->Transparent()) c.TransparentIndex = gce->TransparentColorIndex();
    }
    return c;
}

std::vector<uint8_t> Write(TGIFPicture& picture) {
    return picture.SaveToBuffer();
}

} // namespace

std::unique_ptr<TGIFPicture> MakeDocumentPicture() {
    auto picture = std::make_unique<TGIFPicture>();
    ResetDocumentPicture(*picture);
    return picture;
}

void ResetDocumentPicture(TGIFPicture& picture) {
    picture.ClearAll();
    picture.ReductionMethod = ReduceQuantizeSystem;
    picture.DitherMethod = DitherFloydSteinberg;
    picture.CompressionMethod = CompressLZW;
}

int FrameCount(const TGIFPicture& picture) {
    return picture.Images().ItemCount();
}

int AppendFrame(TGIFPicture& picture, const TSurface32& source, int delay) {
    std::unique_ptr<TGIFSubImage> frame = ConvertFrame(picture, source);
    AddControlExtension(*frame)->SetDelay(delay);
    return picture.AddFrame(std::move(frame));
}

void ReplaceFrame(TGIFPicture& picture, int index, const TSurface32& source) {
    TGIFSubImage* old = picture.Images().ItemAt(index);
    const TControl control = ControlOf(*old);
    std::unique_ptr<TGIFSubImage> frame = ConvertFrame(picture, source);
    // The document's frames carry one graphic control extension: its display time stays with the place.
    if (control.Delay >= 0) {
        TGIFGraphicControlExtension* gce = AddControlExtension(*frame);
        gce->SetDelay(control.Delay);
        gce->SetDisposal(control.Disposal);
    }
    picture.Images().DeleteAt(index);
    const int last = picture.AddFrame(std::move(frame));
    picture.Images().MoveItem(last, index);
}

TSurface32 RenderFrame(const TGIFPicture& picture, int index) {
    const TGIFSubImage& frame = *picture.Images().ItemAt(index);
    TSurface32 out(frame.Width(), frame.Height());
    if (frame.Empty()) return out;
    const std::array<uint32_t, 256> colors = FrameColors(frame);
    const uint8_t* pixels = frame.Pixels();
    for (int y = 0; y < frame.Height(); ++y) {
        uint32_t* row = out.ScanLine(y);
        for (int x = 0; x < frame.Width(); ++x)
            row[x] = colors[pixels[static_cast<size_t>(y) * frame.Width() + x]];
    }
    return out;
}

int FrameDelay(const TGIFPicture& picture, int index) {
    if (index < 0 || index >= FrameCount(picture)) return -1;
    return ControlOf(*picture.Images().ItemAt(index)).Delay;
}

void SetFrameDelay(TGIFPicture& picture, int index, int delay) {
    TGIFSubImage& frame = *picture.Images().ItemAt(index);
    TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    if (!gce) gce = AddControlExtension(frame);
    gce->SetDelay(delay);
}

void MoveFrame(TGIFPicture& picture, int from, int to) {
    picture.Images().MoveItem(from, to);
    picture.Changed();
}

void DeleteFrame(TGIFPicture& picture, int index) {
    picture.Images().DeleteAt(index);
    picture.Changed();
}

void OptimizeColors(TGIFPicture& picture) {
    OptimizeColorMaps(picture);
}

TGIFReadLimits DocumentReadLimits(int side, int maxFrames) {
    TGIFReadLimits limits;
    limits.MaxScreenSide = side;
    // A frame may stick out past the screen (it is clipped when composed), but none is larger than it.
    limits.MaxFrameSide = side;
    limits.MaxFrames = maxFrames;
    limits.MaxPixels = static_cast<std::int64_t>(maxFrames) * side * side;
    limits.MaxBlocks = MaxKeptBlocks;
    return limits;
}

TGIFReadLimits PictureReadLimits(int maxSide, int maxFrames, bool firstFrameOnly) {
    TGIFReadLimits limits;
    limits.MaxScreenSide = maxSide;
    limits.MaxFrameSide = maxSide;
    limits.MaxFrames = maxFrames;
    limits.MaxPixels = 4 * static_cast<std::int64_t>(maxSide) * maxSide;
    limits.MaxBlocks = MaxKeptBlocks;
    limits.FramesWanted = firstFrameOnly ? 1 : 0;
    return limits;
}

std::unique_ptr<TGIFPicture> ReadGif(const std::vector<uint8_t>& bytes, const TGIFReadLimits& limits) {
    auto gif = std::make_unique<TGIFPicture>();
    gif->ReadLimits = limits;
    gif->LoadFromBuffer(bytes.data(), bytes.size());
    return gif;
}

std::vector<TSurface32> ComposeFrames(const TGIFPicture& gif, const TSurface32& start, int offset,
                                      std::vector<int>& delays, int missingDelay) {
    const int count = FrameCount(gif);
    const int side = start.Width() - 2 * offset; // the GIF screen maps 1:1 onto the target rectangle
    std::vector<TSurface32> pictures;
    delays.assign(count, missingDelay);
    TSurface32 base;
    base.CopyFrom(start);
    for (int i = 0; i < count; ++i) {
        const TGIFSubImage& frame = *gif.Images().ItemAt(i);
        const TControl control = ControlOf(frame);
        if (control.Delay >= 0) delays[i] = control.Delay;
        // The frame's rectangle on the screen; a frame sticking out past the screen is clipped.
        const int left = std::min<int>(frame.Left(), side), top = std::min<int>(frame.Top(), side);
        const int right = std::min<int>(frame.Left() + frame.Width(), side);
        const int bottom = std::min<int>(frame.Top() + frame.Height(), side);
        TSurface32 picture;
        picture.CopyFrom(base);
        if (!frame.Empty()) {
            const std::array<uint32_t, 256> colors = FrameColors(frame);
            const uint8_t* pixels = frame.Pixels();
            for (int sy = top; sy < bottom; ++sy)
                for (int sx = left; sx < right; ++sx) {
                    const size_t at =
                        static_cast<size_t>(sy - frame.Top()) * frame.Width() + (sx - frame.Left());
                    const uint8_t index = pixels[at];
                    if (index == control.TransparentIndex) continue;
                    picture.SetPixel(offset + sx, offset + sy, colors[index]);
                }
        }
        // What the next frame is drawn over, by this frame's Disposal Method (frame 0 included): 2 gives
        // the frame's rectangle back to the start picture (a browser clears it to transparent), 3 restores
        // the picture from before the frame, anything else keeps the frame.
        if (control.Disposal == 2) {
            base.CopyFrom(picture);
            for (int sy = top; sy < bottom; ++sy)
                for (int sx = left; sx < right; ++sx)
                    base.SetPixel(offset + sx, offset + sy, start.GetPixel(offset + sx, offset + sy));
        } else if (control.Disposal != 3) {
            base.CopyFrom(picture);
        }
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

std::vector<uint8_t> EncodeSingleFrame(const TSurface32& source, bool markTransparent,
                                       uint32_t transparentColor) {
    // The frame is converted as the document converts its frames, so that it keeps its colours as the
    // document shows them and equals the frame of an animation saved from the same pictures.
    TGIFPicture n;
    ResetDocumentPicture(n);
    n.AddFrame(ConvertFrame(n, source));
    OptimizeColors(n);
    if (markTransparent) {
        const int t = n.GlobalColorMap().FindColor(transparentColor);
        if (t >= 0) {
            TGIFSubImage& frame = *n.Images().ItemAt(0);
            TGIFGraphicControlExtension* gce = AddControlExtension(frame);
            gce->SetTransparent(true);
            gce->SetTransparentColorIndex(t);
        }
    }
    return Write(n);
}

namespace {

void RemoveLoopExtensions(TGIFPicture& picture) {
    for (int i = 0; i < FrameCount(picture); ++i) {
        auto& extensions = picture.Images().ItemAt(i)->Extensions();
        for (int e = extensions.ItemCount() - 1; e >= 0; --e)
            if (dynamic_cast<TGIFAppExtNSLoop*>(extensions.ItemAt(e))) extensions.DeleteAt(e);
    }
}

void InsertLoopExtension(TGIFPicture& picture, int loops) {
    if (FrameCount(picture) == 0) return;
    TGIFSubImage& first = *picture.Images().ItemAt(0);
    auto loop = std::make_unique<TGIFAppExtNSLoop>(&first);
    loop->Loops = static_cast<std::uint16_t>(loops);
    first.Extensions().InsertAt(0, std::move(loop));
}

} // namespace

int LoopCount(const TGIFPicture& gif) {
    for (int i = 0; i < FrameCount(gif); ++i)
        for (const TGIFBaseExtension* ext : gif.Images().ItemAt(i)->Extensions())
            if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(ext)) return loop->Loops;
    return NoLooping;
}

void SetPlaybackLoops(TGIFPicture& picture, int loops) {
    RemoveLoopExtensions(picture);
    if (loops > 0) InsertLoopExtension(picture, std::min(loops, 0xFFFF));
}

std::vector<uint8_t> EncodeAnimation(const TGIFPicture& frames, bool markTransparent,
                                     uint32_t transparentColor, int loopCount, bool shrink) {
    TGIFPicture n;
    n.CopyFrom(frames);
    RemoveLoopExtensions(n); // the preview's, while it plays
    OptimizeColors(n);
    const TGIFGlobalColorMap& global = n.GlobalColorMap();
    if (global.Count() > 0) n.PaintBackground = global.ColorAt(0);
    const int t = markTransparent ? global.FindColor(transparentColor) : -1;
    // A frame with a table of its own (when the frames use more colours than one table holds) finds the
    // transparent colour in its own table.
    std::vector<int> transparentIndex(static_cast<size_t>(FrameCount(n)), -1);
    bool anyTransparent = false;
    for (int i = 0; i < FrameCount(n) && markTransparent; ++i) {
        const TGIFColorMap& own = n.Images().ItemAt(i)->ColorMap();
        transparentIndex[static_cast<size_t>(i)] = own.Count() > 0 ? own.FindColor(transparentColor) : t;
        anyTransparent = anyTransparent || transparentIndex[static_cast<size_t>(i)] >= 0;
    }
    for (int i = 0; i < FrameCount(n); ++i) {
        TGIFSubImage& frame = *n.Images().ItemAt(i);
        TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
        if (!gce) gce = AddControlExtension(frame);
        const int own = transparentIndex[static_cast<size_t>(i)];
        gce->SetTransparent(own >= 0);
        if (own >= 0) gce->SetTransparentColorIndex(own);
        // Each frame is a whole picture whose transparent pixels must show through to what is behind
        // the animation, never to the frame before: every frame is cleared after it is shown.
        gce->SetDisposal(anyTransparent ? 2 : 0);
    }
    if (shrink) ShrinkFrames(n, t);
    if (loopCount != NoLooping) InsertLoopExtension(n, std::clamp(loopCount, 0, 0xFFFF));
    return Write(n);
}

std::vector<uint8_t> EncodeIcon(const TPixelImage& colors) {
    // The icon as the platform makes it: a colour bitmap (black where transparent) and a 1-bit mask
    // (white = transparent), hot spot (0, 0).
    TBitmap color(colors.Width, colors.Height, pfDevice);
    TBitmap mask(colors.Width, colors.Height, pf1bit);
    TPalette blackWhite(2);
    blackWhite.SetColor(1, MakeColorRef(255, 255, 255));
    mask.SetPalette(blackWhite);
    for (int y = 0; y < colors.Height; ++y)
        for (int x = 0; x < colors.Width; ++x) {
            const bool transparent = colors.IsTransparent(x, y);
            const uint32_t c = transparent ? 0 : colors.At(x, y);
            color.SetPixel(x, y, MakeColorRef((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
            mask.SetIndex(x, y, transparent ? 1 : 0);
        }
    const TIcon icon(color, mask, 0, 0);
    std::ostringstream out;
    TIconWriter().WriteIconStream(out, icon, false);
    const std::string bytes = out.str();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

} // namespace GifFrames

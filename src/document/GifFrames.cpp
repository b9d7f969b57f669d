#include "GifFrames.h"

#include "ColorMapOptimizer.h"
#include "ColorReduction.h"
#include "DitherEngine.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

#include "Bitmap.h"
#include "Icon.h"
#include "IconWriter.h"

#include <sstream>

#include <array>

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

// Converts source into a new, free frame of picture (not yet in its list).
std::unique_ptr<TGIFSubImage> ConvertFrame(TGIFPicture& picture, const TSurface32& source) {
    TBitmap bitmap = ToBitmap(source);
    auto frame = std::make_unique<TGIFSubImage>(&picture);
    frame->CopyFrom(bitmap);
    return frame;
}

TGIFGraphicControlExtension* AddControlExtension(TGIFSubImage& frame) {
    auto* ext = new TGIFGraphicControlExtension(&frame);
    frame.Extensions().AppendItem(ext);
    return ext;
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
    return picture.AddFrame(frame.release());
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
    const int last = picture.AddFrame(frame.release());
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
    limits.FramesInsideScreen = true;
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
        TSurface32 picture;
        picture.CopyFrom(base);
        if (!frame.Empty()) {
            const std::array<uint32_t, 256> colors = FrameColors(frame);
            const uint8_t* pixels = frame.Pixels();
            for (int y = 0; y < frame.Height(); ++y) {
                const int sy = frame.Top() + y;
                if (sy >= side) break;
                for (int x = 0; x < frame.Width(); ++x) {
                    const int sx = frame.Left() + x;
                    if (sx >= side) break;
                    const uint8_t index = pixels[static_cast<size_t>(y) * frame.Width() + x];
                    if (index == control.TransparentIndex) continue;
                    picture.SetPixel(offset + sx, offset + sy, colors[index]);
                }
            }
        }
        // A frame restored after display (disposal 2 or 3) leaves the base as it was; frame 0 always stays.
        if (i == 0 || (control.Disposal != 2 && control.Disposal != 3)) base.CopyFrom(picture);
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

std::vector<uint8_t> EncodeSingleFrame(const TSurface32& source, bool markTransparent,
                                       uint32_t transparentColor) {
    TGIFPicture n;
    TBitmap bitmap = ToBitmap(source);
    n.AddFrame(bitmap);
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

std::vector<uint8_t> EncodeAnimation(const TGIFPicture& frames, bool markTransparent,
                                     uint32_t transparentColor) {
    TGIFPicture n;
    n.CopyFrom(frames);
    OptimizeColors(n);
    const TGIFGlobalColorMap& global = n.GlobalColorMap();
    if (global.Count() > 0) n.PaintBackground = global.ColorAt(0);
    const int t = markTransparent ? global.FindColor(transparentColor) : -1;
    for (int i = 0; i < FrameCount(n); ++i) {
        TGIFSubImage& frame = *n.Images().ItemAt(i);
        TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
        if (!gce) gce = AddControlExtension(frame);
        if (t >= 0) {
            gce->SetTransparent(true);
            gce->SetTransparentColorIndex(t);
            gce->SetDisposal(gce->TransparentColor() == n.PaintBackground ? 2 : 0);
        } else {
            gce->SetTransparent(false);
            gce->SetDisposal(0);
        }
    }
    if (FrameCount(n) > 0) {
        TGIFSubImage& first = *n.Images().ItemAt(0);
        auto* loop = new TGIFAppExtNSLoop(&first);
        loop->Loops = 0;
        first.Extensions().InsertAt(0, loop);
    }
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

#pragma once
// The document's whole contact with the GIF codec, the import and the colour map optimizer, kept in one
// place: adding, replacing, rendering and moving frames of a TGIFPicture, reading a GIF within bounds,
// composing a GIF's frames, and encoding the saved GIF and icon files.

#include "PixelImage.h"
#include "Surface32.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

class TGIFPicture;
struct TGIFReadLimits;

namespace GifFrames {

// A picture with the document options: octree quantizing between the system colours, Floyd–Steinberg
// dithering, LZW compression.
std::unique_ptr<TGIFPicture> MakeDocumentPicture();
// Empties the picture and sets the document options again.
void ResetDocumentPicture(TGIFPicture& picture);

int FrameCount(const TGIFPicture& picture);
// Converts picture (40 × 40 or 32 × 32) with the picture's options into a new last frame carrying a graphic
// control extension with this Delay Time; returns its index. A picture of at most 256 colours keeps every
// pixel exact.
int AppendFrame(TGIFPicture& picture, const TSurface32& source, int delay);
// Converts source as AppendFrame does and puts it in place of frame index, which keeps its place and its
// extensions (so its display time).
void ReplaceFrame(TGIFPicture& picture, int index, const TSurface32& source);
// The frame's pixels through its active colour table, opaque (alpha 0xFF), at the frame's size.
TSurface32 RenderFrame(const TGIFPicture& picture, int index);
// Delay Time of the frame's graphic control extension; -1 when it has none.
int FrameDelay(const TGIFPicture& picture, int index);
void SetFrameDelay(TGIFPicture& picture, int index, int delay);
void MoveFrame(TGIFPicture& picture, int from, int to);
void DeleteFrame(TGIFPicture& picture, int index);
// Merges the frames' colour tables into one global table.
void OptimizeColors(TGIFPicture& picture);

// Bounds for reading a GIF opened as the document: a screen of at most side × side with every frame
// inside it, at most maxFrames frames (each frame of the document costs several pictures, so a small file
// of many tiny frames must not exhaust the memory), and no more pixels and kept blocks than such a file
// holds. The reader checks them where it meets each part, so nothing is allocated beyond them.
TGIFReadLimits DocumentReadLimits(int side, int maxFrames);
// Bounds for reading a GIF that is any picture up to maxSide on a side (screen and frames), as pasted or
// inserted: at most maxFrames frames and the pixels of four full-size frames; with firstFrameOnly the
// reader stops after frame 0.
TGIFReadLimits PictureReadLimits(int maxSide, int maxFrames, bool firstFrameOnly);
// Reads a GIF from memory with the codec within the bounds; its exceptions pass on.
std::unique_ptr<TGIFPicture> ReadGif(const std::vector<uint8_t>& bytes, const TGIFReadLimits& limits);

// Composes frame by frame as GIF89a says and browsers show: each frame is drawn transparently over the
// picture left by the frames before it, at offset (offset, offset) on start, clipped to the screen. After a
// frame with Disposal Method 2 its rectangle goes back to start; after Disposal Method 3 the picture from
// before the frame comes back; any other frame stays (frame 0 like every other). Returns one picture per
// frame.
// missingDelay is used for frames without a graphic control extension; delays[k] receives the Delay Times.
std::vector<TSurface32> ComposeFrames(const TGIFPicture& gif, const TSurface32& start, int offset,
                                      std::vector<int>& delays, int missingDelay);

// A one-frame GIF of source (any size), converted as AppendFrame converts: at most 256 colours keep every
// pixel exact, more go through the octree and Floyd–Steinberg. When markTransparent and the table holds
// transparentColor (0x00BBGGRR), the frame gets a graphic control extension marking it transparent.
std::vector<uint8_t> EncodeSingleFrame(const TSurface32& source, bool markTransparent,
                                       uint32_t transparentColor);
// An animated GIF copied from frames (the document's Frames40 or Frames32): merged colour tables, each
// frame's display time, a looping extension first in frame 0 (see loopCount); with markTransparent the
// transparent colour (when the global table holds it) with Disposal Method 2 on every frame, so that no
// frame shows through the transparent pixels of the next.
// loopCount: the looping extension's count (0 forever, N), or NoLooping to write none (plays once).
// With shrink the file is made smaller and shows the same pictures: every frame after the first holds only
// the rectangle that changed, pixels left as shown may be written transparent where that packs better,
// and frames are not cleared (Disposal Method 1) unless a pixel must turn transparent again.
std::vector<uint8_t> EncodeAnimation(const TGIFPicture& frames, bool markTransparent,
                                     uint32_t transparentColor, int loopCount = 0, bool shrink = false);

// Loop count of a read GIF: the count of its first looping extension (0 = forever), or NoLooping when it
// has none (browsers then play it once).
constexpr int NoLooping = -1;
int LoopCount(const TGIFPicture& gif);
// Gives the picture the looping extension the painter follows: loops passes (1 to 65535) in front of
// frame 0, or none when loops is 0. Any looping extension it had goes first.
void SetPlaybackLoops(TGIFPicture& picture, int loops);
// A 256-colour 32 × 32 icon of the colour picture with its AND mask (true = transparent).
std::vector<uint8_t> EncodeIcon(const TPixelImage& colors);

} // namespace GifFrames

#pragma once
// Rendering and import of GIF frames and pictures: free functions over the codec's plain frame
// data, and the caches and lock they keep for each frame and picture.
//
// The codec classes only own these states (opaque to their headers) and drop the caches when
// colours, bounds or paint flags change; everything that makes or reads a bitmap lives here.
//
// Every cache query takes the picture's render lock (a free-standing frame has no picture and no
// lock), so rendering and the changes that drop caches never overlap.

#include <memory>
#include <mutex>

class TBitmap;
class TPalette;
class TCanvas;
class TGraphic;
class TPicture;
struct TRect;
class TGIFPicture;
class TGIFSubImage;

// What the rendering keeps for one frame, filled by the rendering and emptied by DropFrameCaches.
struct TGIFFrameCaches {
    std::shared_ptr<TBitmap> Bitmap;   // the frame rendered to an 8-bit bitmap
    std::shared_ptr<TBitmap> Mask;     // 1-bit mask of the transparent pixels
    bool MaskNeeded = true;            // the mask has to be (re)built on the next rendering
    std::shared_ptr<TPalette> Palette; // made from the active colour table
};

// What the rendering keeps for one picture, and the lock over it and over its frames' caches.
struct TGIFPictureCaches {
    // Guards the rendering caches of the picture and its frames: taken by every cache query and by
    // every change that drops caches, so that a painter thread may prepare a frame while the
    // user-interface thread edits the picture.
    std::recursive_mutex Lock;
    std::shared_ptr<TBitmap> Composite;
    std::shared_ptr<TPalette> GlobalPalette;
    bool PaletteModified = false;
    bool InsidePaletteQuery = false;
};

// The caches of a frame (made on first use) and of a picture. Callers outside a rendering call
// hold the picture's lock while they use them.
TGIFFrameCaches& FrameCaches(TGIFSubImage& frame);
TGIFPictureCaches& PictureCaches(TGIFPicture& image);
// The picture's render lock (not locked for no picture).
std::unique_lock<std::recursive_mutex> LockRendering(TGIFPicture* image);

// Dropping caches (the codec's changes call these under the lock).
void DropFrameCaches(TGIFSubImage& frame);
// Drops the rendered bitmap and mask and keeps the palette (the frame's size changed).
void DropFrameBitmap(TGIFSubImage& frame);
// Copies the source's rendered bitmap into the frame (each frame's cache is its own).
void CopyFrameBitmap(TGIFSubImage& frame, const TGIFSubImage& source);
// Drops the composite bitmap and the global palette (not the frames' caches).
void DropPictureCaches(TGIFPicture& image);
void DropComposite(TGIFPicture& image);

// True when frames are rendered through the 216-colour cube with dithering (PaintFlags).
bool DitherWhenRendering(const TGIFPicture& image);

// ---- Frames ----

// The frame rendered to an 8-bit bitmap (cached); nullptr for an empty frame.
std::shared_ptr<TBitmap> RenderFrame(TGIFSubImage& frame);
bool FrameHasMask(TGIFSubImage& frame);
void FreeFrameBitmap(TGIFSubImage& frame);
void FreeFrameMask(TGIFSubImage& frame);
void SetFrameHasBitmap(TGIFSubImage& frame, bool on);
std::shared_ptr<TPalette> FramePalette(TGIFSubImage& frame);
void SetFramePalette(TGIFSubImage& frame, std::shared_ptr<TPalette> palette);
// Draws the frame at its place on the logical screen scaled into rect, or tiled one screen apart.
void DrawFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool tile, bool transparent);
void StretchDrawFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool tile, bool transparent);
void CopyFrameToBitmap(TGIFSubImage& frame, TBitmap& target);

// ---- Pictures ----

// The picture's composite bitmap (the first frame on the screen), cached; nullptr without frames.
std::shared_ptr<TBitmap> RenderPicture(TGIFPicture& image);
std::shared_ptr<TPalette> PicturePalette(TGIFPicture& image);
void SetPicturePalette(TGIFPicture& image, std::shared_ptr<TPalette> palette);
void CopyPictureToBitmap(TGIFPicture& image, TBitmap& target);

// ---- Import ----

// Import of a platform bitmap or another graphic (icon, ...) as a palette frame. A bitmap of
// more than 8 bits per pixel is converted in place to 24 bits on the way.
void ImportFrame(TGIFSubImage& frame, TBitmap& source);
void ImportFrame(TGIFSubImage& frame, const TGraphic& source);
void ImportFrame(TGIFSubImage& frame, const TPicture& source);
// Marks the pixels under the mask's set bits transparent, with a new black entry.
void ApplyFrameMask(TGIFSubImage& frame, const TBitmap& mask);
// A picture is turned into a new frame of the picture (the frame is destroyed when that fails);
// answers its index.
int AddImportedFrame(TGIFPicture& image, TBitmap& source);
int AddImportedFrame(TGIFPicture& image, const TGraphic& source);
// Clears the picture and takes the graphic as its only frame.
void ImportPicture(TGIFPicture& image, const TGraphic& source);

#pragma once
// Base of every picture kind the raster layer knows (bitmaps, icons). A graphic can tell its size
// and draw itself stretched into a rectangle of a canvas.

#include <string>

class TCanvas;
struct TRect;

class TGraphic {
  public:
    virtual ~TGraphic() = default;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Draws the whole graphic stretched into dest.
    virtual void Draw(TCanvas& canvas, const TRect& dest) const = 0;
    // Name used in conversion errors ("Cannot assign a TIcon to a TGIFSubImage").
    virtual std::string ClassName() const = 0;
};

#pragma once
// Colour lookups: map a colour to a palette index and give back that entry's colour.

#include "Palette.h"

struct TLookupColor {
    int Red = 0;
    int Green = 0;
    int Blue = 0;
};

class TColorLookup {
  public:
    explicit TColorLookup(int entryCount) : EntryCount_(entryCount) {}
    virtual ~TColorLookup() = default;
    int EntryCount() const { return EntryCount_; }
    // Channels are 0-255.
    virtual int NearestIndex(int red, int green, int blue, TLookupColor& entry) const = 0;

  protected:
    int EntryCount_;
};

// Nearest entry of any palette (least squared distance, lowest index on a tie), cached per colour.
class TSlowColorLookup : public TColorLookup {
  public:
    explicit TSlowColorLookup(const TPalette& palette);
    int NearestIndex(int red, int green, int blue, TLookupColor& entry) const override;

  private:
    TPalette Palette_;
};

// The 216-colour cube.
class TNetscapeColorLookup : public TColorLookup {
  public:
    TNetscapeColorLookup() : TColorLookup(216) {}
    int NearestIndex(int red, int green, int blue, TLookupColor& entry) const override;
};

// 256 greys by luminance.
class TGrayScaleLookup : public TColorLookup {
  public:
    TGrayScaleLookup() : TColorLookup(256) {}
    int NearestIndex(int red, int green, int blue, TLookupColor& entry) const override;
};

// Black or white by luminance.
class TMonochromeLookup : public TColorLookup {
  public:
    TMonochromeLookup() : TColorLookup(2) {}
    int NearestIndex(int red, int green, int blue, TLookupColor& entry) const override;
};

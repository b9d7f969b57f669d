#pragma once
// Colour lookups: map a colour to a palette index and give back that entry's colour.

#include <array>
#include <cstdint>
#include <vector>

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

// Nearest entry of any palette: the platform's search (least sum of squared differences, lowest
// index on a tie). The answer is the same as TPalette::NearestIndex; entries are searched outward
// from the colour's red value with pruning, and recent answers are kept in a small cache.
class TSlowColorLookup : public TColorLookup {
  public:
    explicit TSlowColorLookup(const TPalette& palette);
    int NearestIndex(int red, int green, int blue, TLookupColor& entry) const override;

  private:
    struct TSorted {
        int Red, Green, Blue, Index;
    };
    int Search(int red, int green, int blue) const;

    TPalette Palette_;
    std::vector<TSorted> ByRed_; // entries ordered by red, then index
    std::array<int, 256> Start_; // first position in ByRed_ with red >= r
    static constexpr int CacheSize = 4096;
    mutable std::vector<std::uint32_t> CacheKey_; // colour + 1, 0 = empty
    mutable std::vector<std::uint8_t> CacheIndex_;
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

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
// index on a tie), with the same answers as TPalette::NearestIndex but faster. Of equal colours
// only the lowest index takes part. The entries are kept ordered by red; a search starts from the
// previous answer (neighbouring pixels are alike), which bounds the distance, and then looks
// outward from the colour's red only as far as that bound allows. Recent answers are cached.
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
    std::vector<TSorted> ByRed_; // distinct colours (lowest index of each), ordered by red
    std::array<int, 257> Start_; // first position in ByRed_ with red >= r
    mutable int Last_ = 0;       // position in ByRed_ of the previous answer
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

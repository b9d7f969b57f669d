#include "ColorLookup.h"

#include <algorithm>

TSlowColorLookup::TSlowColorLookup(const TPalette& palette)
    : TColorLookup(std::min(palette.Count(), TPalette::MaxEntries)), Palette_(palette),
      CacheKey_(CacheSize, 0), CacheIndex_(CacheSize, 0) {
    for (int i = 0; i < EntryCount_; ++i) {
        const TPaletteEntry& e = Palette_.Entry(i);
        ByRed_.push_back({e.Red, e.Green, e.Blue, i});
    }
    std::stable_sort(ByRed_.begin(), ByRed_.end(),
                     [](const TSorted& a, const TSorted& b) { return a.Red < b.Red; });
    std::size_t pos = 0;
    for (int r = 0; r < 256; ++r) {
        while (pos < ByRed_.size() && ByRed_[pos].Red < r)
            ++pos;
        Start_[static_cast<std::size_t>(r)] = static_cast<int>(pos);
    }
}

int TSlowColorLookup::Search(int red, int green, int blue) const {
    int best = -1;
    int bestDistance = 0x7FFFFFFF;
    auto consider = [&](const TSorted& s) {
        const int dg = s.Green - green, db = s.Blue - blue, dr = s.Red - red;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance || (d == bestDistance && s.Index < best)) {
            bestDistance = d;
            best = s.Index;
        }
    };
    const int n = static_cast<int>(ByRed_.size());
    const int start = Start_[static_cast<std::size_t>(red)];
    // Upwards from the first entry with red >= red, downwards from the one before. An entry whose red
    // difference alone exceeds the best distance cannot win (nor tie), and neither can any further.
    bool up = true, down = true;
    for (int k = 0; up || down; ++k) {
        if (up) {
            const int i = start + k;
            if (i >= n) {
                up = false;
            } else {
                const int dr = ByRed_[static_cast<std::size_t>(i)].Red - red;
                if (dr * dr > bestDistance)
                    up = false;
                else
                    consider(ByRed_[static_cast<std::size_t>(i)]);
            }
        }
        if (down) {
            const int i = start - 1 - k;
            if (i < 0) {
                down = false;
            } else {
                const int dr = ByRed_[static_cast<std::size_t>(i)].Red - red;
                if (dr * dr > bestDistance)
                    down = false;
                else
                    consider(ByRed_[static_cast<std::size_t>(i)]);
            }
        }
    }
    return best;
}

int TSlowColorLookup::NearestIndex(int red, int green, int blue, TLookupColor& entry) const {
    if (EntryCount_ == 0) {
        entry = TLookupColor{};
        return 0;
    }
    const std::uint32_t key = (static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
                               (static_cast<std::uint32_t>(blue) << 16)) +
                              1;
    const std::size_t slot = ((key * 2654435761u) >> 20) & (CacheSize - 1);
    int index;
    if (CacheKey_[slot] == key) {
        index = CacheIndex_[slot];
    } else {
        index = Search(red, green, blue);
        CacheKey_[slot] = key;
        CacheIndex_[slot] = static_cast<std::uint8_t>(index);
    }
    const TPaletteEntry& e = Palette_.Entry(index);
    entry = TLookupColor{e.Red, e.Green, e.Blue};
    return index;
}

int TNetscapeColorLookup::NearestIndex(int red, int green, int blue, TLookupColor& entry) const {
    const int r = (red + 3) / 51, g = (green + 3) / 51, b = (blue + 3) / 51;
    entry = TLookupColor{51 * r, 51 * g, 51 * b};
    return 36 * r + 6 * g + b;
}

int TGrayScaleLookup::NearestIndex(int red, int green, int blue, TLookupColor& entry) const {
    const int y = (77 * red + 150 * green + 29 * blue) >> 8;
    entry = TLookupColor{y, y, y};
    return y;
}

int TMonochromeLookup::NearestIndex(int red, int green, int blue, TLookupColor& entry) const {
    if (77 * red + 150 * green + 29 * blue > 0x7F00) {
        entry = TLookupColor{255, 255, 255};
        return 1;
    }
    entry = TLookupColor{0, 0, 0};
    return 0;
}

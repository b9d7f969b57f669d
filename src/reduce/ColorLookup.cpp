#include "ColorLookup.h"

#include <algorithm>

TSlowColorLookup::TSlowColorLookup(const TPalette& palette)
    : TColorLookup(std::min(palette.Count(), TPalette::MaxEntries)), Palette_(palette),
      CacheKey_(CacheSize, 0), CacheIndex_(CacheSize, 0) {
    // Distinct colours by their lowest index, then ordered by red (ties by index).
    std::vector<std::pair<TColorRef, int>> byColor;
    for (int i = 0; i < EntryCount_; ++i)
        byColor.emplace_back(Palette_.ColorAt(i), i);
    std::sort(byColor.begin(), byColor.end());
    for (std::size_t k = 0; k < byColor.size(); ++k)
        if (k == 0 || byColor[k].first != byColor[k - 1].first) {
            const TColorRef c = byColor[k].first;
            ByRed_.push_back({RedOf(c), GreenOf(c), BlueOf(c), byColor[k].second});
        }
    std::sort(ByRed_.begin(), ByRed_.end(), [](const TSorted& a, const TSorted& b) {
        return a.Red != b.Red ? a.Red < b.Red : a.Index < b.Index;
    });
    std::size_t pos = 0;
    for (int r = 0; r <= 256; ++r) {
        while (pos < ByRed_.size() && ByRed_[pos].Red < r)
            ++pos;
        Start_[static_cast<std::size_t>(r)] = static_cast<int>(pos);
    }
}

int TSlowColorLookup::Search(int red, int green, int blue) const {
    const int n = static_cast<int>(ByRed_.size());
    auto distance = [&](const TSorted& s) {
        const int dr = s.Red - red, dg = s.Green - green, db = s.Blue - blue;
        return dr * dr + dg * dg + db * db;
    };
    int bestPos = Last_ < n ? Last_ : 0;
    int bestDistance = distance(ByRed_[static_cast<std::size_t>(bestPos)]);
    auto consider = [&](int pos) {
        const int d = distance(ByRed_[static_cast<std::size_t>(pos)]);
        if (d < bestDistance || (d == bestDistance && ByRed_[static_cast<std::size_t>(pos)].Index <
                                                          ByRed_[static_cast<std::size_t>(bestPos)].Index)) {
            bestDistance = d;
            bestPos = pos;
        }
    };
    // Outward from the colour's red: once the red difference alone exceeds the best distance,
    // nothing further on that side can win or tie.
    const int start = Start_[static_cast<std::size_t>(red)];
    for (int i = start; i < n; ++i) {
        const int dr = ByRed_[static_cast<std::size_t>(i)].Red - red;
        if (dr * dr > bestDistance) break;
        consider(i);
    }
    for (int i = start - 1; i >= 0; --i) {
        const int dr = red - ByRed_[static_cast<std::size_t>(i)].Red;
        if (dr * dr > bestDistance) break;
        consider(i);
    }
    Last_ = bestPos;
    return ByRed_[static_cast<std::size_t>(bestPos)].Index;
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

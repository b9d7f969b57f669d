#include "Palette.h"

#include <algorithm>

namespace {

TPaletteEntry Rgb(int r, int g, int b) {
    return TPaletteEntry{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                         static_cast<std::uint8_t>(b), 0};
}

const TPaletteEntry DefaultEntries[20] = {
    Rgb(0, 0, 0),       Rgb(128, 0, 0),     Rgb(0, 128, 0),     Rgb(128, 128, 0),   Rgb(0, 0, 128),
    Rgb(128, 0, 128),   Rgb(0, 128, 128),   Rgb(192, 192, 192), Rgb(192, 220, 192), Rgb(166, 202, 240),
    Rgb(255, 251, 240), Rgb(160, 160, 164), Rgb(128, 128, 128), Rgb(255, 0, 0),     Rgb(0, 255, 0),
    Rgb(255, 255, 0),   Rgb(0, 0, 255),     Rgb(255, 0, 255),   Rgb(0, 255, 255),   Rgb(255, 255, 255),
};

} // namespace

TPalette::TPalette(int count) : Entries_(static_cast<std::size_t>(std::clamp(count, 0, MaxEntries))) {}

TPalette::TPalette(std::vector<TPaletteEntry> entries) : Entries_(std::move(entries)) {
    if (Entries_.size() > static_cast<std::size_t>(MaxEntries)) Entries_.resize(MaxEntries);
}

void TPalette::Resize(int count) {
    Entries_.resize(static_cast<std::size_t>(std::clamp(count, 0, MaxEntries)));
}

int TPalette::NearestIndex(int red, int green, int blue) const {
    int best = -1;
    int bestDistance = 0x7FFFFFFF;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        const TPaletteEntry& e = Entries_[static_cast<std::size_t>(i)];
        const int dr = e.Red - red;
        const int dg = e.Green - green;
        const int db = e.Blue - blue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0) break;
        }
    }
    return best;
}

std::vector<TRGBQuad> TPalette::ToQuads() const {
    std::vector<TRGBQuad> quads(Entries_.size());
    for (std::size_t i = 0; i < Entries_.size(); ++i)
        quads[i] = TRGBQuad{Entries_[i].Blue, Entries_[i].Green, Entries_[i].Red, 0};
    return quads;
}

TPalette TPalette::FromQuads(const TRGBQuad* quads, int count) {
    std::vector<TPaletteEntry> entries;
    count = std::clamp(count, 0, MaxEntries);
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back(TPaletteEntry{quads[i].Red, quads[i].Green, quads[i].Blue, 0});
    return TPalette(std::move(entries));
}

bool TPalette::operator==(const TPalette& o) const {
    if (Entries_.size() != o.Entries_.size()) return false;
    for (std::size_t i = 0; i < Entries_.size(); ++i)
        if (!Entries_[i].SameColor(o.Entries_[i]) || Entries_[i].Flags != o.Entries_[i].Flags) return false;
    return true;
}

const TPalette& TPalette::Default() {
    static const TPalette palette(
        std::vector<TPaletteEntry>(std::begin(DefaultEntries), std::end(DefaultEntries)));
    return palette;
}

const TPalette& TPalette::Halftone() {
    static const TPalette palette = [] {
        std::vector<TPaletteEntry> e;
        e.reserve(256);
        for (int i = 0; i < 10; ++i)
            e.push_back(DefaultEntries[i]);
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    e.push_back(Rgb(51 * r, 51 * g, 51 * b));
        // 20 greys between the cube's steps: 12, 24, ... so that grey ramps dither finely.
        for (int i = 1; i <= 20; ++i) {
            const int v = i * 255 / 21;
            e.push_back(Rgb(v, v, v));
        }
        for (int i = 10; i < 20; ++i)
            e.push_back(DefaultEntries[i]);
        return TPalette(std::move(e));
    }();
    return palette;
}

const TPalette& TPalette::Vga16() {
    static const TPalette palette = [] {
        std::vector<TPaletteEntry> e;
        for (int i = 0; i < 7; ++i)
            e.push_back(DefaultEntries[i]); // black and the dark colours
        e.push_back(DefaultEntries[12]);    // grey
        e.push_back(DefaultEntries[7]);     // light grey
        for (int i = 13; i < 20; ++i)
            e.push_back(DefaultEntries[i]); // the bright colours, white
        return TPalette(std::move(e));
    }();
    return palette;
}

const TPalette& TPalette::Monochrome() {
    static const TPalette palette(std::vector<TPaletteEntry>{Rgb(0, 0, 0), Rgb(255, 255, 255)});
    return palette;
}

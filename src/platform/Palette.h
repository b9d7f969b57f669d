#pragma once
// Colours and palettes of the raster layer.
//
// A colour crosses interfaces as a TColorRef, 0x00BBGGRR (red in the low byte). Three byte orders
// meet at the boundaries: red-green-blue triples (GIF tables), red-green-blue-flags palette entries
// (TPaletteEntry) and blue-green-red-reserved quads (TRGBQuad, device-independent bitmaps).

#include <cstdint>
#include <memory>
#include <vector>

using TColorRef = std::uint32_t;

constexpr TColorRef MakeColorRef(int red, int green, int blue) {
    return static_cast<TColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(TColorRef c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(TColorRef c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(TColorRef c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// Palette entry flag: the entry is never collapsed onto an equal one.
constexpr std::uint8_t PaletteNoCollapse = 0x04;

struct TPaletteEntry {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    std::uint8_t Flags = 0;

    TColorRef Color() const { return MakeColorRef(Red, Green, Blue); }
    bool SameColor(const TPaletteEntry& o) const {
        return Red == o.Red && Green == o.Green && Blue == o.Blue;
    }
    static TPaletteEntry FromColor(TColorRef c, std::uint8_t flags = 0) {
        return {static_cast<std::uint8_t>(RedOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                static_cast<std::uint8_t>(BlueOf(c)), flags};
    }
};

struct TRGBQuad {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
    std::uint8_t Reserved = 0;
};

struct TRGBTriple {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
};

// A logical palette: an ordered list of up to MaxEntries colours. It is a value; holders that need
// identity (the render caches) keep it in a shared_ptr and compare the pointers.
class TPalette {
  public:
    static constexpr int MaxEntries = 256;

    TPalette() = default;
    explicit TPalette(int count); // count black entries; count is clamped to 0..MaxEntries
    explicit TPalette(std::vector<TPaletteEntry> entries);

    int Count() const { return static_cast<int>(Entries_.size()); }
    bool Empty() const { return Entries_.empty(); }
    const TPaletteEntry& Entry(int index) const { return Entries_.at(static_cast<std::size_t>(index)); }
    TColorRef ColorAt(int index) const { return Entry(index).Color(); }
    void SetEntry(int index, const TPaletteEntry& entry) {
        Entries_.at(static_cast<std::size_t>(index)) = entry;
    }
    void SetColor(int index, TColorRef color) { SetEntry(index, TPaletteEntry::FromColor(color)); }
    const std::vector<TPaletteEntry>& Entries() const { return Entries_; }
    void Resize(int count); // new entries are black; clamped to 0..MaxEntries

    // The entry nearest to the colour: least sum of squared red, green and blue differences; the
    // lowest index wins a tie. Returns -1 for an empty palette.
    int NearestIndex(int red, int green, int blue) const;
    int NearestIndex(TColorRef color) const {
        return NearestIndex(RedOf(color), GreenOf(color), BlueOf(color));
    }

    // Colour tables of device-independent bitmaps (blue-green-red-reserved).
    std::vector<TRGBQuad> ToQuads() const;
    static TPalette FromQuads(const TRGBQuad* quads, int count);

    bool operator==(const TPalette& o) const;
    bool operator!=(const TPalette& o) const { return !(*this == o); }

    // The platform's default palette: its 20 static colours, entries 0-9 and 10-19.
    static const TPalette& Default();
    // A 256-colour halftone palette: the default palette's entries 0-9 at 0-9, the 216-colour cube
    // (51-steps, red slowest) at 10-225, 20 greys at 226-245, the default's entries 10-19 at 246-255.
    static const TPalette& Halftone();
    // The 16 colours of a 4-bit display: black, the dark colours, grey, light grey, the bright ones.
    static const TPalette& Vga16();
    // Black and white.
    static const TPalette& Monochrome();

  private:
    std::vector<TPaletteEntry> Entries_;
};

using TPalettePtr = std::shared_ptr<TPalette>;

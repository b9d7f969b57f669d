#pragma once
// The two colour encodings of the editor as two small types, and the conversions between them.
//
// TSurfaceColor: 0xAARRGGBB as a TSurface32 stores it, alpha 0xFF for opaque pixels. The document's
// drawing, background and transparent colours are surface colours.
// TInterfaceColor: 0x00BBGGRR, or a system colour 0xFF0000nn. Colour swatches, the colour dialog, GIF
// colour tables and platform bitmaps speak it.
//
// Neither type converts to the other, or from a plain number, by itself: a value changes encoding
// only through ToSurfaceColor / ToInterfaceColor, and becomes a pixel value through `.Value`.

#include <cstdint>

struct TSurfaceColor {
    uint32_t Value = 0;
    constexpr TSurfaceColor() = default;
    constexpr explicit TSurfaceColor(uint32_t argb) : Value(argb) {}
    constexpr int Red() const { return int((Value >> 16) & 0xFFu); }
    constexpr int Green() const { return int((Value >> 8) & 0xFFu); }
    constexpr int Blue() const { return int(Value & 0xFFu); }
    friend constexpr bool operator==(TSurfaceColor a, TSurfaceColor b) { return a.Value == b.Value; }
    friend constexpr bool operator!=(TSurfaceColor a, TSurfaceColor b) { return a.Value != b.Value; }
};

struct TInterfaceColor {
    uint32_t Value = 0;
    constexpr TInterfaceColor() = default;
    constexpr explicit TInterfaceColor(uint32_t bgr) : Value(bgr) {}
    constexpr int Red() const { return int(Value & 0xFFu); }
    constexpr int Green() const { return int((Value >> 8) & 0xFFu); }
    constexpr int Blue() const { return int((Value >> 16) & 0xFFu); }
    friend constexpr bool operator==(TInterfaceColor a, TInterfaceColor b) { return a.Value == b.Value; }
    friend constexpr bool operator!=(TInterfaceColor a, TInterfaceColor b) { return a.Value != b.Value; }
};

// The low three bytes with red and blue exchanged, alpha dropped: the byte order change that both
// conversions make, for pixel data that is already known to be plain RGB.
constexpr uint32_t SwapRedBlue(uint32_t color) {
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// Resolves a system colour to its current RGB, swaps red and blue and makes the colour opaque.
TSurfaceColor ToSurfaceColor(TInterfaceColor color);

// Drops alpha and swaps red and blue.
constexpr TInterfaceColor ToInterfaceColor(TSurfaceColor color) {
    return TInterfaceColor(SwapRedBlue(color.Value));
}

// Editor defaults.
constexpr TSurfaceColor DefaultDrawColor{0xFF000000u};
constexpr TSurfaceColor DefaultBackColor{0xFFCCCCCCu};
constexpr TSurfaceColor DefaultTransparentColor{0xFFCCCCCCu};

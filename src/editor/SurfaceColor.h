#pragma once
// The two colour encodings of the editor and the conversions between them.
//
// Interface colour: 0x00BBGGRR, or a system colour 0xFF0000nn (colour swatches, colour dialogs, GIF
// colour tables, platform bitmaps). Surface colour: 0xAARRGGBB as a TSurface32 stores it, alpha 0xFF
// for opaque pixels.

#include <cstdint>

// Resolves a system colour to its current RGB, swaps red and blue and makes the colour opaque.
uint32_t ToSurfaceColor(uint32_t interfaceColor);

// Drops alpha and swaps red and blue.
constexpr uint32_t ToInterfaceColor(uint32_t surfaceColor) {
    return ((surfaceColor & 0xFFu) << 16) | (surfaceColor & 0xFF00u) | ((surfaceColor >> 16) & 0xFFu);
}

// Editor defaults (surface colours).
constexpr uint32_t DefaultDrawColor = 0xFF000000u;
constexpr uint32_t DefaultBackColor = 0xFFCCCCCCu;
constexpr uint32_t DefaultTransparentColor = 0xFFCCCCCCu;

#pragma once
// Whole-image commands on the 40 × 40 working picture: clearing and the bevelled border around the
// inner 32 × 32 icon area. (Flips are operations of the surface itself.)

#include "Surface32.h"

#include <cstdint>

constexpr uint32_t BorderWhite = 0xFFFFFFFFu;
constexpr uint32_t BorderDark = 0xFF336666u; // the interface colour 0x666633
constexpr uint32_t BorderGrey = 0xFFCCCCCCu; // the interface colour 0xCCCCCC

// Fills the 40 × 40 image area with the colour (clipped).
void ClearImage(TSurface32& surface, uint32_t backColor);

// Paints the 4-pixel border: a raised two-pixel ring (white at the top left, dark at the bottom
// right), a grey ring and a sunken ring (dark at the top left, white at the bottom right). The inner
// area 4..35 stays untouched.
void DrawBorder(TSurface32& surface);

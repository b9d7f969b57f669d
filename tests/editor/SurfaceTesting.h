#pragma once
// Small helpers shared by the editor tests.

#include "Surface32.h"

#include <set>
#include <utility>

using TCellSet = std::set<std::pair<int, int>>;

// Every (x, y) whose pixel equals color.
inline TCellSet PixelsOf(const TSurface32& s, uint32_t color) {
    TCellSet out;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.GetPixel(x, y) == color) out.insert({x, y});
    return out;
}

// Every (x, y) whose pixel differs from color.
inline TCellSet PixelsNot(const TSurface32& s, uint32_t color) {
    TCellSet out;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.GetPixel(x, y) != color) out.insert({x, y});
    return out;
}

inline TSurface32 FilledSurface(int w, int h, uint32_t color) {
    TSurface32 s(w, h);
    s.FillAll(color);
    return s;
}

// A surface whose every pixel is distinct (position encoded), for moves and copies.
inline TSurface32 NumberedSurface(int w, int h) {
    TSurface32 s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.SetPixel(x, y, 0xFF000000u | uint32_t(y) << 8 | uint32_t(x));
    return s;
}

constexpr uint32_t White = 0xFFFFFFFFu;
constexpr uint32_t Black = 0xFF000000u;

#pragma once
// Integer rectangle: Left and Top inside, Right and Bottom just outside.

#include <algorithm>

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int left, int top, int right, int bottom)
        : Left(left), Top(top), Right(right), Bottom(bottom) {}

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    TRect Intersect(const TRect& o) const {
        return TRect(std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
                     std::min(Bottom, o.Bottom));
    }
    constexpr bool operator==(const TRect& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
    constexpr bool operator!=(const TRect& o) const { return !(*this == o); }
};

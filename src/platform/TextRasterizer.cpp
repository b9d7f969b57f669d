#include "TextRasterizer.h"

#include <atomic>

namespace {
std::atomic<TTextRasterizer*> installedRasterizer{nullptr};

// Multiplies and divides with rounding to nearest, halves away from zero.
int MulDivRound(int a, int b, int c) {
    long long p = static_cast<long long>(a) * b;
    long long q = p >= 0 ? (p + c / 2) / c : (p - c / 2) / c;
    return static_cast<int>(q);
}
} // namespace

int TFontDescription::Size() const {
    return MulDivRound(Height, 72, ScreenDpi);
}

void TFontDescription::SetSize(int points) {
    Height = MulDivRound(points, ScreenDpi, 72);
}

void InstallTextRasterizer(TTextRasterizer* rasterizer) {
    installedRasterizer.store(rasterizer);
}

TTextRasterizer* InstalledTextRasterizer() {
    return installedRasterizer.load();
}

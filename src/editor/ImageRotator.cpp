#include "ImageRotator.h"

#include "SurfaceColor.h"
#include "SystemColors.h"

#include <cmath>

void TImageRotator::SetPicture(const TSurface32& picture) {
    FPicture.CopyFrom(picture);
    Rotate();
}

void TImageRotator::SetAngle(double degrees) {
    if (degrees == FAngle) return;
    FAngle = degrees;
    Rotate();
}

void TImageRotator::SetUniqueSize(bool on) {
    if (on == FUniqueSize) return;
    FUniqueSize = on;
    Rotate();
}

void TImageRotator::SetCenter(bool on) {
    if (on == FCenter) return;
    FCenter = on;
    Rotate();
}

void TImageRotator::SetFillColor(std::optional<uint32_t> surfaceColor) {
    FFillColor = surfaceColor;
}

uint32_t TImageRotator::FillColor() const {
    return FFillColor ? *FFillColor : ToSurfaceColor(TInterfaceColor(ButtonFaceColor())).Value;
}

namespace {

constexpr double Pi = 3.14159265358979323846;

int RoundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

void TImageRotator::Rotate() {
    const int W = FPicture.Width(), H = FPicture.Height();
    const uint32_t fill = FillColor();

    double theta = std::fmod(FAngle, 360.0);
    if (theta < 0) theta += 360.0;
    double c, s;
    bool cNegative, sNegative;
    // At right angles the zero sine or cosine takes the sign it has just past the angle, which
    // makes the turns exact.
    if (theta == 0) {
        c = 1, s = 0, cNegative = false, sNegative = false;
    } else if (theta == 90) {
        c = 0, s = 1, cNegative = true, sNegative = false;
    } else if (theta == 180) {
        c = -1, s = 0, cNegative = true, sNegative = true;
    } else if (theta == 270) {
        c = 0, s = -1, cNegative = false, sNegative = true;
    } else {
        const double r = theta * Pi / 180.0;
        c = std::cos(r), s = std::sin(r);
        cNegative = c < 0, sNegative = s < 0;
    }

    int w, h;
    if (cNegative == sNegative) { // c × s >= 0
        w = RoundEven(std::fabs(W * c + H * s));
        h = RoundEven(std::fabs(W * s + H * c));
    } else {
        w = RoundEven(std::fabs(W * c - H * s));
        h = RoundEven(std::fabs(W * s - H * c));
    }
    TSurface32 rotated(w, h);
    rotated.FillAll(fill);
    const int cxR = w / 2, cyR = h / 2;
    const int cxS = W / 2 - (cNegative ? 1 : 0), cyS = H / 2 - (sNegative ? 1 : 0);
    for (int y = 0; y < h; ++y) {
        uint32_t* row = rotated.ScanLine(y);
        const int dy = y - cyR;
        for (int x = 0; x < w; ++x) {
            const int dx = x - cxR;
            const int sx = cxS + RoundEven(c * dx - s * dy);
            const int sy = cyS + RoundEven(s * dx + c * dy);
            if (sx >= 0 && sx < W && sy >= 0 && sy < H) row[x] = FPicture.GetPixel(sx, sy);
        }
    }

    if (!FUniqueSize) {
        FRotated = std::move(rotated);
        return;
    }
    const int side = RoundEven(std::sqrt(double(W + 2) * (W + 2) + double(H + 2) * (H + 2)));
    FRotated.SetSize(side, side);
    FRotated.FillAll(fill);
    if (FCenter)
        rotated.DrawTo(FRotated, (side - w) / 2, (side - h) / 2);
    else
        rotated.DrawTo(FRotated, 0, 0);
}

void ShowRotation(TSurface32& preview, const TImageRotator& rotator) {
    preview.FillAll(0xFF000000u);
    const TSurface32& r = rotator.Rotated();
    rotator.Rotated().DrawTo(preview, (preview.Width() - r.Width()) / 2, (preview.Height() - r.Height()) / 2);
}

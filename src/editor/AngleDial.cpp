#include "AngleDial.h"

#include <cmath>

namespace {
constexpr double Pi = 3.14159265358979323846;
}

void TAngleDial::SetAngle(int value) {
    const int angle = ((value % 360) + 360) % 360;
    if (angle == FAngle) return;
    FAngle = angle;
    if (OnAngleChange) OnAngleChange();
}

std::optional<int> TAngleDial::PointerAngle(int x, int y) {
    if (x == Centre) return std::nullopt;
    int a = static_cast<int>(std::trunc(std::atan2(double(y - Centre), double(x - Centre)) * 180.0 / Pi));
    if (a < 0) a += 360;
    return (360 - a) % 360;
}

void TAngleDial::Drag(int x, int y) {
    if (const auto a = PointerAngle(x, y)) SetAngle(*a);
}

void TAngleDial::ShiftPress(int x, int y, int step) {
    const auto a = PointerAngle(x, y);
    if (!a || step <= 0) return;
    SetAngle((*a + step) / step * step);
}

TScreenPoint TAngleDial::Marker() const {
    const double t = FAngle * Pi / 180.0;
    return {Centre + static_cast<int>(std::trunc(std::cos(t) * MarkerRadius)),
            Centre + static_cast<int>(std::trunc(-std::sin(t) * MarkerRadius))};
}

#pragma once
// TAngleDial: the round angle control of the rotation dialog without its widget. Whole degrees
// 0..359, 0 pointing right and counting counter-clockwise (90 up); screen y grows downwards.

#include "DrawingTools.h"

#include <functional>
#include <optional>

class TAngleDial {
  public:
    static constexpr int Centre = 72;       // of the 145 × 145 control
    static constexpr int MarkerRadius = 66; // distance of the marker from the centre
    static constexpr int MarkerSize = 4;    // radius of the filled marker circle

    int Angle() const { return FAngle; }
    // Stores value mod 360; raises OnAngleChange when the stored angle differs from the old one.
    void SetAngle(int value);

    // The angle pointed at from the centre: (360 - a) mod 360 with a the screen angle in whole
    // degrees (truncated, made non-negative); nothing on the vertical line through the centre.
    static std::optional<int> PointerAngle(int x, int y);
    // A drag step: the angle follows the pointer (kept on the vertical centre line).
    void Drag(int x, int y);
    // Shift + press: ((pointer angle + step) div step) × step.
    void ShiftPress(int x, int y, int step = 1);

    // Centre of the marker for the current angle.
    TScreenPoint Marker() const;

    std::function<void()> OnAngleChange;

  private:
    int FAngle = 0;
};

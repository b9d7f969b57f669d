#pragma once
// TImageRotator: turns a picture by an angle with nearest-neighbour sampling, for the rotation
// dialog and its live preview.
//
// A positive angle turns the picture counter-clockwise on screen. Right angles turn exactly (no
// pixel is lost or doubled); at other angles the parts of the result that no source pixel reaches
// show the fill colour, which is the button-face colour read at the moment of rotating unless a
// fixed one is set.

#include "Surface32.h"

#include <cstdint>
#include <optional>

class TImageRotator {
  public:
    // Takes a copy of the picture and rotates it again.
    void SetPicture(const TSurface32& picture);
    const TSurface32& Picture() const { return FPicture; }

    // Angle in degrees; rotates again when it changed.
    void SetAngle(double degrees);
    double Angle() const { return FAngle; }

    // UniqueSize: the result is a square of side round(√((W + 2)² + (H + 2)²)), whatever the angle,
    // with the rotated picture centred on it (or at its top-left corner without Center).
    void SetUniqueSize(bool on);
    void SetCenter(bool on);
    bool UniqueSize() const { return FUniqueSize; }
    bool Center() const { return FCenter; }

    // Fill colour (surface pixel value); unset means the button face colour, read at each rotation.
    void SetFillColor(std::optional<uint32_t> surfaceColor);
    uint32_t FillColor() const;

    // Rotates the picture now by the current angle.
    void Rotate();
    const TSurface32& Rotated() const { return FRotated; }

  private:
    TSurface32 FPicture;
    TSurface32 FRotated;
    double FAngle = 0;
    bool FUniqueSize = true;
    bool FCenter = true;
    std::optional<uint32_t> FFillColor;
};

// The preview of the rotation dialog: black, with the rotator's result drawn centred on it
// (corner ((preview size - side) div 2), which is (-9, -9) for a 40 × 40 picture).
void ShowRotation(TSurface32& preview, const TImageRotator& rotator);

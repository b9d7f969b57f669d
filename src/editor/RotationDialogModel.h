#pragma once
// TRotationDialogModel: the state of the rotation dialog without its widgets. The spin box, the
// dial and the three quick-angle buttons keep one angle in step; every change shows the picture
// turned by it in the preview, and OK is enabled only for an angle other than 0.

#include "AngleDial.h"
#include "ImageRotator.h"
#include "Surface32.h"

class TRotationDialogModel {
  public:
    TRotationDialogModel();
    TRotationDialogModel(const TRotationDialogModel&) = delete;
    TRotationDialogModel& operator=(const TRotationDialogModel&) = delete;

    // Before showing: the picture to turn (the preview starts as a copy of it).
    void SetPicture(const TSurface32& picture);
    // On every activation: angle 0 everywhere, "other" checked, OK disabled, preview shown.
    void Activate();
    // The spin box changed: 360 and above wrap to 0, below 0 to 359.
    void SpinChanged(int value);
    // One of the quick-angle buttons (90, 180 or 270) was clicked.
    void QuickAngleClicked(int angle);
    // The dial, for pointer drags and shift-presses; its changes are followed here.
    TAngleDial& Dial() { return FDial; }

    int Rotation() const { return FRotation; }
    int SpinValue() const { return FSpinValue; }
    // 90, 180 or 270 for the checked quick-angle button; 0 when "other" is checked.
    int CheckedQuickAngle() const { return FChecked; }
    bool OkEnabled() const { return FOkEnabled; }
    // The 40 × 40 preview; after OK it becomes the new picture.
    const TSurface32& Preview() const { return FPreview; }
    const TImageRotator& Rotator() const { return FRotator; }

  private:
    void DialChanged();
    void CheckQuickAngle();
    void ShowRotation();

    TAngleDial FDial;
    TImageRotator FRotator;
    TSurface32 FPreview;
    int FRotation = 0;
    int FSpinValue = 0;
    int FChecked = 0;
    bool FOkEnabled = false;
};

#include "RotationDialogModel.h"

TRotationDialogModel::TRotationDialogModel() {
    FRotator.SetUniqueSize(true);
    FRotator.SetCenter(true);
    FDial.OnAngleChange = [this] { DialChanged(); };
}

void TRotationDialogModel::SetPicture(const TSurface32& picture) {
    FRotator.SetPicture(picture);
    FPreview.CopyFrom(picture);
}

void TRotationDialogModel::Activate() {
    FRotation = 0;
    FDial.OnAngleChange = nullptr; // a reset, not a user's change
    FDial.SetAngle(0);
    FDial.OnAngleChange = [this] { DialChanged(); };
    FSpinValue = 0;
    FChecked = 0;
    FOkEnabled = false;
    ShowRotation();
}

void TRotationDialogModel::SpinChanged(int value) {
    if (value >= 360)
        value = 0;
    else if (value < 0)
        value = 359;
    FSpinValue = value;
    FDial.SetAngle(value); // reports a change through DialChanged
    CheckQuickAngle();
    FRotation = FDial.Angle();
    ShowRotation();
}

void TRotationDialogModel::QuickAngleClicked(int angle) {
    FSpinValue = angle;
    FDial.SetAngle(FSpinValue);
    FChecked = angle;
    FOkEnabled = FDial.Angle() != 0;
    FRotation = FDial.Angle();
    ShowRotation();
}

void TRotationDialogModel::DialChanged() {
    CheckQuickAngle();
    FSpinValue = FDial.Angle();
    FOkEnabled = FDial.Angle() != 0;
    FRotation = FDial.Angle();
    ShowRotation();
}

void TRotationDialogModel::CheckQuickAngle() {
    const int a = FDial.Angle();
    FChecked = (a == 90 || a == 180 || a == 270) ? a : 0;
}

void TRotationDialogModel::ShowRotation() {
    if (FPreview.Empty()) return;
    FRotator.SetAngle(FRotation);
    ::ShowRotation(FPreview, FRotator);
}

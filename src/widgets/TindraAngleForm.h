#pragma once
// Rotation dialog: angle dial, spin box, quick angles and a preview of the rotated frame.
//
// The angle is kept by a TRotationDialogModel; the controls show its state after every change.
// The caller gives the picture with SetPicture before showing the dialog and, after OK, takes the
// turned 40 × 40 picture from Preview().

#include "RotationDialogModel.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TAngleDialWidget;

class TTindraAngleForm : public QDialog {
    Q_OBJECT
  public:
    explicit TTindraAngleForm(QWidget* parent = nullptr);

    void SetPicture(const TSurface32& picture);
    const TSurface32& Preview() const { return Model.Preview(); }
    int Rotation() const { return Model.Rotation(); }
    TRotationDialogModel& RotationModel() { return Model; }

    TAngleDialWidget* ASAngle;
    QSpinBox* SEAngle;
    QGroupBox* RBAngle;
    QRadioButton *RB090, *RB180, *RB270, *RBother;
    QLabel* SImage;
    QCheckBox* CBFrameDraw;
    QPushButton *OKButton, *CancelButton;

    // Activation: angle 0 everywhere, "other" checked, OK disabled, the picture unturned.
    void FormActivate();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void SEAngleChange(int value);
    void ASAngleAngleChange();
    void RBClick(int angle);
    // Shows the model's state in the controls.
    void ShowState();

    TRotationDialogModel Model;
};

#pragma once
// Rotation dialog: angle dial, spin box, quick angles and a preview of the rotated frame.

#include <QDialog>

class TTindraAngleForm : public QDialog {
    Q_OBJECT
  public:
    explicit TTindraAngleForm(QWidget* parent = nullptr);
};

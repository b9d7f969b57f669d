#pragma once
// GIF attributes window: headers and extensions of a GIF file; keeps its designed place.

#include <QDialog>

class TTindraInfoForm : public QDialog {
    Q_OBJECT
  public:
    explicit TTindraInfoForm(QWidget* parent = nullptr);
};

#pragma once
// Move-frame dialog: a slider choosing the new position of the current frame.

#include <QDialog>

class TTindraMFrameForm : public QDialog {
    Q_OBJECT
  public:
    explicit TTindraMFrameForm(QWidget* parent = nullptr);
};

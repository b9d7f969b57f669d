#pragma once
// Insert-frame dialog: where the new frame goes, where it comes from, its display time.

#include <QDialog>

class TTindraIframeForm : public QDialog {
    Q_OBJECT
  public:
    explicit TTindraIframeForm(QWidget* parent = nullptr);
};

#pragma once
// About dialog: program name, version, author and credit lines (created once, shown modally).

#include <QDialog>

class TTindraAboutForm : public QDialog {
    Q_OBJECT
  public:
    explicit TTindraAboutForm(QWidget* parent = nullptr);
};

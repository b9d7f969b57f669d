#pragma once
// Language dialog: a Czech and an English flag button; the English one ends it with OK.

#include <QDialog>

class TTindraLangForm : public QDialog {
    Q_OBJECT
  public:
    explicit TTindraLangForm(QWidget* parent = nullptr);
};

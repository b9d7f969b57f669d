#pragma once
// Reduce-colours dialog: the number of colours (2..256) and the ditherer. Every change is reported
// (Changed), so that the window can show the result on the canvas before the user says OK.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TTindraReduceForm : public QDialog {
    Q_OBJECT
  public:
    explicit TTindraReduceForm(QWidget* parent = nullptr);

    int Colors() const;
    int DitherMethod() const;
    // The ditherers' names in the interface language, in the order of their numbers (0 = none).
    void SetDitherNames(const QStringList& names);

    QLabel *STColors, *STDither;
    QSpinBox* SEColors;
    QComboBox* CBDither;
    QPushButton *OKButton, *CancelButton;

  signals:
    void Changed(int colors, int ditherMethod);
};

#pragma once
// Move-frame dialog: a slider choosing the new position of the current frame. The slider never
// rests on the current position: landing there moves it one step on (or back from the last one).

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;

class TTindraMFrameForm : public QDialog {
    Q_OBJECT
  public:
    explicit TTindraMFrameForm(QWidget* parent = nullptr);

    // Before showing: the current frame (0-based) and the number of frames.
    void SetFrames(int currentFrame, int frameCount);
    // The chosen position (0-based).
    int Target() const;

    QLabel *STMoveFrame, *LBCurrentFrame, *STPosition;
    QSlider* JTNewPosition;
    QPushButton *OKButton, *CancelButton;

  private:
    void JTNewPositionChange(int value);

    int CurrentFrame = 0;
};

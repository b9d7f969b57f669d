#pragma once
// The round angle control of the rotation dialog: a face with four ticks and a marker at the angle.
// Dragging the marker turns it, Shift + press anywhere sets the pointed angle + 1; while dragging a
// hint beside the pointer shows the angle.

#include "AngleDial.h"

#include <QWidget>

class QLabel;

class TAngleDialWidget : public QWidget {
    Q_OBJECT
  public:
    static constexpr int Side = 145;
    static constexpr int TickLength = 55;
    static constexpr int AngleStep = 1;

    // The dial state lives in the caller's model; the widget only reads and drives it.
    explicit TAngleDialWidget(TAngleDial& dial, QWidget* parent = nullptr);

    bool Dragging() const { return FDragging; }
    // The drag hint (hidden while no drag runs).
    QLabel* Hint() const { return FHint; }

  signals:
    // The pointer turned the dial (the model has been told already).
    void Turned();

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool OnMarker(const QPoint& p) const;
    void ShowHint(const QPoint& p);

    TAngleDial& FDial;
    bool FDragging = false;
    QLabel* FHint = nullptr;
};

#include "AngleDialWidget.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

TAngleDialWidget::TAngleDialWidget(TAngleDial& dial, QWidget* parent) : QWidget(parent), FDial(dial) {
    setObjectName("ASAngle");
    setFixedSize(Side, Side);
    // The hint floats over the dialog, so it can stand beside the pointer outside the dial.
    FHint = new QLabel(parent ? parent : this);
    FHint->setObjectName("ASAngleHint");
    FHint->setFrameShape(QFrame::Box);
    FHint->setAutoFillBackground(true);
    FHint->hide();
}

void TAngleDialWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(palette().color(QPalette::WindowText));
    p.setBrush(palette().color(QPalette::Base));
    p.drawEllipse(0, 0, Side - 1, Side - 1);
    const int c = TAngleDial::Centre;
    p.drawLine(c, 0, c, TickLength);
    p.drawLine(c, Side - 1, c, Side - 1 - TickLength);
    p.drawLine(0, c, TickLength, c);
    p.drawLine(Side - 1, c, Side - 1 - TickLength, c);
    const TScreenPoint m = FDial.Marker();
    const int r = TAngleDial::MarkerSize;
    p.setBrush(palette().color(QPalette::Highlight));
    p.drawEllipse(QPoint(m.X, m.Y), r, r);
}

bool TAngleDialWidget::OnMarker(const QPoint& p) const {
    const TScreenPoint m = FDial.Marker();
    const int dx = p.x() - m.X, dy = p.y() - m.Y;
    const int r = TAngleDial::MarkerSize + 1;
    return dx * dx + dy * dy <= r * r;
}

void TAngleDialWidget::ShowHint(const QPoint& p) {
    FHint->setText(QString::number(FDial.Angle()) + QChar(0x00B0));
    FHint->adjustSize();
    const QPoint at = mapTo(FHint->parentWidget(), p) + QPoint(20, 20);
    FHint->move(at);
    FHint->show();
    FHint->raise();
}

void TAngleDialWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint p = e->position().toPoint();
    if (e->modifiers() & Qt::ShiftModifier) {
        FDial.ShiftPress(p.x(), p.y(), AngleStep);
        update();
        emit Turned();
        return;
    }
    if (OnMarker(p)) {
        FDragging = true;
        ShowHint(p);
    }
}

void TAngleDialWidget::mouseMoveEvent(QMouseEvent* e) {
    if (!FDragging) return;
    const QPoint p = e->position().toPoint();
    FDial.Drag(p.x(), p.y());
    ShowHint(p);
    update();
    emit Turned();
}

void TAngleDialWidget::mouseReleaseEvent(QMouseEvent*) {
    if (!FDragging) return;
    FDragging = false;
    FHint->hide();
}

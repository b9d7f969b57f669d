#include "ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

TColorSwatch::TColorSwatch(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFixedSize(16, 16);
}

void TColorSwatch::SetColor(uint32_t interfaceColor) {
    ColorValue = interfaceColor & 0xFFFFFFu;
    update();
}

void TColorSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(ColorValue & 0xFF, (ColorValue >> 8) & 0xFF, (ColorValue >> 16) & 0xFF));
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TColorSwatch::mousePressEvent(QMouseEvent* event) { emit Pressed(event->button(), event->modifiers()); }

void TColorSwatch::mouseMoveEvent(QMouseEvent*) { emit Hovered(); }

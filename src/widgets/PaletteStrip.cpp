#include "PaletteStrip.h"

#include "QtColor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

TPaletteStrip::TPaletteStrip(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName("GColorPalette");
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Button);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setSingleStep(Pitch);
    UpdateScrollRange();
}

void TPaletteStrip::SetSource(std::function<std::vector<TInterfaceColor>()> source) {
    Source = std::move(source);
    viewport()->update();
}

void TPaletteStrip::UpdateScrollRange() {
    const int full = CellCount * Pitch - 1;
    horizontalScrollBar()->setRange(0, std::max(0, full - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void TPaletteStrip::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

int TPaletteStrip::CellAt(QPoint pos) const {
    const int x = pos.x() + horizontalScrollBar()->value();
    if (x < 0 || pos.y() < 0 || pos.y() >= CellSize) return -1;
    const int c = x / Pitch;
    return c < CellCount ? c : -1;
}

void TPaletteStrip::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const int offset = horizontalScrollBar()->value();
    const QColor line = palette().color(QPalette::Dark);
    const std::vector<TInterfaceColor> colors = Colors();
    const int first = offset / Pitch;
    const int last = std::min(CellCount - 1, (offset + viewport()->width()) / Pitch);
    for (int c = first; c <= last; ++c) {
        const int x = c * Pitch - offset;
        if (c < int(colors.size())) p.fillRect(x, 0, CellSize, CellSize, ToQColor(colors[c]));
        p.fillRect(x + CellSize, 0, 1, CellSize, line);
    }
}

void TPaletteStrip::mousePressEvent(QMouseEvent* event) {
    const int c = CellAt(event->position().toPoint());
    if (c >= 0) emit CellPressed(c, event->button(), event->modifiers());
}

void TPaletteStrip::mouseMoveEvent(QMouseEvent* event) {
    emit CellHovered(CellAt(event->position().toPoint()));
}

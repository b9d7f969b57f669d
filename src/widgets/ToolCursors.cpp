#include "ToolCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace {

// Short sign of each tool, drawn beside the cross-hair; index = tool number.
constexpr std::array<const char*, 17> Marks = {"",   "M", "S",  "D", "P",  "B", "F",  "/", "R",
                                               "Rf", "Q", "Qf", "E", "Ef", "C", "Cf", "T"};

QPixmap Draw(int x, int y, const char* mark) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    // A small cross-hair, white on black so it shows on any colour, centred on the hot spot.
    p.setPen(Qt::black);
    p.drawRect(x - 5, y - 1, 10, 2);
    p.drawRect(x - 1, y - 5, 2, 10);
    p.setPen(Qt::white);
    p.drawLine(x - 4, y, x + 4, y);
    p.drawLine(x, y - 4, x, y + 4);
    // The tool's sign, outlined, in the quarter away from the hot spot.
    QFont f;
    f.setPixelSize(10);
    f.setBold(true);
    QPainterPath text;
    const int tx = x + 6 < 22 ? x + 6 : x - 16;
    const int ty = y - 3 > 10 ? y - 3 : y + 14;
    text.addText(tx, ty, f, QString::fromLatin1(mark));
    p.setPen(QPen(Qt::white, 2));
    p.drawPath(text);
    p.fillPath(text, Qt::black);
    return pm;
}

} // namespace

QCursor ToolCursor(TTool tool) {
    if (tool == ToolNone || tool > ToolText) tool = ToolMover;
    const TScreenPoint hot = ToolCursorHotSpot(tool);
    return QCursor(Draw(hot.X, hot.Y, Marks[tool]), hot.X, hot.Y);
}

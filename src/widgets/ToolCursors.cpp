#include "ToolCursors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

#include <array>

namespace {

// Short sign of each tool, drawn beside the cross-hair; index = tool number.
constexpr std::array<const char*, 17> Marks = {"",   "M", "S",  "D", "P",  "B", "F",  "/", "R",
                                               "Rf", "Q", "Qf", "E", "Ef", "C", "Cf", "T"};

constexpr int Side = 32; // logical pixels

// The device pixel that covers the middle of logical pixel `logical`.
int HotSpotPixel(int logical, qreal ratio) {
    return qFloor((logical + 0.5) * ratio);
}

// The picture in device pixels: (x, y) is the hot spot in logical pixels.
QPixmap Draw(int x, int y, const char* mark, qreal ratio) {
    const int side = qRound(Side * ratio);
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    // A small cross-hair, white on black so it shows on any colour, centred on the hot spot: arms of
    // 4 logical pixels, lines and outline one logical pixel thick, each a whole number of device pixels.
    const int hx = HotSpotPixel(x, ratio), hy = HotSpotPixel(y, ratio);
    const int arm = qRound(4 * ratio), line = std::max(1, qRound(ratio));
    const int from = -(line - 1) / 2; // the line covers from .. from + line - 1 around the centre
    auto cross = [&](int grow, const QColor& color) {
        p.fillRect(hx - arm - grow, hy + from - grow, 2 * arm + 1 + 2 * grow, line + 2 * grow, color);
        p.fillRect(hx + from - grow, hy - arm - grow, line + 2 * grow, 2 * arm + 1 + 2 * grow, color);
    };
    cross(line, Qt::black);
    cross(0, Qt::white);
    // The tool's sign, outlined, in the quarter away from the hot spot; drawn without antialiasing,
    // so its pixels are black, white or untouched.
    QFont f;
    f.setPixelSize(qRound(10 * ratio));
    f.setBold(true);
    QPainterPath text;
    const int tx = x + 6 < 22 ? x + 6 : x - 16;
    const int ty = y - 3 > 10 ? y - 3 : y + 14;
    text.addText(qRound(tx * ratio), qRound(ty * ratio), f, QString::fromLatin1(mark));
    p.setPen(QPen(Qt::white, 2 * line));
    p.drawPath(text);
    p.fillPath(text, Qt::black);
    p.end();
    pm.setDevicePixelRatio(ratio);
    return pm;
}

} // namespace

THotSpotUnit PlatformHotSpotUnit() {
    return QGuiApplication::platformName() == QLatin1String("xcb") ? THotSpotUnit::Device
                                                                   : THotSpotUnit::Logical;
}

QCursor ToolCursor(TTool tool, qreal ratio, THotSpotUnit unit) {
    if (tool == ToolNone || tool > ToolText) tool = ToolMover;
    if (!(ratio > 0)) ratio = 1.0;
    const TScreenPoint hot = ToolCursorHotSpot(tool);
    const QPixmap picture = Draw(hot.X, hot.Y, Marks[tool], ratio);
    if (unit == THotSpotUnit::Device)
        return QCursor(picture, HotSpotPixel(hot.X, ratio), HotSpotPixel(hot.Y, ratio));
    return QCursor(picture, hot.X, hot.Y);
}

#pragma once
// Interface colours (0x00BBGGRR) as the toolkit's colours, for swatches and colour dialogs.

#include "SurfaceColor.h"

#include <QColor>
#include <QString>

inline QColor ToQColor(TInterfaceColor color) {
    return QColor(color.Red(), color.Green(), color.Blue());
}

inline TInterfaceColor ToInterfaceColor(const QColor& color) {
    return TInterfaceColor(uint32_t(color.red()) | uint32_t(color.green()) << 8 |
                           uint32_t(color.blue()) << 16);
}

// The style sheet that paints a swatch in the colour.
inline QString SwatchStyle(TInterfaceColor color) {
    return QString("background-color: %1;").arg(ToQColor(color).name());
}

#pragma once
// The canvas cursors of the drawing tools: 32 x 32 pictures (in logical pixels) drawn here, with the
// hot spots the drawing tools define.

#include <QCursor>

#include "DrawingTools.h"

// How the platform reads a cursor's hot spot: in logical pixels (Qt's rule, scaled by the platform
// with the pixmap), or in the pixmap's device pixels (the X11 plugin hands the hot spot to the X
// server as it is, while it keeps the pixmap at its device size).
enum class THotSpotUnit { Logical, Device };

// The unit this program's platform plugin needs.
THotSpotUnit PlatformHotSpotUnit();

// Cursor of a tool for a screen of device-pixel ratio `ratio`; ToolNone shows the mover's cursor. The
// picture is drawn in device pixels (round(32 × ratio) square, only opaque black and white and fully
// transparent pixels), so it is crisp at any ratio and as large as 32 logical pixels; the cross-hair's
// centre lies on the hot spot (the device pixel under the tool's logical hot spot).
QCursor ToolCursor(TTool tool, qreal ratio = 1.0, THotSpotUnit unit = THotSpotUnit::Logical);

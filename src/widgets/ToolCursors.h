#pragma once
// The canvas cursors of the drawing tools: 32 x 32 pictures drawn here, with the hot spots the
// drawing tools define.

#include <QCursor>

#include "DrawingTools.h"

// Cursor of a tool; ToolNone shows the mover's cursor.
QCursor ToolCursor(TTool tool);

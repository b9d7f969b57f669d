#pragma once
// Where the main window goes at start-up: the stored placement, kept on the screens.
//
// A placement is the frame's top-left corner (Left, Top) and the client area's size (Width, Height),
// as the window reports them when it closes. Stored values may be anything (another program, an old
// screen layout, a hand-edited file), so they are fitted to the available areas of the screens: a
// window that lies wholly within one screen's area stays exactly where it was; any other is first made
// no larger than the area of the screen it overlaps most (the nearest screen when it overlaps none),
// then moved the least distance to lie wholly within it. Nothing is ever made smaller than the
// window's minimum size.

#include "SettingsStore.h"

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>

namespace tindra {

class TWindowPlacement {
  public:
    // Without any screen the placement is only kept within these bounds.
    static constexpr int MaxSideWithoutScreens = 4096;
    static constexpr int MaxCoordinateWithoutScreens = 32767;

    // `frame` is the window manager's frame around the client area (zero when not known yet);
    // `areas` are the screens' available areas. Language is passed through.
    static TWindowSettings Fit(const TWindowSettings& stored, const QMargins& frame, QSize minimum,
                               const QList<QRect>& areas);
};

} // namespace tindra

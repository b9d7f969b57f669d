#pragma once
// System colours from the Qt application palette, read each time they are asked for (so a palette
// or style change shows at the next use).

#include "SystemColors.h"

class TQtSystemColors : public TSystemColors {
  public:
    uint32_t SystemColor(int index) const override;

    // Installs one application-wide instance for the core's ButtonFaceColor and ToSurfaceColor.
    static void Install();
};

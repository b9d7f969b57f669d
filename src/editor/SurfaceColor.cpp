#include "SurfaceColor.h"

#include "SystemColors.h"

TSurfaceColor ToSurfaceColor(TInterfaceColor color) {
    uint32_t rgb = color.Value;
    if (IsSystemColor(rgb)) rgb = SystemColorValue(static_cast<int>(rgb & 0xFFu));
    return TSurfaceColor(0xFF000000u | SwapRedBlue(rgb));
}

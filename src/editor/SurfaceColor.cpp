#include "SurfaceColor.h"

#include "SystemColors.h"

uint32_t ToSurfaceColor(uint32_t interfaceColor) {
    if (IsSystemColor(interfaceColor))
        interfaceColor = SystemColorValue(static_cast<int>(interfaceColor & 0xFFu));
    return 0xFF000000u | ToInterfaceColor(interfaceColor);
}

#pragma once
// The platform's system colours (button face, window background, ...), read at the moment of use.
//
// A system colour is written in interface encoding as 0xFF0000nn, nn being the colour's index; the
// toolkit layer installs a provider that knows the current RGB of each index. Without a provider the
// classic neutral desktop colours are used, so the core works and tests run headless.

#include <cstdint>

// Interface colour that refers to a system colour: 0xFF0000nn.
constexpr uint32_t SystemColorFlag = 0xFF000000u;
constexpr int ButtonFaceIndex = 0x0F;
constexpr uint32_t clBtnFace = SystemColorFlag | ButtonFaceIndex;

constexpr bool IsSystemColor(uint32_t interfaceColor) {
    return (interfaceColor & 0xFFFFFF00u) == SystemColorFlag;
}

class TSystemColors {
  public:
    virtual ~TSystemColors() = default;
    // Current colour of system colour index nn as 0x00BBGGRR.
    virtual uint32_t SystemColor(int index) const = 0;
};

// Installs the provider (not owned; it must outlive its use). nullptr restores the built-in colours.
void InstallSystemColors(const TSystemColors* provider);

// Current 0x00BBGGRR of a system colour index; 0 for an index nobody knows.
uint32_t SystemColorValue(int index);

// The built-in neutral colour of an index (what is used without a provider); providers may fall back
// to it for indexes their toolkit has no role for.
uint32_t BuiltInSystemColor(int index);

// The face colour of buttons and dialogs as 0x00BBGGRR, read now (never cached by callers).
inline uint32_t ButtonFaceColor() {
    return SystemColorValue(ButtonFaceIndex);
}

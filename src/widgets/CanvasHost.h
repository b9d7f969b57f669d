#pragma once
// What the canvas needs from the window that owns it: the picture being edited, the colours,
// the undo and commit steps, and the places where pointer feedback is shown.

#include <QString>
#include <QtCore/qnamespace.h>

#include <cstdint>
#include <optional>

class TSurface32;

class TCanvasHost {
  public:
    virtual ~TCanvasHost() = default;

    virtual bool ImageLoaded() const = 0;
    // 40, or 32 when the border ring will not be saved (the canvas crosses it out).
    virtual int OutputSize() const = 0;
    virtual TSurface32& WorkBitmap() = 0;

    // Surface colours (0xAARRGGBB).
    virtual uint32_t DrawColor() const = 0;
    virtual uint32_t BackColor() const = 0;

    // Interface colours (0x00BBGGRR); used by the dropper, never with the colour dialog.
    virtual void SetDrawColor(uint32_t color) = 0;
    virtual void SetBackColor(uint32_t color) = 0;
    virtual void SetTransparentColor(uint32_t color) = 0;

    // Snapshot before a change, write back after it.
    virtual void PushUndo() = 0;
    virtual void CommitFrame() = 0;

    // Status-bar feedback: the pixel text and the swatch (none = the button face colour).
    virtual void ShowPointerInfo(const QString& text, std::optional<uint32_t> interfaceColor) = 0;

    // The text tool's release on a cell; left to the window.
    virtual void TextToolRelease(int /*col*/, int /*row*/, Qt::MouseButton /*button*/) {}
};

#pragma once
// TSurfaceView: the headless half of the canvas control, a back buffer that follows the control's
// size with 40 pixels to spare and a flag telling whether its content is still valid.
//
// The toolkit widget forwards its size and paint requests here and copies the buffer's top-left
// area of its own size to the screen. The view never clears the buffer by itself: the OnPaintBuffer
// handler paints every pixel that is to be seen.

#include "Surface32.h"

#include <functional>

class TSurfaceView {
  public:
    static constexpr int Oversize = 40;

    TSurfaceView() = default;
    TSurfaceView(const TSurfaceView&) = delete;
    TSurfaceView& operator=(const TSurfaceView&) = delete;

    // The control now has this size. Grows the buffer to size + 40 when the control outgrows it,
    // shrinks it to the control's size when the control is more than 40 smaller, never below 1.
    // A changed buffer is cleared to 0x00000000 and marked invalid.
    void SetControlSize(int width, int height);
    int ControlWidth() const { return FControlWidth; }
    int ControlHeight() const { return FControlHeight; }

    TSurface32& Buffer() { return FBuffer; }
    const TSurface32& Buffer() const { return FBuffer; }
    bool BufferValid() const { return FBufferValid; }
    void Invalidate() { FBufferValid = false; }

    // Marks the buffer invalid and paints it again now.
    void Repaint();
    // When the buffer is invalid, raises OnPaintBuffer with this view as sender and marks it valid.
    // Returns the buffer, whose top-left control-sized area is what the screen shows.
    const TSurface32& Paint();

    std::function<void(TSurfaceView& sender)> OnPaintBuffer;

  private:
    static int FollowSize(int control, int buffer);

    TSurface32 FBuffer;
    bool FBufferValid = false;
    int FControlWidth = 0;
    int FControlHeight = 0;
};

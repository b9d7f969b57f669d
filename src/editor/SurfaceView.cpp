#include "SurfaceView.h"

#include <algorithm>

int TSurfaceView::FollowSize(int control, int buffer) {
    int size = buffer;
    if (control > buffer)
        size = control + Oversize;
    else if (control < buffer - Oversize)
        size = control;
    return std::max(size, 1);
}

void TSurfaceView::SetControlSize(int width, int height) {
    FControlWidth = std::max(width, 0);
    FControlHeight = std::max(height, 0);
    const int w = FollowSize(FControlWidth, FBuffer.Width());
    const int h = FollowSize(FControlHeight, FBuffer.Height());
    if (w == FBuffer.Width() && h == FBuffer.Height()) return;
    FBuffer.SetSize(w, h); // new storage is cleared to 0x00000000
    FBufferValid = false;
}

void TSurfaceView::Repaint() {
    FBufferValid = false;
    Paint();
}

const TSurface32& TSurfaceView::Paint() {
    if (!FBufferValid) {
        if (OnPaintBuffer) OnPaintBuffer(*this);
        FBufferValid = true;
    }
    return FBuffer;
}

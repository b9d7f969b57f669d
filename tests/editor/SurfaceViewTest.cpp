#include "SurfaceView.h"

#include <gtest/gtest.h>

TEST(SurfaceView, BufferFollowsTheControlWithFortyPixelsToSpare) {
    TSurfaceView view;
    struct Step {
        int controlW, controlH, bufferW, bufferH;
        bool reallocated;
    } steps[] = {
        {321, 321, 361, 361, true},                              // grows: control + 40
        {350, 330, 361, 361, false},                             // still fits
        {361, 361, 361, 361, false}, {362, 340, 402, 361, true}, // wider only
        {362, 361, 402, 361, false},                             // within 40 of the buffer
        {380, 320, 402, 320, true}, // more than 40 lower: exactly the control's height
        {300, 320, 300, 320, true}, // more than 40 narrower: exactly the control's width
        {0, 0, 1, 1, true},         // never below 1
        {0, 0, 1, 1, false},
    };
    for (const Step& s : steps) {
        view.Paint(); // valid before the resize
        view.Buffer().FillAll(0xFF123456);
        view.SetControlSize(s.controlW, s.controlH);
        EXPECT_EQ(view.Buffer().Width(), s.bufferW) << s.controlW << "x" << s.controlH;
        EXPECT_EQ(view.Buffer().Height(), s.bufferH) << s.controlW << "x" << s.controlH;
        EXPECT_EQ(!view.BufferValid(), s.reallocated) << s.controlW << "x" << s.controlH;
        EXPECT_EQ(view.Buffer().GetPixel(0, 0), s.reallocated ? 0u : 0xFF123456u);
    }
}

TEST(SurfaceView, PaintRaisesTheHandlerOnlyForAnInvalidBuffer) {
    TSurfaceView view;
    int calls = 0;
    TSurfaceView* sender = nullptr;
    view.OnPaintBuffer = [&](TSurfaceView& v) {
        ++calls;
        sender = &v;
        v.Buffer().FillAll(0xFF00FF00);
    };
    view.SetControlSize(10, 10);
    EXPECT_EQ(view.Paint().GetPixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, &view);
    view.Paint();
    EXPECT_EQ(calls, 1);
    view.Repaint();
    EXPECT_EQ(calls, 2);
    view.Invalidate();
    view.Paint();
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(view.BufferValid());
}

#include "RotationDialogModel.h"
#include "SurfaceTesting.h"

#include <gtest/gtest.h>

TEST(AngleDial, PointerAngleMarkerAndReports) {
    struct Case {
        int x, y;
        std::optional<int> angle;
    } cases[] = {
        {122, 72, 0},           {100, 44, 45},           {42, 102, 225}, {22, 72, 180},
        {72, 10, std::nullopt}, {72, 140, std::nullopt}, {122, 73, 359}, // just below the right-hand axis
    };
    for (const Case& c : cases)
        EXPECT_EQ(TAngleDial::PointerAngle(c.x, c.y), c.angle) << c.x << "," << c.y;

    TAngleDial dial;
    int reports = 0;
    dial.OnAngleChange = [&] { ++reports; };
    dial.SetAngle(370);
    EXPECT_EQ(dial.Angle(), 10);
    dial.SetAngle(10); // unchanged: no report
    dial.SetAngle(-90);
    EXPECT_EQ(dial.Angle(), 270);
    EXPECT_EQ(reports, 2);
    dial.Drag(72, 0); // on the vertical line: kept
    EXPECT_EQ(dial.Angle(), 270);
    dial.Drag(100, 44);
    EXPECT_EQ(dial.Angle(), 45);
    dial.ShiftPress(100, 44);
    EXPECT_EQ(dial.Angle(), 46);
    dial.ShiftPress(100, 44, 15);
    EXPECT_EQ(dial.Angle(), 60);

    dial.SetAngle(0);
    EXPECT_EQ(dial.Marker(), (TScreenPoint{138, 72}));
    dial.SetAngle(90);
    EXPECT_EQ(dial.Marker(), (TScreenPoint{72, 6}));
    dial.SetAngle(225);
    EXPECT_EQ(dial.Marker(), (TScreenPoint{72 - 46, 72 + 46}));
}

TEST(RotationDialogModel, SpinDialAndQuickAnglesStayInStep) {
    const TSurface32 picture = NumberedSurface(40, 40);
    TRotationDialogModel m;
    m.SetPicture(picture);
    m.Activate();
    EXPECT_EQ(m.Rotation(), 0);
    EXPECT_FALSE(m.OkEnabled());
    EXPECT_EQ(m.CheckedQuickAngle(), 0);
    EXPECT_TRUE(std::equal(m.Preview().Bits(), m.Preview().Bits() + 1600, picture.Bits()));

    m.SpinChanged(10);
    EXPECT_EQ(m.Dial().Angle(), 10);
    EXPECT_TRUE(m.OkEnabled());
    EXPECT_EQ(m.Rotation(), 10);
    m.SpinChanged(360); // wraps to 0, turns the dial back and disables OK
    EXPECT_EQ(m.SpinValue(), 0);
    EXPECT_EQ(m.Dial().Angle(), 0);
    EXPECT_FALSE(m.OkEnabled());
    m.SpinChanged(-1);
    EXPECT_EQ(m.SpinValue(), 359);
    EXPECT_EQ(m.Rotation(), 359);
    m.SpinChanged(180);
    EXPECT_EQ(m.CheckedQuickAngle(), 180);

    m.QuickAngleClicked(90);
    EXPECT_EQ(m.SpinValue(), 90);
    EXPECT_EQ(m.Dial().Angle(), 90);
    EXPECT_TRUE(m.OkEnabled());
    EXPECT_EQ(m.Preview().GetPixel(0, 0), picture.GetPixel(39, 0));
    EXPECT_EQ(m.Preview().GetPixel(0, 39), picture.GetPixel(0, 0));

    m.Dial().Drag(100, 44); // the dial drives the spin box and the buttons
    EXPECT_EQ(m.SpinValue(), 45);
    EXPECT_EQ(m.CheckedQuickAngle(), 0);
    EXPECT_EQ(m.Rotation(), 45);
    EXPECT_EQ(m.Preview().GetPixel(20, 20), picture.GetPixel(20, 20));
    EXPECT_EQ(m.Preview().GetPixel(0, 0), m.Rotator().FillColor());

    m.Activate(); // shown again: everything back to 0
    EXPECT_EQ(m.Dial().Angle(), 0);
    EXPECT_EQ(m.SpinValue(), 0);
    EXPECT_FALSE(m.OkEnabled());
    EXPECT_TRUE(std::equal(m.Preview().Bits(), m.Preview().Bits() + 1600, picture.Bits()));
}

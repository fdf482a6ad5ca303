// The started clock seen on the screen: a screenshot of the desktop shows
// the face where the window is and the desktop around the circle.
#include <windows.h>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/program.h"
#include "support/registry.h"
#include "support/screen.h"

namespace {

COLORREF const ringColor = RGB(200, 30, 30); // both rings and the hub

DWORD rgb(COLORREF color)
{
    return GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

class Visible : public RunningClockTest {
protected:
    void SetUp() override
    {
        RunningClockTest::SetUp();
        setNumber(settingsKey, "X", 300);
        setNumber(settingsKey, "Y", 200);
        setNumber(settingsKey, "size", 256);
        setNumber(settingsKey, "Use color", 1);
        setNumber(settingsKey, "Color ring 1", ringColor);
        setNumber(settingsKey, "Color ring 2", ringColor);
    }
};

} // namespace

TEST_F(Visible, FaceOnTheDesktopTransparentAroundIt)
{
    Screenshot desktop;
    ASSERT_TRUE(startClock(clock));
    killProcesses(L"hh.exe");
    RECT rect = {};
    GetWindowRect(clock.window, &rect);
    ASSERT_EQ(256, rect.right - rect.left);
    int cx = rect.left + 128, cy = rect.top + 128;
    DWORD const ring = rgb(ringColor);
    ASSERT_TRUE(waitUntil([&] { return Screenshot().at(cx, cy) == ring; }, 10000));

    Screenshot shown;
    EXPECT_EQ(ring, shown.at(cx, cy));              // the hub
    EXPECT_EQ(ring, shown.at(cx, rect.top + 8));    // the rings at twelve
    EXPECT_EQ(ring, shown.at(rect.left + 8, cy));   // and at nine
    EXPECT_EQ(ring, shown.at(rect.right - 9, cy));  // at three
    EXPECT_EQ(ring, shown.at(cx, rect.bottom - 9)); // at six
    for (POINT corner : {POINT{rect.left + 2, rect.top + 2}, POINT{rect.right - 3, rect.top + 2},
                         POINT{rect.left + 2, rect.bottom - 3}, POINT{rect.right - 3, rect.bottom - 3}})
        EXPECT_EQ(desktop.at(corner.x, corner.y), shown.at(corner.x, corner.y))
            << corner.x << "," << corner.y;

    EXPECT_EQ(0u, exitClock(clock));
}

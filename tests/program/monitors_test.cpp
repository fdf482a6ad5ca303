// The clock's place on a display with two monitors, across restarts: run
// by tests/two_monitors.sh on a display whose second monitor lies to the
// right of the primary one; on a single monitor it is skipped.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/program.h"
#include "support/rects.h"
#include "support/registry.h"

namespace {

struct Monitors {
    RECT primaryWork = {};
    std::vector<RECT> others; // whole rectangles of the other monitors
};

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM found)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    auto &monitors = *reinterpret_cast<Monitors *>(found);
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        monitors.primaryWork = info.rcWork;
    else
        monitors.others.push_back(info.rcMonitor);
    return TRUE;
}

class TwoMonitors : public RunningClockTest {
protected:
    void SetUp() override
    {
        RunningClockTest::SetUp();
        EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&monitors));
        if (monitors.others.size() != 1)
            GTEST_SKIP() << "needs two monitors, as tests/two_monitors.sh sets them up";
    }
    // Starts the clock from a stored place and side; its window rectangle.
    RECT startAt(int left, int top, int side)
    {
        setNumber(settingsKey, "X", left);
        setNumber(settingsKey, "Y", top);
        setNumber(settingsKey, "size", side);
        return startAgain();
    }
    RECT startAgain()
    {
        releaseClock(clock);
        RECT rect = {};
        if (startClock(clock))
            GetWindowRect(clock.window, &rect);
        return rect;
    }
    // The place the clock saves at exit.
    RECT savedPlace()
    {
        EXPECT_EQ(0u, exitClock(clock));
        DWORD left = 0, top = 0, side = 0;
        numberValue(settingsKey, "X", left);
        numberValue(settingsKey, "Y", top);
        numberValue(settingsKey, "size", side);
        return square(int(left), int(top), int(side));
    }
    Monitors monitors;
};

} // namespace

TEST_F(TwoMonitors, AClockOnTheSecondMonitorStaysThere)
{
    RECT const second = monitors.others[0];
    RECT const place = square(second.left + 120, second.top + 100, 256);
    EXPECT_EQ(place, startAt(place.left, place.top, 256));
    EXPECT_EQ(place, savedPlace());
    EXPECT_EQ(place, startAgain());
    EXPECT_EQ(place, savedPlace());
}

TEST_F(TwoMonitors, AClockWhereNoMonitorIsComesBackToThePrimaryCorner)
{
    RECT const second = monitors.others[0];
    RECT const work = monitors.primaryWork;
    RECT const corner = {work.right - 240, work.bottom - 240, work.right, work.bottom};
    // Beyond the second monitor's right edge.
    EXPECT_EQ(corner, startAt(second.right + 200, second.top + 100, 240));
    EXPECT_EQ(corner, savedPlace());
    // Less than three quarters on the second monitor.
    EXPECT_EQ(corner, startAt(second.right - 170, second.top + 100, 240));
    EXPECT_EQ(corner, savedPlace());
}

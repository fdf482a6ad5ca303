// The clock at the display scale of the desktop. tests/dpi_scales.sh runs
// these tests once for each DPI, 96 first, at the same faked moment; the
// 96-DPI pass leaves its frame for the others to compare with.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "support/program.h"
#include "support/rects.h"
#include "support/registry.h"
#include "support/screen.h"

namespace {

struct Scale {
    UINT dpi;
    int side, increased; // the default side and one "increase" more, in pixels
};

Scale const scales[] = {{96, 256, 272}, {120, 320, 340}, {144, 384, 408}, {192, 512, 544}};

RECT windowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// The clock's pixels as a screenshot shows them.
Frame grab(RECT const &rect)
{
    Screenshot screen;
    Frame frame;
    frame.side = rect.right - rect.left;
    for (int y = rect.top; y < rect.bottom; y++)
        for (int x = rect.left; x < rect.right; x++)
            frame.pixels.push_back(screen.at(x, y));
    return frame;
}

// Blue text on the white dial; the shadows of the hands are too pale to count.
bool ink(DWORD pixel)
{
    int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    return b - std::max(r, g) > 100;
}

// The ink inside a part of the frame given in fractions of its side, as
// fractions of the side: {left, top, right, bottom}.
std::vector<double> inkBox(Frame const &frame, double left, double top, double right, double bottom)
{
    int n = frame.side, x0 = n, y0 = n, x1 = -1, y1 = -1;
    for (int y = int(top * n); y < int(bottom * n); y++)
        for (int x = int(left * n); x < int(right * n); x++)
            if (ink(frame.pixels[y * n + x])) {
                x0 = std::min(x0, x), y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
            }
    return {double(x0) / n, double(y0) / n, double(x1) / n, double(y1) / n};
}

class DpiScales : public testing::Test {
protected:
    Scale scale = {};
    RunningClock clock;

    void SetUp() override
    {
        char const *dpi = getenv("HALVITRUM_DPI");
        if (!dpi)
            GTEST_SKIP() << "run at each display scale by tests/dpi_scales.sh";
        for (Scale const &row : scales)
            if (row.dpi == UINT(atoi(dpi)))
                scale = row;
        ASSERT_NE(0u, scale.dpi) << dpi;
        HDC screen = GetDC(nullptr);
        ASSERT_EQ(int(scale.dpi), GetDeviceCaps(screen, LOGPIXELSX)) << "the desktop is not at that scale";
        ReleaseDC(nullptr, screen);
        // Blue text, numbers only at the quarters, a solid date and no day
        // label: the "12" and the date are the only blue above and below
        // the centre. No second hand: the hands hold still for the minute.
        clearRegistry();
        struct {
            char const *name;
            DWORD value;
        } const values[] = {{"onTop", 1},
                            {"show.seconds", 0},
                            {"show.numbers", 2},
                            {"show.logo", 1},
                            {"show.dayOfTheWeek", 0},
                            {"Use color", 1},
                            {"Color background", RGB(255, 255, 255)},
                            {"Color text", RGB(0, 0, 255)},
                            {"Color markers", RGB(255, 255, 255)},
                            {"Color ring 1", RGB(120, 120, 120)},
                            {"Color ring 2", RGB(60, 60, 60)}};
        for (auto const &value : values)
            setNumber(settingsKey, value.name, value.value);
    }
    void TearDown() override
    {
        releaseClock(clock);
        killProcesses(L"hh.exe");
    }
    // The frame once the window has held its place and its drawing for a moment.
    Frame settledFrame()
    {
        Frame last, now;
        waitUntil([&] {
            last = now;
            now = grab(windowRect(clock.window));
            return now.pixels == last.pixels;
        });
        return now;
    }
};

} // namespace

TEST_F(DpiScales, DefaultClockGrowsWithTheScaleAndKeepsItsProportions)
{
    ASSERT_TRUE(startClock(clock));
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(clock.window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT taskbar = {}, area = monitor.rcWork;
    GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &taskbar);
    area.bottom = std::min(area.bottom, taskbar.top);
    RECT corner = {area.right - scale.side, area.bottom - scale.side, area.right, area.bottom};
    EXPECT_TRUE(waitUntil([&] { return windowRect(clock.window) == corner; })) << windowRect(clock.window);

    Frame frame = settledFrame();
    if (scale.dpi == 96) {
        ASSERT_TRUE(saveFrame("frame-96", frame));
    } else {
        Frame standard;
        ASSERT_TRUE(loadFrame("frame-96", standard)) << "the 96-DPI pass runs first";
        struct {
            char const *what;
            double left, top, right, bottom;
        } const texts[] = {{"12", 0.35, 0.115, 0.65, 0.3}, {"date", 0.1, 0.57, 0.9, 0.76}};
        for (auto const &text : texts) {
            std::vector<double> expected = inkBox(standard, text.left, text.top, text.right, text.bottom);
            std::vector<double> shown = inkBox(frame, text.left, text.top, text.right, text.bottom);
            ASSERT_LT(expected[0], expected[2]) << text.what << " has no ink at 96 DPI";
            for (int edge = 0; edge < 4; edge++)
                EXPECT_NEAR(expected[edge], shown[edge], 0.015) << text.what << " edge " << edge;
        }
    }

    // "increase" adds 16 standard pixels; the side saved is the standard one.
    SendMessageA(clock.window, WM_COMMAND, IDM_SIZEINCREASE, 0);
    EXPECT_EQ(square(corner.left, corner.top, scale.increased), windowRect(clock.window));
    SendMessageA(clock.window, WM_COMMAND, IDM_SIZEDECREASE, 0);
    EXPECT_EQ(0u, exitClock(clock));
    DWORD size = 0;
    EXPECT_TRUE(numberValue(settingsKey, "size", size));
    EXPECT_EQ(256u, size);
}

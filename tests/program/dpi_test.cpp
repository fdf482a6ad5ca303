// The clock at the display scale of the desktop. tests/dpi_scales.sh runs
// this once for each DPI, 96 first, at the same faked moment; the 96-DPI
// pass leaves its frame for the others to compare with.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "support/program.h"
#include "support/rects.h"
#include "support/registry.h"
#include "support/screen.h"

namespace {

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

struct Box {
    double left, top, right, bottom; // fractions of the side
};

// The box of the blue text inside a part of the frame; the hands' shadows
// are too pale to count.
Box inkBox(Frame const &frame, Box const &part)
{
    int n = frame.side, x0 = n, y0 = n, x1 = -1, y1 = -1;
    for (int y = int(part.top * n); y < int(part.bottom * n); y++)
        for (int x = int(part.left * n); x < int(part.right * n); x++) {
            DWORD p = frame.pixels[y * n + x];
            if (int(p & 0xFF) - int(std::max(p >> 16 & 0xFF, p >> 8 & 0xFF)) > 100) {
                x0 = std::min(x0, x), y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
            }
        }
    return {double(x0) / n, double(y0) / n, double(x1) / n, double(y1) / n};
}

class DpiScales : public RunningClockTest {};

} // namespace

TEST_F(DpiScales, DefaultClockGrowsWithTheScaleAndKeepsItsProportions)
{
    struct {
        UINT dpi;
        int side, increased; // the default side and one "increase" more, in pixels
    } const scales[] = {{96, 256, 272}, {120, 320, 340}, {144, 384, 408}, {192, 512, 544}};
    char const *dpi = getenv("HALVITRUM_DPI");
    if (!dpi)
        GTEST_SKIP() << "run at each display scale by tests/dpi_scales.sh";
    auto scale = std::find_if(std::begin(scales), std::end(scales),
                              [&](auto &row) { return row.dpi == UINT(atoi(dpi)); });
    ASSERT_NE(std::end(scales), scale) << dpi;
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(int(scale->dpi), GetDeviceCaps(screen, LOGPIXELSX)) << "the desktop is not at that scale";
    ReleaseDC(nullptr, screen);
    // Blue text, numbers only at the quarters, a solid date and no day
    // label: the "12" and the date are the only blue above and below the
    // centre. No second hand: the hands hold still for the minute.
    for (auto const &value : {std::make_pair("onTop", 1),
                              {"show.seconds", 0},
                              {"show.numbers", 2},
                              {"show.logo", 1},
                              {"show.dayOfTheWeek", 0},
                              {"Use color", 1}})
        setNumber(settingsKey, value.first, value.second);
    setNumber(settingsKey, "Color text", RGB(0, 0, 255));

    ASSERT_TRUE(startClock(clock));
    RECT const corner = desktopCorner(scale->side);
    EXPECT_TRUE(waitUntil([&] { return windowRect(clock.window) == corner; })) << windowRect(clock.window);
    // Until the drawing holds still: two equal screenshots of a drawn face,
    // not of the blank square before the first frame.
    Frame last, frame;
    ASSERT_TRUE(waitUntil([&] {
        last = frame;
        frame = grab(windowRect(clock.window));
        auto blank = [&](DWORD pixel) { return pixel == frame.pixels[0]; };
        return !frame.pixels.empty() && !std::all_of(frame.pixels.begin(), frame.pixels.end(), blank) &&
               frame.pixels == last.pixels;
    }));
    Frame standard;
    if (scale->dpi == 96)
        ASSERT_TRUE(saveFrame("frame-96", frame));
    else
        ASSERT_TRUE(loadFrame("frame-96", standard)) << "the 96-DPI pass runs first";
    for (Box const &part : {Box{0.35, 0.115, 0.65, 0.3}, Box{0.1, 0.57, 0.9, 0.76}}) { // "12", the date
        Box expected = inkBox(standard.side ? standard : frame, part), shown = inkBox(frame, part);
        ASSERT_LT(expected.left, expected.right) << "no ink at 96 DPI in " << part.top;
        EXPECT_NEAR(expected.left, shown.left, 0.015) << part.top;
        EXPECT_NEAR(expected.top, shown.top, 0.015) << part.top;
        EXPECT_NEAR(expected.right, shown.right, 0.015) << part.top;
        EXPECT_NEAR(expected.bottom, shown.bottom, 0.015) << part.top;
    }

    // "increase" adds 16 standard pixels; the side saved is the standard one.
    SendMessageA(clock.window, WM_COMMAND, IDM_SIZEINCREASE, 0);
    EXPECT_EQ(square(corner.left, corner.top, scale->increased), windowRect(clock.window));
    SendMessageA(clock.window, WM_COMMAND, IDM_SIZEDECREASE, 0);
    EXPECT_EQ(0u, exitClock(clock));
    DWORD size = 0;
    EXPECT_TRUE(numberValue(settingsKey, "size", size));
    EXPECT_EQ(256u, size);
}

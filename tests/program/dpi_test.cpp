// The clock at the display scale of the desktop. tests/dpi_scales.sh runs
// this once for each DPI, 96 first, at the same faked moment; the 96-DPI
// pass leaves its frame for the others to compare with.
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <string>

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

// The snapshot tool's drawing of the default face without the second hand
// at that side and moment, as 0xAARRGGBB pixels; empty when it failed.
Frame snapshot(int side, SYSTEMTIME const &now)
{
    Frame frame;
    std::wstring file = testFolder() + L"\\snapshot-default.png";
    wchar_t arguments[160];
    wsprintfW(arguments, L" --size %d --seconds 0 --time %02d:%02d:%02d --date %04d-%02d-%02d \"", side,
              now.wHour, now.wMinute, now.wSecond, now.wYear, now.wMonth, now.wDay);
    std::wstring commandLine =
        L"\"" + testFolder() + L"\\..\\tools\\snapshot.exe\"" + arguments + file + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return frame;
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    Gdiplus::GpBitmap *bitmap = nullptr;
    if (code != 0 || Gdiplus::DllExports::GdipCreateBitmapFromFile(file.c_str(), &bitmap) != Gdiplus::Ok)
        return frame;
    frame.side = side;
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            Gdiplus::ARGB pixel = 0;
            Gdiplus::DllExports::GdipBitmapGetPixel(bitmap, x, y, &pixel);
            frame.pixels.push_back(pixel);
        }
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    DeleteFileW(file.c_str());
    return frame;
}

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

// The README's pictures come from the snapshot tool: its default face holds
// the date label where the running clock shows it, pixel for pixel in the
// label's part of the face.
TEST_F(DpiScales, SnapshotDrawsTheDateLabelAsTheClockDoes)
{
    char const *dpi = getenv("HALVITRUM_DPI");
    if (!dpi || atoi(dpi) != 96)
        GTEST_SKIP() << "run at 96 DPI by tests/dpi_scales.sh";
    setNumber(settingsKey, "show.seconds", 0); // the face holds still for the minute
    ASSERT_TRUE(startClock(clock));
    Frame last, frame;
    SYSTEMTIME before = {}, after = {};
    ASSERT_TRUE(waitUntil([&] {
        last = frame;
        GetLocalTime(&before);
        frame = grab(windowRect(clock.window));
        GetLocalTime(&after);
        auto blank = [&](DWORD pixel) { return pixel == frame.pixels[0]; };
        return !frame.pixels.empty() && !std::all_of(frame.pixels.begin(), frame.pixels.end(), blank) &&
               frame.pixels == last.pixels && before.wMinute == after.wMinute;
    }));
    EXPECT_EQ(0u, exitClock(clock));
    Frame drawn = snapshot(frame.side, before);
    ASSERT_EQ(frame.side, drawn.side) << "the snapshot tool failed";
    // The label's part: below the hub's shadow, between the 8 and the 4.
    int n = frame.side, top = n * 58 / 100, differing = 0, marked = 0;
    DWORD dial = drawn.pixels[top * n + n / 2];
    for (int y = top; y < n * 3 / 4; y++)
        for (int x = n * 28 / 100; x < n * 72 / 100; x++) {
            DWORD shown = frame.pixels[y * n + x], expected = drawn.pixels[y * n + x];
            differing += shown != (expected & 0xFFFFFF);
            marked += expected != dial;
        }
    EXPECT_EQ(0, differing);
    EXPECT_GT(marked, n / 2) << "no date label";
}

// bench: the cost of the clock's drawing on a real layered window, at the
// smallest, default and largest sizes, and at the largest at 150 % and
// 200 % display scaling (576 and 768 pixels). For each it prints the median and
// the spread (10th to 90th percentile) of
//   face    the face pass: a redraw with mainFace.faceDirty set, less a plain tick
//   redraw  a redraw with mainFace.faceDirty set (face pass and tick together)
//   tick    a redraw without mainFace.faceDirty, one second later each time: copy
//           of the changed part of the face, hands and its present
//   frame   renderClock without mainFace.faceDirty, one second later each time:
//           the tick less the present
//   copy    the BitBlt of the whole face into the frame alone
//   present alone   a full-frame UpdateLayeredWindow of the frame
// and "dirty pixels", the mean number of pixels a tick presents over a
// minute of seconds. Then the same ticks and frames with a timer's sector
// shrinking on the dial (25 minutes left at the start), drawn on a second
// face and window in turns with the first, so that both meet the same load,
// with their ratio, and the pixels a tick with the timer presents.
// Run it with the face font installed (tools/wine-env.sh).
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "render/render.h"
#include "settings/settings.h"

struct Spread {
    double median, low, high; // milliseconds
};

template <class Work> static Spread measure(int repetitions, Work work)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    work(); // warm-up
    for (int i = 0; i < repetitions; i++) {
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() / 10], times[times.size() * 9 / 10]};
}

static void print(char const *name, Spread const &spread)
{
    printf("  %-15s median %8.3f ms   p10-p90 %8.3f - %8.3f ms\n", name, spread.median, spread.low,
           spread.high);
}

static HWND createLayeredWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "HalvitrumBench";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, windowClass.lpszClassName,
                                  "", WS_POPUP, 50, 50, mainFace.surfaceSide, mainFace.surfaceSide, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

// Successive seconds from 10:10:30, across minute changes; with a timer,
// its sector for those seconds on the face.
static SYSTEMTIME nextSecond(ClockFace &face, int &second, bool timer)
{
    int at = 10 * 3600 + 10 * 60 + 30 + second;
    SYSTEMTIME now = {2026, 12, 1, 7, WORD(at / 3600 % 24), WORD(at / 60 % 60), WORD(at % 60), 0};
    face.marks.sector = timer;
    timerSector(now, 25 * 60 - second % (25 * 60), face.marks.sectorStart, face.marks.sectorSweep);
    second++;
    return now;
}

// The medians of a plain frame and of a frame with the timer, drawn in
// turns on the two faces; a tick when present is set.
static void inTurns(char const *name, ClockFace &timerFace, int side, bool present)
{
    std::vector<double> plain, timer;
    int plainSecond = 0, timerSecond = 0;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    auto time = [&frequency, side, present](ClockFace &face, int &second, bool withTimer) {
        LARGE_INTEGER start, end;
        SYSTEMTIME now = nextSecond(face, second, withTimer);
        face.faceDirty = 0;
        QueryPerformanceCounter(&start);
        if (present)
            redrawClockAt(face, now);
        else
            renderClock(face, side, side, now);
        QueryPerformanceCounter(&end);
        return 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    };
    timerFace.faceDirty = 1; // the face at this size
    redrawClockAt(timerFace, nextSecond(timerFace, timerSecond, true));
    for (int i = 0; i < (present ? 300 : 1000); i++) {
        plain.push_back(time(mainFace, plainSecond, false));
        timer.push_back(time(timerFace, timerSecond, true));
    }
    std::sort(plain.begin(), plain.end());
    std::sort(timer.begin(), timer.end());
    double plainMedian = plain[plain.size() / 2], timerMedian = timer[timer.size() / 2];
    printf("  %-15s median %8.3f ms   with the timer %8.3f ms   %+.0f %%\n", name, plainMedian, timerMedian,
           100 * (timerMedian / plainMedian - 1));
}

static void compareTimer(ClockFace &timerFace, int side)
{
    inTurns("tick, in turns", timerFace, side, true);
    inTurns("frame, in turns", timerFace, side, false);
    double pixels = 0;
    int second = 0;
    for (int i = 0; i < 60; i++) {
        timerFace.faceDirty = 0;
        RECT change = renderClock(timerFace, side, side, nextSecond(timerFace, second, true));
        pixels += double(change.right - change.left) * (change.bottom - change.top) / 60;
    }
    printf("  %-15s %8.0f of %d\n", "timer dirty", pixels, side * side);
}

int main()
{
    ULONG_PTR token;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 1;
    setDefaultOptions(settings); // second hand, numbers, contour logo and day label
    setDefaultColors(settings);
    HWND window = createLayeredWindow();
    createDrawingResources(mainFace, window);
    ClockFace timerFace;
    timerFace.surfaceSide = 768;
    HWND timerWindow = createLayeredWindow();
    createDrawingResources(timerFace, timerWindow);

    for (int side : {144, 256, 384, 576, 768}) {
        for (HWND each : {window, timerWindow})
            SetWindowPos(each, nullptr, 0, 0, side, side, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        int second = 0;
        Spread redraw = measure(100, [&second] {
            mainFace.faceDirty = 1;
            redrawClockAt(mainFace, nextSecond(mainFace, second, false));
        });
        Spread tick =
            measure(300, [&second] { redrawClockAt(mainFace, nextSecond(mainFace, second, false)); });
        Spread frame = measure(300, [side, &second] {
            mainFace.faceDirty = 0;
            renderClock(mainFace, side, side, nextSecond(mainFace, second, false));
        });
        Spread copy = measure(
            5000, [side] { BitBlt(mainFace.frameDC, 0, 0, side, side, mainFace.faceDC, 0, 0, SRCCOPY); });
        Spread present = measure(300, [window, side] {
            SIZE size = {side, side};
            POINT source = {0, 0};
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            UpdateLayeredWindow(window, nullptr, nullptr, &size, mainFace.frameDC, &source, 0, &blend,
                                ULW_ALPHA);
        });
        double pixels = 0;
        second = 0;
        for (int i = 0; i < 60; i++) {
            mainFace.faceDirty = 0;
            RECT change = renderClock(mainFace, side, side, nextSecond(mainFace, second, false));
            pixels += double(change.right - change.left) * (change.bottom - change.top) / 60;
        }
        Spread face = {redraw.median - tick.median, redraw.low - tick.median, redraw.high - tick.median};
        printf("%d x %d\n", side, side);
        print("face", face);
        print("redraw", redraw);
        print("tick", tick);
        print("frame", frame);
        print("copy", copy);
        print("present alone", present);
        printf("  %-15s %8.0f of %d\n", "dirty pixels", pixels, side * side);
        compareTimer(timerFace, side);
    }

    releaseDrawingResources(timerFace);
    releaseDrawingResources(mainFace);
    DestroyWindow(timerWindow);
    DestroyWindow(window);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}

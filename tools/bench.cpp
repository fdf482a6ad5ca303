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
// minute of seconds.
// "bench timer" shows a timer's sector, 25 minutes left at the start,
// shrinking with each second.
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

int main(int argc, char **argv)
{
    bool timer = argc > 1 && lstrcmpA(argv[1], "timer") == 0;
    ULONG_PTR token;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 1;
    setDefaultOptions(settings); // second hand, numbers, contour logo and day label
    setDefaultColors(settings);
    HWND window = createLayeredWindow();
    createDrawingResources(mainFace, window);

    for (int side : {144, 256, 384, 576, 768}) {
        SetWindowPos(window, nullptr, 0, 0, side, side, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // Successive seconds from 10:10:30, across minute changes.
        int second = 0;
        auto nextSecond = [&second, timer] {
            int at = 10 * 3600 + 10 * 60 + 30 + second;
            SYSTEMTIME now = {2026, 12, 1, 7, WORD(at / 3600 % 24), WORD(at / 60 % 60), WORD(at % 60), 0};
            mainFace.marks.sector = timer;
            timerSector(now, 25 * 60 - second % (25 * 60), mainFace.marks.sectorStart,
                        mainFace.marks.sectorSweep);
            second++;
            return now;
        };
        Spread redraw = measure(100, [&nextSecond] {
            mainFace.faceDirty = 1;
            redrawClockAt(mainFace, nextSecond());
        });
        Spread tick = measure(300, [&nextSecond] { redrawClockAt(mainFace, nextSecond()); });
        Spread frame = measure(300, [side, &nextSecond] {
            mainFace.faceDirty = 0;
            renderClock(mainFace, side, side, nextSecond());
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
            RECT change = renderClock(mainFace, side, side, nextSecond());
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
    }

    releaseDrawingResources(mainFace);
    DestroyWindow(window);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}

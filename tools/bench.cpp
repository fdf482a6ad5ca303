// bench: the cost of the clock's drawing on a real layered window, at the
// smallest, default and largest sizes. For each it prints the median and
// the spread (10th to 90th percentile) of
//   face    the face pass: a redraw with faceDirty set, less a plain tick
//   redraw  a redraw with faceDirty set (face pass and tick together)
//   tick    a redraw without faceDirty: copy of the face, hands and
//           UpdateLayeredWindow
//   frame   renderClock without faceDirty: the tick less UpdateLayeredWindow
//   copy    the BitBlt of the face into the frame alone
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
    printf("  %-7s median %8.3f ms   p10-p90 %8.3f - %8.3f ms\n", name, spread.median, spread.low,
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
                                  "", WS_POPUP, 50, 50, surfaceSide, surfaceSide, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
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
    createDrawingResources(window);

    for (int side : {144, 256, 384}) {
        SetWindowPos(window, nullptr, 0, 0, side, side, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Spread redraw = measure(100, [] {
            faceDirty = 1;
            redrawClock();
        });
        Spread tick = measure(300, [] { redrawClock(); });
        SYSTEMTIME now = {2026, 12, 1, 7, 10, 10, 30, 0};
        Spread frame = measure(300, [side, &now] {
            int dirty = 0;
            renderClock(faceDC, dirty, frameDC, side, side, now);
        });
        Spread copy = measure(5000, [side] { BitBlt(frameDC, 0, 0, side, side, faceDC, 0, 0, SRCCOPY); });
        Spread face = {redraw.median - tick.median, redraw.low - tick.median, redraw.high - tick.median};
        printf("%d x %d\n", side, side);
        print("face", face);
        print("redraw", redraw);
        print("tick", tick);
        print("frame", frame);
        print("copy", copy);
    }

    releaseDrawingResources();
    DestroyWindow(window);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}

// The work areas that the clock and the dialogs are kept inside, and the
// DPI they are drawn at.
#include <windows.h>

#include <algorithm>

#include "settings/settings.h"
#include "ui/ui.h"

RECT workAreaFrom(RECT const &desktop, RECT const *taskbar)
{
    RECT area = desktop;
    // Removes the taskbar only when it spans a whole edge.
    if (taskbar)
        SubtractRect(&area, &desktop, taskbar);
    return area;
}

static RECT lessTaskbar(RECT const &area)
{
    RECT taskbar;
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    return workAreaFrom(area, tray && GetWindowRect(tray, &taskbar) ? &taskbar : nullptr);
}

RECT workArea()
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    return lessTaskbar(desktop);
}

// So that a clock left on a second monitor stays there. Wine's shell may
// leave its taskbar in the monitor's work area: it is taken off.
RECT nearestWorkArea(RECT const &window)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor))
        return workArea();
    return lessTaskbar(monitor.rcWork);
}

// DM_REPOSITION brings a dialog back into the work area of its monitor;
// Wine's dialog manager ignores it, so a dialog still reaching out of the
// work area is moved here too, its top-left corner kept inside.
void keepDialogOnScreen(HWND dialog)
{
    SendMessageA(dialog, DM_REPOSITION, 0, 0);
    RECT window;
    GetWindowRect(dialog, &window);
    RECT area = nearestWorkArea(window);
    int left = std::max(area.left, std::min(window.left, area.right - (window.right - window.left)));
    int top = std::max(area.top, std::min(window.top, area.bottom - (window.bottom - window.top)));
    if (left != window.left || top != window.top)
        SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static UINT systemDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : standardDpi;
}

// Windows 7 lacks the DPI functions of Windows 10; every monitor there has
// the system's DPI.
UINT windowDpi(HWND window)
{
    static auto *const forWindow = user32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
    UINT dpi = window && forWindow ? forWindow(window) : 0;
    return dpi ? dpi : systemDpi();
}

int metricForDpi(int index, UINT dpi)
{
    static auto *const forDpi = user32Function<int WINAPI(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : MulDiv(GetSystemMetrics(index), dpi, systemDpi());
}

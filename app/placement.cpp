// Placement and size of the frameless, square clock window.
#include <windows.h>

#include "app/app.h"
#include "render/render.h"
#include "settings/settings.h"

RECT workAreaFrom(RECT const &desktop, RECT const *taskbar)
{
    RECT area = desktop;
    // Removes the taskbar only when it spans a whole edge.
    if (taskbar)
        SubtractRect(&area, &desktop, taskbar);
    return area;
}

RECT workArea()
{
    RECT desktop, taskbar;
    GetWindowRect(GetDesktopWindow(), &desktop);
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    return workAreaFrom(desktop, tray && GetWindowRect(tray, &taskbar) ? &taskbar : nullptr);
}

// Every move and resize replaces only the normal-position rectangle.
void placeClockWindow(RECT const &rect)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(mainWindow, &placement);
    placement.rcNormalPosition = rect;
    SetWindowPlacement(mainWindow, &placement);
}

void moveToDefaultPosition()
{
    RECT area = workArea(), window;
    GetWindowRect(mainWindow, &window);
    RECT rect = {area.right - (window.right - window.left), area.bottom - (window.bottom - window.top),
                 area.right, area.bottom};
    placeClockWindow(rect);
}

static double areaOf(RECT const &rect)
{
    return double(rect.right - rect.left) * double(rect.bottom - rect.top);
}

bool mostlyInside(RECT const &window, RECT const &area)
{
    RECT visible;
    if (!IntersectRect(&visible, &window, &area))
        SetRectEmpty(&visible);
    // A window without area has no ratio and counts as inside.
    return !(areaOf(window) > 0 && areaOf(visible) / areaOf(window) < 0.75);
}

// The work area of the monitor nearest the window, so that a clock left on
// a second monitor stays there.
static RECT nearestWorkArea(RECT const &window)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor))
        return workArea();
    return monitor.rcWork;
}

void keepOnScreen()
{
    RECT window;
    GetWindowRect(mainWindow, &window);
    if (!mostlyInside(window, nearestWorkArea(window)))
        moveToDefaultPosition();
}

void setClockSize(int side)
{
    RECT window;
    GetWindowRect(mainWindow, &window);
    RECT rect = {window.left, window.top, window.left + side, window.top + side};
    placeClockWindow(rect);
    applyOnTop();
    faceDirty = 1;
    redrawClock();
}

int clampSide(int side)
{
    return side < minimumSide ? minimumSide : side > maximumSide ? maximumSide : side;
}

void stepClockSize(int direction)
{
    RECT window;
    GetWindowRect(mainWindow, &window);
    setClockSize(clampSide(window.right - window.left + sideStep * direction));
}

void applyOnTop()
{
    SetWindowPos(mainWindow, settings.onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

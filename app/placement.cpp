// Placement and size of the frameless, square clock window.
#include <windows.h>

#include "app/app.h"
#include "render/render.h"
#include "settings/settings.h"
#include "ui/ui.h"

// Every move and resize replaces only the normal-position rectangle. The
// placement reports a hidden window as shown normally, so that a hidden
// clock that follows the desktop is kept hidden.
void placeClockWindow(RECT const &rect)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(mainWindow, &placement);
    placement.rcNormalPosition = rect;
    if (!IsWindowVisible(mainWindow))
        placement.showCmd = SW_HIDE;
    SetWindowPlacement(mainWindow, &placement);
}

// The work area that the default corner and the three-quarters rule last
// placed the window against.
static RECT placedArea;

// The window's rectangle moved into the area's bottom-right corner.
static RECT cornerOf(RECT const &area, RECT const &window)
{
    return RECT{area.right - (window.right - window.left), area.bottom - (window.bottom - window.top),
                area.right, area.bottom};
}

RECT defaultPlaceOf(RECT const &window)
{
    placedArea = workArea();
    return cornerOf(placedArea, window);
}

void moveToDefaultPosition()
{
    RECT window;
    GetWindowRect(mainWindow, &window);
    placeClockWindow(defaultPlaceOf(window));
}

bool inDefaultCorner()
{
    RECT window;
    GetWindowRect(mainWindow, &window);
    RECT corner = cornerOf(placedArea, window);
    return EqualRect(&window, &corner) != FALSE;
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

void keepOnScreen()
{
    RECT window;
    GetWindowRect(mainWindow, &window);
    placedArea = workArea();
    if (!mostlyInside(window, nearestWorkArea(window)))
        moveToDefaultPosition();
}

int pixelSide(int side)
{
    return MulDiv(side, clockDpi, standardDpi);
}

int logicalSide()
{
    RECT client;
    GetClientRect(mainWindow, &client);
    return MulDiv(client.right, standardDpi, clockDpi);
}

bool workAreaChanged()
{
    RECT area = workArea();
    return !EqualRect(&area, &placedArea);
}

// A clock dragged out of the corner no longer follows it; "Set default
// position" puts it back there.
void followWorkArea()
{
    if (inDefaultCorner())
        moveToDefaultPosition();
    else
        keepOnScreen();
}

void setClockSize(int side)
{
    RECT window;
    GetWindowRect(mainWindow, &window);
    side = pixelSide(side);
    RECT rect = {window.left, window.top, window.left + side, window.top + side};
    placeClockWindow(rect);
    applyOnTop();
    mainFace.faceDirty = 1;
    paintClock();
}

int clampSide(int side)
{
    return side < minimumSide ? minimumSide : side > maximumSide ? maximumSide : side;
}

void stepClockSize(int direction)
{
    setClockSize(clampSide(logicalSide() + sideStep * direction));
}

void applyOnTop()
{
    SetWindowPos(mainWindow, settings.onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

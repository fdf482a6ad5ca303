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
    orderWorldClocks(settings.onTop ? HWND_TOPMOST : HWND_NOTOPMOST);
}

// A layered window that is also transparent lets every click and turn of
// the wheel through to the window beneath it.
void applyClickThrough()
{
    LONG_PTR style = GetWindowLongPtrA(mainWindow, GWL_EXSTYLE);
    LONG_PTR wanted =
        settings.clickThrough ? style | WS_EX_TRANSPARENT : style & ~LONG_PTR(WS_EX_TRANSPARENT);
    if (wanted != style)
        SetWindowLongPtrA(mainWindow, GWL_EXSTYLE, wanted);
}

// Keeps the window square, its top-left corner in place. A minimized
// window has no client area, and squaring it would lose the clock's size.
LRESULT keepSquare(WPARAM kind)
{
    if (kind == SIZE_MINIMIZED)
        return 0;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(mainWindow, &placement);
    RECT client;
    GetClientRect(mainWindow, &client);
    if (client.right == client.bottom)
        return 0;
    int side = client.right < client.bottom ? client.right : client.bottom;
    RECT &normal = placement.rcNormalPosition;
    normal.right = normal.left + side;
    normal.bottom = normal.top + side;
    SetWindowPlacement(mainWindow, &placement);
    return 0;
}

LRESULT limitTrackSize(MINMAXINFO *limits)
{
    limits->ptMinTrackSize.x = limits->ptMinTrackSize.y = pixelSide(minimumSide);
    limits->ptMaxTrackSize.x = limits->ptMaxTrackSize.y = pixelSide(maximumSide);
    return 1;
}

// On a monitor of another scale the clock keeps its side in standard
// pixels, at the place that Windows suggests (which keeps a dragged clock
// under the cursor); a clock in the default corner stays in the corner.
// The final rectangle is worked out first and set with one SetWindowPos:
// a second move could take the window back over a monitor's edge and
// start another change of scale. The face is drawn afresh at the new
// side, not stretched.
LRESULT followDpiChange(WPARAM dpi, RECT const &suggested)
{
    int side = logicalSide();
    bool cornered = inDefaultCorner();
    clockDpi = LOWORD(dpi);
    side = pixelSide(side);
    RECT rect = {suggested.left, suggested.top, suggested.left + side, suggested.top + side};
    if (cornered)
        rect = defaultPlaceOf(rect);
    SetWindowPos(mainWindow, nullptr, rect.left, rect.top, side, side, SWP_NOZORDER | SWP_NOACTIVATE);
    mainFace.faceDirty = 1;
    paintClock();
    return 0;
}

// The main window procedure.
#include <windows.h>

#include "alarms/alarms.h"
#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"
#include "settings/settings.h"

HMENU popupMenu;
int buttonsSwapped;

static bool ended; // settings saved and drawing resources released

static LRESULT onCreate(HWND window)
{
    faceDirty = 1;
    createDrawingResources(window);
    popupMenu = GetSubMenu(LoadMenuA(instance, MAKEINTRESOURCEA(IDM_CLOCKMENU)), 0);
    // SwapMouseButton answers the previous state only by setting a new
    // one, so a swapped state is put back at once.
    buttonsSwapped = 0;
    if (SwapMouseButton(FALSE)) {
        SwapMouseButton(TRUE);
        buttonsSwapped = 1;
    }
    if (settings.windowX == -1) {
        setClockSize(defaultSide);
        moveToDefaultPosition();
    }
    keepOnScreen();
    applyOnTop();
    redrawClock();
    SetTimer(mainWindow, clockTimer, 1000, nullptr);
    if (settings.firstRun)
        showHelp(5);
    return 0;
}

// Saves everything and ends the message loop; a second call finds nothing
// left to do.
static void endClock()
{
    if (ended)
        return;
    ended = true;
    saveSettings(mainWindow);
    releaseDrawingResources();
    PostQuitMessage(0);
}

static LRESULT onEndSession(WPARAM ending)
{
    // A cancelled log-off leaves the user's session, and the clock, running.
    if (ending)
        endClock();
    else
        saveSettings(mainWindow);
    return 0;
}

LRESULT CALLBACK clockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_DESTROY:
        endClock();
        return 0;
    case WM_ENDSESSION:
        return onEndSession(wParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// An always-on-top clock steps back while a full-screen program (a video,
// a presentation, a game) runs, and comes back on top afterwards.
//
// The shell tells its application bars when a full-screen program opens on
// their monitor and when the last one closes, also for a program that goes
// full screen in place. The clock registers as an application bar only to
// be told: it never asks for a place on the screen.
#include <windows.h>
#include <shellapi.h>

#include "app/app.h"

static bool givingWay;  // the clock is not topmost because of a full-screen program
static bool registered; // the shell knows the clock as an application bar

// Most full-screen programs are not topmost themselves: the clock goes to
// the bottom of the Z order, under them, which also ends its topmost
// state. Neither step activates the clock, which would take the keyboard
// from the program the user is in.
void yieldToFullScreen(bool fullScreen)
{
    if (fullScreen) {
        // Also after the sheet has applied onTop in the meantime.
        if (GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) {
            SetWindowPos(mainWindow, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            orderWorldClocks(HWND_BOTTOM);
        }
    } else if (givingWay) {
        applyOnTop();
    }
    givingWay = fullScreen;
}

void watchForFullScreen(bool watch)
{
    APPBARDATA bar = {};
    bar.cbSize = sizeof bar;
    bar.hWnd = mainWindow;
    bar.uCallbackMessage = appBarCallback;
    if (watch && !registered) {
        registered = SHAppBarMessage(ABM_NEW, &bar) != 0;
    } else if (!watch && registered) {
        SHAppBarMessage(ABM_REMOVE, &bar);
        registered = false;
    }
}

// An always-on-top clock steps back while a full-screen program (a video,
// a presentation, a game) runs, and comes back on top afterwards.
#include <windows.h>
#include <shellapi.h>

#include "app/app.h"

static bool givingWay;           // the clock is not topmost because of a full-screen program
static HWINEVENTHOOK foreground; // tells of every new foreground window

bool yieldsToFullScreen(int notificationState)
{
    return notificationState == QUNS_BUSY || notificationState == QUNS_RUNNING_D3D_FULL_SCREEN ||
           notificationState == QUNS_PRESENTATION_MODE;
}

// Most full-screen programs are not topmost themselves: the clock goes to
// the bottom of the Z order, under them, which also ends its topmost
// state. Neither step activates the clock, which would take the keyboard
// from the program the user is in.
void yieldToFullScreen(bool fullScreen)
{
    if (fullScreen) {
        // Also after the sheet has applied onTop in the meantime.
        if (GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST)
            SetWindowPos(mainWindow, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else if (givingWay) {
        applyOnTop();
    }
    givingWay = fullScreen;
}

void giveWayToFullScreen()
{
    QUERY_USER_NOTIFICATION_STATE state;
    yieldToFullScreen(SHQueryUserNotificationState(&state) == S_OK && yieldsToFullScreen(state));
}

static void CALLBACK onForegroundChange(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD)
{
    giveWayToFullScreen();
}

// A program that comes to the front in full screen is met at once, not at
// the next tick, which may be a minute away.
void watchForFullScreen(bool watch)
{
    if (watch && !foreground)
        foreground = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                     onForegroundChange, 0, 0, WINEVENT_OUTOFCONTEXT);
    else if (!watch && foreground && UnhookWinEvent(foreground))
        foreground = nullptr;
}

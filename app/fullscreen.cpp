// An always-on-top clock steps back while a full-screen program (a video,
// a presentation, a game) runs, and comes back on top afterwards.
#include <windows.h>
#include <shellapi.h>

#include "app/app.h"

static bool givingWay; // the clock is not topmost because of a full-screen program

bool yieldsToFullScreen(int notificationState)
{
    return notificationState == QUNS_BUSY || notificationState == QUNS_RUNNING_D3D_FULL_SCREEN ||
           notificationState == QUNS_PRESENTATION_MODE;
}

void giveWayToFullScreen()
{
    QUERY_USER_NOTIFICATION_STATE state;
    bool fullScreen = SHQueryUserNotificationState(&state) == S_OK && yieldsToFullScreen(state);
    if (fullScreen) {
        // Also after the sheet has applied onTop in the meantime.
        if (GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST)
            SetWindowPos(mainWindow, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else if (givingWay) {
        applyOnTop();
    }
    givingWay = fullScreen;
}

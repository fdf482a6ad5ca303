// The Calendar dialog: a month calendar and nothing else.
#include <windows.h>
#include <commctrl.h>

#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"

static INT_PTR CALLBACK calendarProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void showCalendar()
{
    // The month calendar's window class exists only once the common
    // controls have registered it.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CALENDAR), mainWindow, calendarProc, 0);
}

// The Calendar dialog: a month calendar and nothing else.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "res/resource.h"
#include "ui/pages.h"
#include "ui/ui.h"

static int width(RECT const &rect)
{
    return rect.right - rect.left;
}

static int height(RECT const &rect)
{
    return rect.bottom - rect.top;
}

// The template's calendar is smaller than a month needs with the dialog
// font: the control, and the dialog around it, grow by what is missing, so
// the margins stay.
static void fitCalendar(HWND dialog)
{
    HWND calendar = GetDlgItem(dialog, IDC_MONTHCAL);
    RECT needed, shown, frame;
    if (!SendMessageA(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&needed)))
        return;
    GetWindowRect(calendar, &shown);
    int dx = std::max(0, width(needed) - width(shown));
    int dy = std::max(0, height(needed) - height(shown));
    if (dx == 0 && dy == 0)
        return;
    SetWindowPos(calendar, nullptr, 0, 0, width(shown) + dx, height(shown) + dy, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, width(frame) + dx, height(frame) + dy, SWP_NOMOVE | SWP_NOZORDER);
}

static BOOL setUpCalendar(HWND dialog)
{
    fitCalendar(dialog);
    keepDialogOnScreen(dialog);
    return FALSE;
}

void showCalendar(HWND owner)
{
    // The month calendar's window class exists only once the common
    // controls have registered it.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    showClosingDialog(owner, IDD_CALENDAR, setUpCalendar);
}

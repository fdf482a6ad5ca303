// The clock's notification-area icon: added, modified and restored after
// the shell starts anew, its callbacks, and the clock's menu at the icon.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/app.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/ui.h"

static NOTIFYICONDATAW trayIcon;
static bool trayIconShown; // the shell holds the icon

// At logon the shell may not take icons yet: the icon is tried again once
// a second for a minute before the clock gives up and says so.
UINT_PTR const trayRetryTimer = 2;
int const trayRetries = 60;
static int trayRetriesLeft;

static UINT taskbarCreated; // sent to every top-level window when the shell starts anew
static bool inRightPress;   // a right press on the tray icon is being handled
static DWORD rightPressEnd; // GetTickCount when the last one was handled

void resetTrayCallbacks()
{
    inRightPress = false;
    rightPressEnd = 0;
    taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
}

// A restarted shell has forgotten every notification icon; a shell whose
// display changed its DPI sends this too, with the icon kept.
bool isTaskbarCreated(UINT message)
{
    return taskbarCreated && message == taskbarCreated;
}

// The small icon at the size the system shows it at that DPI, not one
// stretched from 16 x 16.
HICON loadSmallIcon(UINT dpi)
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON,
                                         metricForDpi(SM_CXSMICON, dpi), metricForDpi(SM_CYSMICON, dpi),
                                         LR_DEFAULTCOLOR));
}

// The notification area lies on the primary display, whose DPI the
// taskbar has.
static UINT taskbarDpi()
{
    return windowDpi(FindWindowA("Shell_TrayWnd", nullptr));
}

// The icon as start-up describes it. At logon NIM_ADD can time out although
// the shell took the icon, so an icon that can be modified counts as shown,
// and the exit removes it. Version 4 brings the keyboard's selection and
// menu key to the clock; the shell forgets it with the icon.
bool addTrayIcon()
{
    trayIconShown = Shell_NotifyIconW(NIM_ADD, &trayIcon) || Shell_NotifyIconW(NIM_MODIFY, &trayIcon);
    if (trayIconShown) {
        trayIcon.uVersion = NOTIFYICON_VERSION_4;
        Shell_NotifyIconW(NIM_SETVERSION, &trayIcon);
    }
    return trayIconShown;
}

void restoreTrayIcon()
{
    HICON old = trayIcon.hIcon;
    trayIcon.hIcon = loadSmallIcon(taskbarDpi());
    addTrayIcon();
    if (old)
        DestroyIcon(old);
}

void focusTrayIcon()
{
    if (trayIconShown)
        Shell_NotifyIconW(NIM_SETFOCUS, &trayIcon);
}

// The shell hears of the tip only when its text changed.
void setTrayTip(wchar_t const *tip)
{
    wchar_t cut[ARRAYSIZE(trayIcon.szTip)];
    lstrcpynW(cut, tip, ARRAYSIZE(cut)); // 127 characters at most
    if (lstrcmpW(cut, trayIcon.szTip) == 0)
        return;
    lstrcpyW(trayIcon.szTip, cut);
    if (trayIconShown)
        Shell_NotifyIconW(NIM_MODIFY, &trayIcon);
}

static void CALLBACK retryTrayIcon(HWND window, UINT, UINT_PTR timer, DWORD)
{
    // A re-created taskbar may have taken the icon in the meantime.
    if (trayIconShown || addTrayIcon()) {
        KillTimer(window, timer);
        return;
    }
    if (--trayRetriesLeft > 0)
        return;
    KillTimer(window, timer);
    MessageBoxA(window, "Shell notify icon is not created!", productName, MB_OK | MB_ICONERROR);
}

// The tip is the clock's words, which the window has set already. The
// icon is identified by window and id, not by a GUID: the shell ties an
// icon's GUID to the path of the program that first used it, and the
// clock may be run from any folder.
void createTrayIcon(HWND window)
{
    trayIcon.cbSize = sizeof trayIcon;
    trayIcon.hWnd = window;
    trayIcon.uID = trayIconId;
    // Version 4 hides the standard tip unless it is asked for.
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    trayIcon.uCallbackMessage = trayCallback;
    trayIcon.hIcon = loadSmallIcon(taskbarDpi());
    if (addTrayIcon())
        return;
    trayRetriesLeft = trayRetries;
    SetTimer(window, trayRetryTimer, 1000, retryTrayIcon);
}

void deleteTrayIcon()
{
    if (trayIconShown)
        Shell_NotifyIconW(NIM_DELETE, &trayIcon);
    trayIconShown = false;
    if (trayIcon.hIcon)
        DestroyIcon(trayIcon.hIcon);
    trayIcon.hIcon = nullptr;
}

static void showMenuAt(POINT at)
{
    TrackPopupMenu(popupMenu, 0, at.x, at.y, 0, mainWindow, nullptr);
}

void showClockMenu()
{
    POINT cursor;
    GetCursorPos(&cursor);
    showMenuAt(cursor);
}

// The tray icon's menu from the keyboard, at the icon, its first item
// selected (the menu's own loop takes the Home key). The clock is in the
// foreground first, so that the menu closes when the user goes elsewhere,
// and a message after it makes the next menu stay open. A menu left with
// Esc gives the keyboard back to the icon.
static void showKeyboardMenu(POINT at)
{
    SetForegroundWindow(mainWindow);
    PostMessageA(mainWindow, WM_KEYDOWN, VK_HOME, 0);
    showMenuAt(at);
    PostMessageA(mainWindow, WM_NULL, 0, 0);
    MSG chosen;
    if (!PeekMessageA(&chosen, mainWindow, WM_COMMAND, WM_COMMAND, PM_NOREMOVE))
        focusTrayIcon();
}

// The shell follows a right click on the icon with WM_CONTEXTMENU, while
// the menu that the press opened is still open or just after it closed.
static bool followsRightPress()
{
    return inRightPress || (rightPressEnd && GetTickCount() - rightPressEnd <= GetDoubleClickTime());
}

// A press on the tray icon shows the clock; the right button also opens
// the menu, but not while a dialog or the property sheet of the clock is
// open. The icon's version 4 puts the event in the low word of lParam and
// the icon's point in wParam; selecting the icon with the keyboard acts as
// a left press, its menu key opens the menu.
LRESULT trayIconNotified(WPARAM anchor, LPARAM event)
{
    switch (LOWORD(event)) {
    case WM_RBUTTONDOWN:
        ShowWindow(mainWindow, SW_SHOWNORMAL);
        SetForegroundWindow(mainWindow);
        inRightPress = true;
        if (IsWindowEnabled(mainWindow)) {
            showClockMenu();
            PostMessageA(mainWindow, WM_NULL, 0, 0);
        }
        inRightPress = false;
        rightPressEnd = GetTickCount();
        dismissAlarms();
        break;
    case WM_LBUTTONDOWN:
    case NIN_SELECT:
    case NIN_KEYSELECT:
        ShowWindow(mainWindow, SW_SHOWNORMAL);
        SetForegroundWindow(mainWindow);
        dismissAlarms();
        break;
    case WM_CONTEXTMENU:
        if (followsRightPress())
            rightPressEnd = 0;
        else if (IsWindowEnabled(mainWindow))
            showKeyboardMenu(POINT{GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)});
        break;
    case NIN_BALLOONUSERCLICK:
        dismissAlarms();
        break;
    }
    return 0;
}

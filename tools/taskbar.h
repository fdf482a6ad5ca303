// Wine's shell lays out its taskbar only when the first notification icon
// arrives, while on Windows it is always there; a clock started before that
// would take the whole desktop for its work area, and the work area would
// change under it once its own icon arrives.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Adds and removes an icon, and waits (a few seconds at most) until the
// taskbar has its place.
inline void bringUpTaskbar()
{
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    NOTIFYICONDATAA icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = 1;
    icon.uFlags = NIF_ICON;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    Shell_NotifyIconA(NIM_ADD, &icon);
    for (int i = 0; i < 50; ++i) {
        RECT taskbar;
        HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
        if (tray && GetWindowRect(tray, &taskbar) && !IsRectEmpty(&taskbar))
            break;
        Sleep(100);
    }
    Shell_NotifyIconA(NIM_DELETE, &icon);
    DestroyWindow(owner);
}

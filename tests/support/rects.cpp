#include "support/rects.h"

bool operator==(RECT const &a, RECT const &b)
{
    return EqualRect(&a, &b) != 0;
}

std::ostream &operator<<(std::ostream &out, RECT const &r)
{
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

RECT square(int left, int top, int side)
{
    return RECT{left, top, left + side, top + side};
}

RECT windowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

RECT desktopCorner(int side)
{
    RECT work = windowRect(GetDesktopWindow()), taskbar = {};
    if (HWND tray = FindWindowA("Shell_TrayWnd", nullptr))
        taskbar = windowRect(tray);
    if (!IsRectEmpty(&taskbar))
        work.bottom = taskbar.top;
    return RECT{work.right - side, work.bottom - side, work.right, work.bottom};
}

#include "support/cursor.h"

bool moveCursor(int x, int y)
{
    DWORD const steady = 150, timeout = 3000;
    DWORD start = GetTickCount(), since = start;
    for (;;) {
        POINT cursor;
        GetCursorPos(&cursor);
        DWORD now = GetTickCount();
        if (cursor.x != x || cursor.y != y) {
            SetCursorPos(x, y);
            since = now;
        } else if (now - since >= steady) {
            return true;
        }
        if (now - start > timeout)
            return false;
        Sleep(20);
    }
}

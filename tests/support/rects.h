// Rectangles in test expectations: compared, printed, and made square.
#pragma once
#include <windows.h>

#include <ostream>

bool operator==(RECT const &a, RECT const &b);
std::ostream &operator<<(std::ostream &out, RECT const &r);
RECT square(int left, int top, int side);
RECT windowRect(HWND window);
// The side x side square in the bottom-right corner of the test desktop's
// work area: the desktop less its taskbar when one is shown (along the
// bottom, full width).
RECT desktopCorner(int side);

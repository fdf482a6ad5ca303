// Rectangles in test expectations: compared, printed, and made square.
#pragma once
#include <windows.h>

#include <ostream>

bool operator==(RECT const &a, RECT const &b);
std::ostream &operator<<(std::ostream &out, RECT const &r);
RECT square(int left, int top, int side);

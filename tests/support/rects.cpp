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

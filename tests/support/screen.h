// The whole screen as it is shown, read pixel by pixel.
#pragma once
#include <windows.h>

#include <vector>

// A screenshot of the virtual screen as 0x00RRGGBB pixels.
class Screenshot {
public:
    Screenshot();
    DWORD at(int x, int y) const
    {
        return pixels[y * width + x] & 0xFFFFFF;
    }

private:
    int width, height;
    std::vector<DWORD> pixels;
};

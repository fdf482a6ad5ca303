// The whole screen as it is shown, read pixel by pixel.
#pragma once
#include <windows.h>

#include <string>
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

// A square of pixels that one run of a test program leaves for another, in
// the folder HALVITRUM_DPI_FRAMES (tests/dpi_scales.sh) under a name; a
// frame that cannot be read is empty.
struct Frame {
    int side = 0;
    std::vector<DWORD> pixels; // side x side, rows top-down
};
bool saveFrame(char const *name, Frame const &frame);
bool loadFrame(char const *name, Frame &frame);

#include "support/screen.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

Screenshot::Screenshot()
{
    width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ initial = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    DWORD const *source = static_cast<DWORD const *>(bits);
    pixels.assign(source, source + width * height);
    SelectObject(memory, initial);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

static std::string framePath(char const *name)
{
    char const *folder = getenv("HALVITRUM_DPI_FRAMES");
    return std::string(folder ? folder : ".") + "\\" + name;
}

bool saveFrame(char const *name, Frame const &frame)
{
    std::ofstream file(framePath(name), std::ios::binary);
    file.write(reinterpret_cast<char const *>(frame.pixels.data()), frame.pixels.size() * sizeof(DWORD));
    return bool(file);
}

bool loadFrame(char const *name, Frame &frame)
{
    std::ifstream file(framePath(name), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    frame.pixels.assign(
        reinterpret_cast<DWORD const *>(bytes.data()),
        reinterpret_cast<DWORD const *>(bytes.data() + bytes.size() / sizeof(DWORD) * sizeof(DWORD)));
    frame.side = int(std::sqrt(double(frame.pixels.size())));
    return !frame.pixels.empty();
}

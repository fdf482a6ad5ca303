#include "support/screen.h"

#include <cstdio>
#include <cstdlib>

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
    FILE *file = fopen(framePath(name).c_str(), "wb");
    if (!file)
        return false;
    fwrite(&frame.side, sizeof frame.side, 1, file);
    fwrite(frame.pixels.data(), sizeof(DWORD), frame.pixels.size(), file);
    return fclose(file) == 0;
}

bool loadFrame(char const *name, Frame &frame)
{
    FILE *file = fopen(framePath(name).c_str(), "rb");
    if (!file)
        return false;
    bool read = fread(&frame.side, sizeof frame.side, 1, file) == 1 && frame.side > 0 && frame.side <= 1024;
    if (read) {
        frame.pixels.resize(size_t(frame.side) * frame.side);
        read = fread(frame.pixels.data(), sizeof(DWORD), frame.pixels.size(), file) == frame.pixels.size();
    }
    fclose(file);
    return read;
}

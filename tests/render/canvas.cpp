#include "canvas.h"

#include <gtest/gtest.h>

#include "render/render.h"
#include "settings/settings.h"

class Canvas : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

private:
    HWND window = nullptr;
};

static testing::Environment *const canvas = testing::AddGlobalTestEnvironment(new Canvas);

void Canvas::SetUp()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "HalvitrumCanvas";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, "HalvitrumCanvas", "", WS_POPUP, 100, 100,
                             surfaceSide, surfaceSide, nullptr, nullptr, windowClass.hInstance, nullptr);
    createDrawingResources(window);
}

void Canvas::TearDown()
{
    releaseDrawingResources();
    DestroyWindow(window);
}

void useTestSettings()
{
    setDefaultOptions(settings);
    settings.showNumbers = 0;
    settings.showLogo = 0;
    settings.showDayOfTheWeek = 0;
    settings.showSeconds = 1;
    settings.useColor = 1;
    settings.colorBackground = testBackground;
    settings.colorMarkers = testMarkers;
    settings.colorRing1 = testRing1;
    settings.colorRing2 = testRing2;
    settings.colorText = testText;
    settings.useImage = 0;
}

SYSTEMTIME moment(int hour, int minute, int second, int day)
{
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = WORD(day);
    time.wHour = WORD(hour);
    time.wMinute = WORD(minute);
    time.wSecond = WORD(second);
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    FileTimeToSystemTime(&file, &time); // fills in the day of the week
    return time;
}

void drawClock(int side, SYSTEMTIME const &now, bool rebuild)
{
    int dirty = rebuild;
    renderClock(faceDC, dirty, frameDC, side, side, now);
}

DWORD facePixel(int x, int y)
{
    return surfacePixels(faceDC)[y * surfaceSide + x];
}

DWORD framePixel(int x, int y)
{
    return surfacePixels(frameDC)[y * surfaceSide + x];
}

DWORD opaque(COLORREF color)
{
    return 0xFF000000u | GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

static std::vector<DWORD> copyOf(HDC dc, int side)
{
    std::vector<DWORD> pixels;
    DWORD const *bits = surfacePixels(dc);
    for (int y = 0; y < side; y++)
        pixels.insert(pixels.end(), bits + y * surfaceSide, bits + y * surfaceSide + side);
    return pixels;
}

std::vector<DWORD> frameCopy(int side)
{
    return copyOf(frameDC, side);
}

std::vector<DWORD> faceCopy(int side)
{
    return copyOf(faceDC, side);
}

bool premultiplied(DWORD const *pixels, int side)
{
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            DWORD p = pixels[y * surfaceSide + x];
            DWORD a = p >> 24;
            if ((p >> 16 & 0xFF) > a || (p >> 8 & 0xFF) > a || (p & 0xFF) > a)
                return false;
        }
    return true;
}

float faceRadius(int side)
{
    return float(side / 2);
}

float faceUnit(int side)
{
    return 2 * faceRadius(side) / 350;
}

#include "canvas.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus::DllExports;

HWND canvasWindow;

class Canvas : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

static testing::Environment *const canvas = testing::AddGlobalTestEnvironment(new Canvas);

void Canvas::SetUp()
{
    mainFace.surfaceSide = 768; // room for the largest clock at 200 %
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "HalvitrumCanvas";
    RegisterClassA(&windowClass);
    canvasWindow = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, "HalvitrumCanvas", "", WS_POPUP, 100,
                                   100, mainFace.surfaceSide, mainFace.surfaceSide, nullptr, nullptr,
                                   windowClass.hInstance, nullptr);
    ShowWindow(canvasWindow, SW_SHOWNOACTIVATE); // a hidden window is not drawn
    createDrawingResources(mainFace, canvasWindow);
}

void Canvas::TearDown()
{
    releaseDrawingResources(mainFace);
    DestroyWindow(canvasWindow);
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
    settings.opacity = 100;
    mainFace.marks = {}; // no alarm hand, no timer
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
    mainFace.faceDirty = rebuild;
    renderClock(mainFace, side, side, now);
    // The face's report of a picture without width, taken over as the clock does.
    if (pictureUnusable) {
        settings.useImage = 0;
        pictureUnusable = 0;
    }
}

DWORD facePixel(int x, int y)
{
    return surfacePixels(mainFace.faceDC)[y * mainFace.surfaceSide + x];
}

DWORD framePixel(int x, int y)
{
    return surfacePixels(mainFace.frameDC)[y * mainFace.surfaceSide + x];
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
        pixels.insert(pixels.end(), bits + y * mainFace.surfaceSide, bits + y * mainFace.surfaceSide + side);
    return pixels;
}

std::vector<DWORD> frameCopy(int side)
{
    return copyOf(mainFace.frameDC, side);
}

std::vector<DWORD> faceCopy(int side)
{
    return copyOf(mainFace.faceDC, side);
}

bool premultiplied(DWORD const *pixels, int side)
{
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            DWORD p = pixels[y * mainFace.surfaceSide + x];
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

std::wstring makePicture()
{
    std::vector<DWORD> pixels(300 * 200);
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 300; x++) {
            DWORD quarters[] = {0xFFFF8000, 0xFF0000C0, 0xFFC0C000, 0xFFC000C0};
            bool band = x < 50 || x >= 250;
            pixels[y * 300 + x] = band ? 0xFF808080 : quarters[(y >= 100) * 2 + (x >= 150)];
        }
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"halvitrum-picture.bmp";
    Gdiplus::GpBitmap *bitmap = nullptr;
    GdipCreateBitmapFromScan0(300, 200, 300 * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE *>(pixels.data()),
                              &bitmap);
    CLSID bmp = {0x557cf400, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    GdipSaveImageToFile(bitmap, path.c_str(), &bmp, nullptr);
    GdipDisposeImage(bitmap);
    return path;
}

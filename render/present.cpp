// The drawing resources of the main window and the layered-window redraw.
#include <windows.h>
#include <gdiplus.h>

#include "alarms/alarms.h"
#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

HWND mainWindow;
int faceDirty;
HDC frameDC;
HDC faceDC;
BackgroundImage *backgroundImage;

// While a DIB section is selected these hold the contexts' initial bitmaps.
static HBITMAP frameBitmap;
static HBITMAP faceBitmap;

static HBITMAP createSurface(HDC screen)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = surfaceSide;
    info.bmiHeader.biHeight = -surfaceSide; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits;
    return CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

static int localeFlag(LCTYPE type, char const *value)
{
    char text[260] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
    return lstrcmpA(text, value) == 0;
}

static void disposeBackgroundImage()
{
    if (backgroundImage && backgroundImage->image)
        GdipDisposeImage(backgroundImage->image);
    delete backgroundImage;
    backgroundImage = nullptr;
}

void createDrawingResources(HWND window)
{
    mainWindow = window;
    HDC screen = GetDC(window);
    frameDC = CreateCompatibleDC(screen);
    faceDC = CreateCompatibleDC(screen);
    frameBitmap = createSurface(screen);
    faceBitmap = createSurface(screen);
    frameBitmap = static_cast<HBITMAP>(SelectObject(frameDC, frameBitmap));
    faceBitmap = static_cast<HBITMAP>(SelectObject(faceDC, faceBitmap));
    ReleaseDC(window, screen);
    loadBackgroundImage();
    mondayFirst = localeFlag(LOCALE_IFIRSTDAYOFWEEK, "0");
    use24Hour = localeFlag(LOCALE_ITIME, "1");
}

void releaseDrawingResources()
{
    if (!frameDC || !faceDC)
        return;
    frameBitmap = static_cast<HBITMAP>(SelectObject(frameDC, frameBitmap));
    faceBitmap = static_cast<HBITMAP>(SelectObject(faceDC, faceBitmap));
    DeleteObject(frameBitmap);
    DeleteObject(faceBitmap);
    DeleteDC(frameDC);
    DeleteDC(faceDC);
    frameDC = faceDC = nullptr;
    frameBitmap = faceBitmap = nullptr;
    disposeBackgroundImage();
}

void loadBackgroundImage()
{
    disposeBackgroundImage();
    backgroundImage = new BackgroundImage{nullptr};
    GdipLoadImageFromFile(settings.imagePath, &backgroundImage->image);
}

UINT backgroundWidth()
{
    UINT width = 0;
    if (backgroundImage && backgroundImage->image && GdipGetImageWidth(backgroundImage->image, &width) != Ok)
        width = 0;
    return width;
}

UINT backgroundHeight()
{
    UINT height = 0;
    if (backgroundImage && backgroundImage->image &&
        GdipGetImageHeight(backgroundImage->image, &height) != Ok)
        height = 0;
    return height;
}

DWORD *surfacePixels(HDC dc)
{
    DIBSECTION section;
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bitmap || GetObjectA(bitmap, sizeof section, &section) != sizeof section)
        return nullptr;
    return static_cast<DWORD *>(section.dsBm.bmBits);
}

void redrawClock()
{
    // Nothing is drawn once the resources are gone.
    if (!frameDC || !faceDC)
        return;
    RECT client;
    GetClientRect(mainWindow, &client);
    SIZE size = {client.right - client.left, client.bottom - client.top};
    SYSTEMTIME now;
    GetLocalTime(&now);
    renderClock(faceDC, faceDirty, frameDC, size.cx, size.cy, now);
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (!UpdateLayeredWindow(mainWindow, nullptr, nullptr, &size, frameDC, &source, 0, &blend, ULW_ALPHA))
        GetLastError();
}

// The drawing resources of the main window and the layered-window redraw.
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>

#include <algorithm>

#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

static HWND clockWindow; // the layered window that is presented to
int faceDirty;
int frameDirty;
HDC frameDC;
HDC faceDC;
BackgroundImage *backgroundImage;
int surfaceSide = 384;

// While a DIB section is selected these hold the contexts' initial bitmaps.
static HBITMAP frameBitmap;
static HBITMAP faceBitmap;

DWORD const maximumPictureBytes = 256u << 20;

static HBITMAP createSurface(HDC screen, int side)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits;
    return CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

static void disposeBackgroundImage()
{
    if (backgroundImage && backgroundImage->image)
        GdipDisposeImage(backgroundImage->image);
    if (backgroundImage && backgroundImage->bytes)
        backgroundImage->bytes->Release();
    delete backgroundImage;
    backgroundImage = nullptr;
}

void createDrawingResources(HWND window)
{
    clockWindow = window;
    HDC screen = GetDC(window);
    frameDC = CreateCompatibleDC(screen);
    faceDC = CreateCompatibleDC(screen);
    frameBitmap = createSurface(screen, surfaceSide);
    faceBitmap = createSurface(screen, surfaceSide);
    frameBitmap = static_cast<HBITMAP>(SelectObject(frameDC, frameBitmap));
    faceBitmap = static_cast<HBITMAP>(SelectObject(faceDC, faceBitmap));
    ReleaseDC(window, screen);
    frameDirty = 1; // the new frame holds nothing yet
    loadBackgroundImage();
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

// The picture is decoded from a copy of the file in memory: an image loaded
// from the file itself keeps it locked, so the user could neither edit nor
// replace the picture while the clock shows it.
static IStream *readWholeFile(wchar_t const *path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    IStream *stream = nullptr;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= maximumPictureBytes) {
        DWORD bytes = static_cast<DWORD>(size.QuadPart), read = 0;
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            void *data = GlobalLock(memory);
            bool complete = ReadFile(file, data, bytes, &read, nullptr) && read == bytes;
            GlobalUnlock(memory);
            if (!complete || CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
                GlobalFree(memory);
                stream = nullptr;
            }
        }
    }
    CloseHandle(file);
    return stream;
}

void loadBackgroundImage()
{
    disposeBackgroundImage();
    wchar_t path[MAX_PATH];
    IStream *bytes = programFilePath(settings.imagePath, path) ? readWholeFile(path) : nullptr;
    backgroundImage = new BackgroundImage{nullptr, bytes};
    if (backgroundImage->bytes)
        GdipLoadImageFromStream(backgroundImage->bytes, &backgroundImage->image);
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
    SYSTEMTIME now;
    GetLocalTime(&now);
    redrawClockAt(now);
}

// Makes both bitmaps again when the window has outgrown them; they hold
// nothing then, so the face and the whole frame are drawn anew. Whether
// the bitmaps hold a side of that size.
static bool fitSurfaces(int side)
{
    if (side <= surfaceSide)
        return true;
    HDC screen = GetDC(clockWindow);
    HBITMAP frame = createSurface(screen, side), face = createSurface(screen, side);
    ReleaseDC(clockWindow, screen);
    if (!frame || !face) {
        DeleteObject(frame);
        DeleteObject(face);
        return false;
    }
    DeleteObject(SelectObject(frameDC, frame));
    DeleteObject(SelectObject(faceDC, face));
    surfaceSide = side;
    faceDirty = frameDirty = 1;
    return true;
}

// The window's constant alpha for an opacity in per cent; the frame's own
// alpha still shapes the rim. An opacity out of range is full.
BYTE constantAlpha(int opacity)
{
    if (opacity < minimumOpacity || opacity > fullOpacity)
        return 255;
    return BYTE(MulDiv(opacity, 255, fullOpacity));
}

void redrawClockAt(SYSTEMTIME const &now)
{
    // Nothing is drawn once the resources are gone, nor while the window is
    // hidden.
    if (!frameDC || !faceDC || !IsWindowVisible(clockWindow))
        return;
    RECT client;
    GetClientRect(clockWindow, &client);
    SIZE size = {client.right - client.left, client.bottom - client.top};
    // Without memory for larger bitmaps the clock shows what they hold.
    if (!fitSurfaces(std::max(size.cx, size.cy))) {
        size.cx = std::min<LONG>(size.cx, surfaceSide);
        size.cy = std::min<LONG>(size.cy, surfaceSide);
    }
    RECT change = renderClock(faceDC, faceDirty, frameDC, size.cx, size.cy, now);
    if (IsRectEmpty(&change))
        return; // the window shows this picture already
    // Only the changed part is handed over; the window keeps the rest.
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha(settings.opacity), AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO update = {sizeof update, nullptr, nullptr, &size,     frameDC,
                                      &source,       0,       &blend,  ULW_ALPHA, &change};
    // A frame the window did not take is handed over whole next time.
    if (!UpdateLayeredWindowIndirect(clockWindow, &update))
        frameDirty = 1;
}

// The drawing resources of the main window and the layered-window redraw.
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>

#include <algorithm>

#include "render/drawing.h"
#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

ClockFace mainFace;
BackgroundImage *backgroundImage;

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

// GDI+ is delay-loaded, and the thunk through which the first call into
// each of its functions passes (made by dlltool of binutils 2.40) keeps the
// integer argument registers but not xmm0 to xmm3: that first call loses
// the floating-point arguments it passes in registers. GdipCreateMatrix2's
// scale became 0, and the face's first outline label (the date) a line at
// x 0. The functions that take such arguments are bound here by one call
// each that draws nothing, before anything is drawn; every other GDI+
// function takes its arguments in integer registers or on the stack.
static void bindDrawingLibrary()
{
    static bool bound;
    if (bound)
        return;
    bound = true;
    GpMatrix *matrix = nullptr;
    if (GdipCreateMatrix2(1, 0, 0, 1, 0, 0, &matrix) == Ok)
        GdipDeleteMatrix(matrix);
    GpFont *font = nullptr;
    GdipCreateFont(nullptr, 1, FontStyleRegular, UnitPixel, &font);
    GdipFlattenPath(nullptr, nullptr, 1);
    GdipDrawImageRectRect(nullptr, nullptr, 0, 0, 1, 1, 0, 0, 1, 1, UnitPixel, nullptr, nullptr, nullptr);
}

// The picture is shared by every face: the main clock's resources load
// and free it.
void createDrawingResources(ClockFace &face, HWND window)
{
    bindDrawingLibrary();
    face.window = window;
    HDC screen = GetDC(window);
    face.frameDC = CreateCompatibleDC(screen);
    face.faceDC = CreateCompatibleDC(screen);
    face.frameBitmap = createSurface(screen, face.surfaceSide);
    face.faceBitmap = createSurface(screen, face.surfaceSide);
    face.frameBitmap = static_cast<HBITMAP>(SelectObject(face.frameDC, face.frameBitmap));
    face.faceBitmap = static_cast<HBITMAP>(SelectObject(face.faceDC, face.faceBitmap));
    ReleaseDC(window, screen);
    face.frameDirty = 1; // the new frame holds nothing yet
    if (&face == &mainFace)
        loadBackgroundImage();
}

void releaseDrawingResources(ClockFace &face)
{
    if (!face.frameDC || !face.faceDC)
        return;
    face.frameBitmap = static_cast<HBITMAP>(SelectObject(face.frameDC, face.frameBitmap));
    face.faceBitmap = static_cast<HBITMAP>(SelectObject(face.faceDC, face.faceBitmap));
    DeleteObject(face.frameBitmap);
    DeleteObject(face.faceBitmap);
    DeleteDC(face.frameDC);
    DeleteDC(face.faceDC);
    face.frameDC = face.faceDC = nullptr;
    face.frameBitmap = face.faceBitmap = nullptr;
    forgetHands(face);
    forgetSector(face);
    if (&face == &mainFace)
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

DWORD *surfacePixels(HDC dc, int *side)
{
    DIBSECTION section;
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bitmap || GetObjectA(bitmap, sizeof section, &section) != sizeof section)
        return nullptr;
    if (side)
        *side = section.dsBm.bmWidthBytes / 4;
    return static_cast<DWORD *>(section.dsBm.bmBits);
}

void redrawClock(ClockFace &face)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    redrawClockAt(face, now);
}

// Makes both bitmaps again when the window has outgrown them; they hold
// nothing then, so the face and the whole frame are drawn anew. Whether
// the bitmaps hold a side of that size.
static bool fitSurfaces(ClockFace &face, int side)
{
    if (side <= face.surfaceSide)
        return true;
    HDC screen = GetDC(face.window);
    HBITMAP frame = createSurface(screen, side), cache = createSurface(screen, side);
    ReleaseDC(face.window, screen);
    if (!frame || !cache) {
        DeleteObject(frame);
        DeleteObject(cache);
        return false;
    }
    DeleteObject(SelectObject(face.frameDC, frame));
    DeleteObject(SelectObject(face.faceDC, cache));
    face.surfaceSide = side;
    face.faceDirty = face.frameDirty = 1;
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

void redrawClockAt(ClockFace &face, SYSTEMTIME const &now)
{
    // Nothing is drawn once the resources are gone, nor while the window is
    // hidden.
    if (!face.frameDC || !face.faceDC || !IsWindowVisible(face.window))
        return;
    RECT client;
    GetClientRect(face.window, &client);
    SIZE size = {client.right - client.left, client.bottom - client.top};
    // Without memory for larger bitmaps the clock shows what they hold.
    if (!fitSurfaces(face, std::max(size.cx, size.cy))) {
        size.cx = std::min<LONG>(size.cx, face.surfaceSide);
        size.cy = std::min<LONG>(size.cy, face.surfaceSide);
    }
    RECT change = renderClock(face, size.cx, size.cy, now);
    if (IsRectEmpty(&change))
        return; // the window shows this picture already
    // Only the changed part is handed over; the window keeps the rest.
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha(settings.opacity), AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO update = {sizeof update, nullptr, nullptr, &size,     face.frameDC,
                                      &source,       0,       &blend,  ULW_ALPHA, &change};
    // A frame the window did not take is handed over whole next time.
    if (!UpdateLayeredWindowIndirect(face.window, &update))
        face.frameDirty = 1;
}

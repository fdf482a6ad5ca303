#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include "canvas.h"
#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus::DllExports;

TEST(Font, ZorqueResolves)
{
    Gdiplus::GpFontFamily *family = nullptr;
    ASSERT_EQ(Gdiplus::Ok, GdipCreateFontFamilyFromName(L"Zorque", nullptr, &family));
    wchar_t name[LF_FACESIZE] = L"";
    GdipGetFamilyName(family, name, 0);
    EXPECT_STREQ(L"Zorque", name);
    GdipDeleteFontFamily(family);
}

static void reportFirstNotPremultiplied(DWORD const *pixels, int side, char const *what)
{
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            DWORD p = pixels[y * mainFace.surfaceSide + x];
            DWORD a = p >> 24;
            if ((p >> 16 & 0xFF) > a || (p >> 8 & 0xFF) > a || (p & 0xFF) > a) {
                ADD_FAILURE() << what << " pixel " << x << "," << y << " = " << std::hex << p;
                return;
            }
        }
}

TEST(Premultiplied, EveryPixelOfEveryFrame)
{
    for (int side : {144, 256, 384}) {
        useTestSettings();
        settings.showNumbers = 1;
        settings.showLogo = 2;
        settings.showDayOfTheWeek = 1;
        drawClock(side, moment(10, 10, 40));
        reportFirstNotPremultiplied(surfacePixels(mainFace.faceDC), side, "face");
        reportFirstNotPremultiplied(surfacePixels(mainFace.frameDC), side, "frame");
        settings.showLogo = 1;
        settings.showDayOfTheWeek = 2;
        drawClock(side, moment(4, 45, 10));
        reportFirstNotPremultiplied(surfacePixels(mainFace.faceDC), side, "face");
        reportFirstNotPremultiplied(surfacePixels(mainFace.frameDC), side, "frame");
    }
}

TEST(Premultiplied, EveryPixelOfAPictureDial)
{
    std::wstring path = makePicture();
    useTestSettings();
    settings.showNumbers = 1;
    settings.showLogo = 2;
    settings.showDayOfTheWeek = 2;
    lstrcpyW(settings.imagePath, path.c_str());
    loadBackgroundImage();
    for (int side : {144, 256, 384}) {
        settings.useImage = 1;
        drawClock(side, moment(8, 20, 40));
        ASSERT_EQ(1, settings.useImage);
        reportFirstNotPremultiplied(surfacePixels(mainFace.faceDC), side, "face");
        reportFirstNotPremultiplied(surfacePixels(mainFace.frameDC), side, "frame");
    }
    DeleteFileW(path.c_str());
    lstrcpyW(settings.imagePath, L"rose.jpg");
    loadBackgroundImage();
}

// A day of ticks in two minutes: each tick draws only what changed, yet the
// frame stays what a whole drawing of the moment gives.
TEST(Present, TicksLeaveNoTrails)
{
    int const side = 384;
    useTestSettings();
    settings.showLogo = 2;
    settings.logoType = 0; // the date, which changes at midnight
    settings.showDayOfTheWeek = 2;
    FILETIME start;
    SYSTEMTIME first = moment(23, 58, 30);
    SystemTimeToFileTime(&first, &start);
    std::vector<DWORD> previous;
    int lastDay = 0, presented = 0;
    SYSTEMTIME now = first;
    for (int tick = 0; tick <= 120; tick++) {
        ULARGE_INTEGER at = {{start.dwLowDateTime, start.dwHighDateTime}};
        at.QuadPart += tick * 10000000ull;
        FILETIME file = {at.LowPart, at.HighPart};
        FileTimeToSystemTime(&file, &now);
        mainFace.faceDirty = now.wDay != lastDay;
        lastDay = now.wDay;
        RECT change = renderClock(mainFace, side, side, now);
        std::vector<DWORD> frame = frameCopy(side);
        if (!previous.empty()) {
            int outside = 0;
            for (int y = 0; y < side; y++)
                for (int x = 0; x < side; x++) {
                    POINT p = {x, y};
                    outside += frame[y * side + x] != previous[y * side + x] && !PtInRect(&change, p);
                }
            EXPECT_EQ(0, outside) << now.wHour << ":" << now.wMinute << ":" << now.wSecond;
            presented += (change.right - change.left) * (change.bottom - change.top);
        }
        previous = frame;
    }
    EXPECT_EQ(8, now.wDay);
    EXPECT_EQ(30, now.wSecond);
    // Most ticks hand over much less than the whole frame.
    EXPECT_LT(presented, 120 * side * side / 3);
    drawClock(side, now);
    EXPECT_EQ(previous, frameCopy(side));
}

// What GDI+ writes into a cleared 32-bit DIB section for translucent
// colours and anti-aliased text: colour channels scaled by their alpha.
TEST(Premultiplied, GdiplusWritesPremultipliedIntoDibSections)
{
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, 64, -64, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ initial = SelectObject(dc, bitmap);
    DWORD const *pixels = static_cast<DWORD const *>(bits);

    Gdiplus::GpGraphics *graphics = nullptr;
    GdipCreateFromHDC(dc, &graphics);
    GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeHighQuality);
    GdipGraphicsClear(graphics, 0);
    Gdiplus::GpSolidFill *brush = nullptr;
    GdipCreateSolidFill(0xC0FF8000, &brush);
    GdipFillRectangleI(graphics, brush, 0, 0, 16, 16);
    GdipSetSolidFillColor(brush, 0x30FFFFFF);
    GdipFillRectangleI(graphics, brush, 16, 0, 16, 16);
    Gdiplus::GpFontFamily *family = nullptr;
    GdipCreateFontFamilyFromName(L"Zorque", nullptr, &family);
    Gdiplus::GpFont *font = nullptr;
    GdipCreateFont(family, 30, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel, &font);
    GdipSetSolidFillColor(brush, 0xFFFFFFFF);
    Gdiplus::RectF layout(0, 20, 64, 44);
    GdipDrawString(graphics, L"Wg", -1, font, &layout, nullptr, brush);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(family);
    GdipDeleteBrush(brush);
    GdipDeleteGraphics(graphics);

    EXPECT_EQ(0xC0C06000u, pixels[8 * 64 + 8] & 0xFFFEFEFEu) << std::hex << pixels[8 * 64 + 8];
    EXPECT_EQ(0x30303030u, pixels[8 * 64 + 24]) << std::hex << pixels[8 * 64 + 24];
    int partial = 0;
    for (int i = 20 * 64; i < 64 * 64; i++) {
        DWORD a = pixels[i] >> 24;
        if (a > 0 && a < 255)
            partial++;
        EXPECT_EQ(a * 0x010101u, pixels[i] & 0xFFFFFF) << i % 64 << "," << i / 64;
    }
    EXPECT_GT(partial, 0); // the text's edges are anti-aliased

    SelectObject(dc, initial);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(Present, RedrawKeepsThePlaceAndShowsTheClientSize)
{
    useTestSettings();
    for (int side : {144, 256, 384}) {
        SetWindowPos(canvasWindow, nullptr, 120, 80, side, side, SWP_NOZORDER | SWP_NOACTIVATE);
        mainFace.faceDirty = 1;
        redrawClock(mainFace);
        EXPECT_EQ(0, mainFace.faceDirty);
        RECT window;
        GetWindowRect(canvasWindow, &window);
        EXPECT_EQ(120, window.left);
        EXPECT_EQ(80, window.top);
        EXPECT_EQ(side, window.right - window.left);
        EXPECT_EQ(side, window.bottom - window.top);
        EXPECT_EQ(opaque(testRing1), framePixel(side / 2, side / 2));
        EXPECT_TRUE(premultiplied(surfacePixels(mainFace.frameDC), side));
    }
}

TEST(Present, NothingIsDrawnOnceReleased)
{
    HWND window = canvasWindow;
    releaseDrawingResources(mainFace);
    EXPECT_EQ(nullptr, mainFace.frameDC);
    EXPECT_EQ(nullptr, mainFace.faceDC);
    EXPECT_EQ(nullptr, backgroundImage);
    mainFace.faceDirty = 1;
    redrawClock(mainFace);
    EXPECT_EQ(1, mainFace.faceDirty);
    releaseDrawingResources(mainFace); // a second release finds nothing to free
    createDrawingResources(mainFace, window);
    ASSERT_NE(nullptr, surfacePixels(mainFace.frameDC));
    redrawClock(mainFace);
    EXPECT_EQ(0, mainFace.faceDirty);
}

// The clock drawing routine: the common set-up, the cached face (rings,
// dial or picture, ticks, numbers, logo, day label) and the copy of the
// face into the frame, over which the hands are drawn.
#include <windows.h>
#include <gdiplus.h>

#include <cmath>

#include "app/app.h"
#include "render/drawing.h"
#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

static wchar_t const fontName[] = L"Zorque";
static wchar_t const *const dayLabels[] = {L"Su", L"Mo", L"Tu", L"We", L"Th", L"Fr", L"Sa"};

BYTE const labelAlpha = 0xC0;

// COLORREF 0x00BBGGRR to opaque ARGB 0xFFRRGGBB.
static ARGB opaque(COLORREF color)
{
    return 0xFF000000u | GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

// The colour roles: the chosen colours, or the system colours of this moment.
static void chooseColors(ClockDrawing &drawing)
{
    bool own = settings.useColor == 1;
    drawing.background = opaque(own ? settings.colorBackground : GetSysColor(COLOR_BTNFACE));
    drawing.markers = opaque(own ? settings.colorMarkers : GetSysColor(COLOR_BTNHIGHLIGHT));
    drawing.ring1 = opaque(own ? settings.colorRing1 : GetSysColor(COLOR_BTNSHADOW));
    drawing.ring2 = opaque(own ? settings.colorRing2 : GetSysColor(COLOR_BTNTEXT));
    drawing.text = opaque(own ? settings.colorText : GetSysColor(COLOR_BTNTEXT));
}

void addRoundRect(GpPath *path, int x, int y, int c, int d)
{
    GdipResetPath(path);
    GdipSetPathFillMode(path, FillModeWinding);
    GdipAddPathArcI(path, x - c, y - c, 2 * d, 2 * d, 180, 90);
    GdipAddPathArcI(path, x + c - 2 * d, y - c, 2 * d, 2 * d, 270, 90);
    GdipAddPathArcI(path, x + c - 2 * d, y + c - 2 * d, 2 * d, 2 * d, 0, 90);
    GdipAddPathArcI(path, x - c, y + c - 2 * d, 2 * d, 2 * d, 90, 90);
    GdipClosePathFigure(path);
}

// The picture's largest centred square, scaled to the dial and cut to its
// circle. Whether it was drawn; a picture without width switches the
// picture off for good.
static bool drawPicture(GpGraphics *graphics, int cx, int cy, float R3)
{
    UINT w = backgroundWidth();
    if (w == 0) {
        settings.useImage = 0;
        return false;
    }
    UINT h = backgroundHeight();
    UINT side = w < h ? w : h;
    UINT sx = (w - side) / 2;
    UINT sy = (h - side) / 2;

    GpPath *path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    GdipAddPathEllipse(path, cx - R3, cy - R3, 2 * R3, 2 * R3);
    GpRegion *dial = nullptr;
    GdipCreateRegionPath(path, &dial);
    GpRegion *saved = nullptr;
    GdipCreateRegion(&saved);
    GdipGetClip(graphics, saved);
    GdipSetClipRegion(graphics, dial, CombineModeReplace);

    GdipSetInterpolationMode(graphics, InterpolationModeBicubic);
    GdipDrawImageRectRect(graphics, backgroundImage->image, cx - R3, cy - R3, 2 * R3, 2 * R3, sx, sy, side,
                          side, UnitPixel, nullptr, nullptr, nullptr);

    GdipSetClipRegion(graphics, saved, CombineModeReplace);
    GdipDeleteRegion(saved);
    GdipDeleteRegion(dial);
    GdipDeletePath(path);
    return true;
}

static void drawTicks(GpGraphics *graphics, GpPen *pen, ClockDrawing const &drawing, float R4)
{
    for (int i = 0; i < 60; i++) {
        double a = 6 * i * k;
        float s = float(std::sin(a));
        float c = float(std::cos(a));
        float inner = 0.95f * R4;
        GdipSetPenWidth(pen, i % 5 == 0 ? 8 * drawing.u : drawing.u);
        GdipDrawLine(graphics, pen, drawing.cx + R4 * s, drawing.cy - R4 * c, drawing.cx + inner * s,
                     drawing.cy - inner * c);
    }
}

static void drawNumbers(GpGraphics *graphics, GpSolidFill *brush, ClockDrawing const &drawing, float R4)
{
    float u = drawing.u;
    GpFont *font = nullptr;
    GdipCreateFont(drawing.family, 43 * u, FontStyleRegular, UnitPixel, &font);
    GdipSetSolidFillColor(brush, drawing.text);
    int step = settings.showNumbers == 1 ? 5 : 15;
    int rn = int(0.8f * R4);
    for (int i = 0; i < 60; i += step) {
        double a = 6 * i * k;
        int label = i == 0 ? 12 : i / 5;
        wchar_t text[16];
        wsprintfW(text, L"%d", label);
        int px = drawing.cx + int(rn * std::sin(a));
        int py = drawing.cy - int(rn * std::cos(a));
        float dx = label == 10 || label == 3 ? 5 * u : label == 9 ? -3 * u : 0;
        RectF layout(px - 70 + dx, py - 70 + 4 * u, 140, 140);
        GdipDrawString(graphics, text, -1, font, &layout, drawing.format, brush);
    }
    GdipDeleteFont(font);
}

// A face label, solid in the text colour or as an outline filled with the
// markers colour; both at the labels' alpha.
static void drawLabel(GpGraphics *graphics, GpSolidFill *brush, GpPen *pen, ClockDrawing const &drawing,
                      wchar_t const *text, RectF const &layout, int mode, float solidSize, float contourSize,
                      float outlineWidth)
{
    if (mode == 1) {
        GpFont *font = nullptr;
        GdipCreateFont(drawing.family, solidSize, FontStyleRegular, UnitPixel, &font);
        GdipSetSolidFillColor(brush, withAlpha(drawing.text, labelAlpha));
        GdipDrawString(graphics, text, -1, font, &layout, drawing.format, brush);
        GdipDeleteFont(font);
        return;
    }
    // Wine centres a path string vertically only in a layout rectangle
    // that starts high enough, so the outline is laid out at the top and
    // then moved down into place; the outcome is the same everywhere.
    GpPath *path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    RectF atTop(layout.X, 0, layout.Width, layout.Height);
    GdipAddPathString(path, text, -1, drawing.family, FontStyleRegular, contourSize, &atTop, drawing.format);
    GpMatrix *down = nullptr;
    GdipCreateMatrix2(1, 0, 0, 1, 0, layout.Y, &down);
    GdipTransformPath(path, down);
    GdipDeleteMatrix(down);
    GdipSetSolidFillColor(brush, withAlpha(drawing.markers, labelAlpha));
    GdipFillPath(graphics, brush, path);
    GdipSetPenWidth(pen, outlineWidth);
    GdipSetPenColor(pen, withAlpha(drawing.text, labelAlpha));
    GdipDrawPath(graphics, pen, path);
    GdipDeletePath(path);
}

static void drawLogo(GpGraphics *graphics, GpSolidFill *brush, GpPen *pen, ClockDrawing const &drawing,
                     float R4)
{
    wchar_t text[2 * textUnits] = L"";
    if (settings.logoType == 0)
        GetDateFormatW(0, 0, &drawing.now, nullptr, text, 2 * textUnits);
    else
        lstrcpynW(text, settings.logoText, textUnits);
    RectF layout(drawing.cx - R4, float(drawing.cy), 2 * R4, 2 * R4 / 3);
    float u = drawing.u;
    drawLabel(graphics, brush, pen, drawing, text, layout, settings.showLogo, 33 * u, 33 * u, u / 5);
}

static void drawDayOfTheWeek(GpGraphics *graphics, GpSolidFill *brush, GpPen *pen,
                             ClockDrawing const &drawing, float R4, bool pictureInUse)
{
    if (!pictureInUse) {
        int c = int(R4 / 5);
        int d = c / 4;
        GpPath *box = nullptr;
        GdipCreatePath(FillModeAlternate, &box);
        addRoundRect(box, drawing.cx + int(R4 / 2.5f), drawing.cy, c, d);
        GdipSetPenWidth(pen, 3);
        GdipSetPenColor(pen, drawing.ring1);
        GdipDrawPath(graphics, pen, box);
        GdipSetSolidFillColor(brush, drawing.background);
        GdipFillPath(graphics, brush, box);
        GdipDeletePath(box);
    }
    float u = drawing.u;
    RectF layout(float(drawing.cx), drawing.cy - R4 + 4 * u, 0.8f * R4, 2 * R4);
    drawLabel(graphics, brush, pen, drawing, dayLabels[drawing.now.wDayOfWeek % 7], layout,
              settings.showDayOfTheWeek, 40 * u, 43 * u, u);
}

// Rebuilds the static face in the face cache; everything outside the
// outer ring stays fully transparent.
static void drawFace(HDC face, ClockDrawing const &drawing)
{
    int cx = drawing.cx, cy = drawing.cy;
    float R = drawing.R;
    float R1 = 0.99f * R;
    float R2 = 0.9f * R1;
    float R3 = 0.97f * R2;
    float R4 = 0.97f * R3;

    GpGraphics *graphics = nullptr;
    GdipCreateFromHDC(face, &graphics);
    GdipSetSmoothingMode(graphics, SmoothingModeHighQuality);
    GdipGraphicsClear(graphics, 0x00000000);

    GpSolidFill *brush = nullptr;
    GdipCreateSolidFill(drawing.background, &brush);
    // The gradient runs over the whole face's diagonal whatever ring it fills.
    GpPointF topLeft(cx - R, cy - R), bottomRight(cx + R, cy + R);
    GpLineGradient *gradient = nullptr;
    GdipCreateLineBrush(&topLeft, &bottomRight, 0x40000000, 0xFF000000, WrapModeTile, &gradient);

    GdipSetLineColors(gradient, drawing.ring1, drawing.ring2);
    fillDisc(graphics, gradient, cx, cy, R1);
    GdipSetLineColors(gradient, drawing.ring2, drawing.ring1);
    fillDisc(graphics, gradient, cx, cy, R2);

    bool pictureDrawn = settings.useImage == 1 && backgroundImage && drawPicture(graphics, cx, cy, R3);
    if (!pictureDrawn)
        fillDisc(graphics, brush, cx, cy, R3);

    GpPen *pen = nullptr;
    GdipCreatePen1(drawing.text, 1, UnitWorld, &pen);
    GdipSetPenEndCap(pen, LineCapTriangle);
    drawTicks(graphics, pen, drawing, R4);
    if (settings.showNumbers != 0)
        drawNumbers(graphics, brush, drawing, R4);
    if (settings.showLogo != 0)
        drawLogo(graphics, brush, pen, drawing, R4);
    if (settings.showDayOfTheWeek != 0)
        drawDayOfTheWeek(graphics, brush, pen, drawing, R4, settings.useImage != 0 && backgroundImage);

    GdipDeletePen(pen);
    GdipDeleteBrush(gradient);
    GdipDeleteBrush(brush);
    GdipDeleteGraphics(graphics);
}

void renderClock(HDC face, int &dirty, HDC frame, int width, int height, SYSTEMTIME const &now)
{
    ClockDrawing drawing = {};
    drawing.cx = width / 2;
    drawing.cy = height / 2;
    drawing.R = float(drawing.cx < drawing.cy ? drawing.cx : drawing.cy);
    drawing.u = 2 * drawing.R / 350;
    drawing.now = now;
    chooseColors(drawing);
    createFontFamily(fontName, &drawing.family);
    GdipCreateStringFormat(0, 0, &drawing.format);
    GdipSetStringFormatAlign(drawing.format, StringAlignmentCenter);
    GdipSetStringFormatLineAlign(drawing.format, StringAlignmentCenter);

    if (dirty) {
        dirty = 0;
        drawFace(face, drawing);
    }
    BitBlt(frame, 0, 0, width, height, face, 0, 0, SRCCOPY);
    drawHands(frame, drawing);

    GdipDeleteStringFormat(drawing.format);
    if (drawing.family)
        GdipDeleteFontFamily(drawing.family);
}

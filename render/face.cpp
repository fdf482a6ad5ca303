// The clock drawing routine: the common set-up, the cached face (rings,
// dial or picture, ticks, numbers, logo, day label) and the copy of the
// face into the frame, over which the hands are drawn. Shapes are
// rasterised with Anti-Grain Geometry; GDI+ finds the font, draws the solid
// texts, makes the outlines of the contour texts and scales the picture.
#include <windows.h>
#include <gdiplus.h>

#include <agg_span_gradient.h>
#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <cmath>
#include <cstring>

#include "render/drawing.h"
#include "render/raster.h"
#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

static wchar_t const fontName[] = L"Zorque";
static wchar_t const *const dayLabels[] = {L"Su", L"Mo", L"Tu", L"We", L"Th", L"Fr", L"Sa"};

BYTE const labelAlpha = 0xC0;

int pictureUnusable;
int highContrast;

// COLORREF 0x00BBGGRR to opaque ARGB 0xFFRRGGBB.
static ARGB opaque(COLORREF color)
{
    return 0xFF000000u | GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

// The colour roles: the chosen colours, or the system colours of this
// moment; a high-contrast theme's colours while one is on.
static void chooseColors(ClockDrawing &drawing)
{
    if (highContrast) {
        drawing.background = drawing.markers = opaque(GetSysColor(COLOR_WINDOW));
        drawing.text = opaque(GetSysColor(COLOR_WINDOWTEXT));
        drawing.ring1 = drawing.ring2 = opaque(GetSysColor(COLOR_HIGHLIGHT));
        return;
    }
    bool own = settings.useColor == 1;
    drawing.background = opaque(own ? settings.colorBackground : GetSysColor(COLOR_BTNFACE));
    drawing.markers = opaque(own ? settings.colorMarkers : GetSysColor(COLOR_BTNHIGHLIGHT));
    drawing.ring1 = opaque(own ? settings.colorRing1 : GetSysColor(COLOR_BTNSHADOW));
    drawing.ring2 = opaque(own ? settings.colorRing2 : GetSysColor(COLOR_BTNTEXT));
    drawing.text = opaque(own ? settings.colorText : GetSysColor(COLOR_BTNTEXT));
}

BYTE const sectorAlpha = 0x60;

// The alarm hand and the timer's sector in their own colours; in a
// high-contrast theme in its highlight colour.
static void markDial(ClockDrawing &drawing, DialMarks const &marks)
{
    drawing.alarmHand = marks.alarmHand;
    drawing.alarmAngle = marks.alarmAngle;
    drawing.alarmColor = highContrast ? drawing.ring1 : opaque(settings.colorAlarmHand);
    drawing.sector = marks.sector;
    drawing.sectorStart = marks.sectorStart;
    drawing.sectorSweep = marks.sectorSweep;
    drawing.sectorColor = withAlpha(highContrast ? drawing.ring1 : opaque(settings.colorTimer), sectorAlpha);
}

// The ring colours along the face's diagonal, in 256 steps.
typedef agg::pod_auto_array<agg::rgba8, 256> Ramp;
typedef agg::span_interpolator_linear<> Interpolator;
typedef agg::span_gradient<agg::rgba8, Interpolator, agg::gradient_x, Ramp> GradientSpans;

// Fills the circle of the radius with the gradient that runs from the
// top-left corner of the face's bounding square (colour from) to its
// bottom-right corner (colour to), whatever the circle.
static void fillRing(ClockDrawing const &drawing, float radius, ARGB from, ARGB to)
{
    Ramp ramp;
    for (unsigned i = 0; i < Ramp::size(); i++) {
        double t = i / double(Ramp::size() - 1);
        BYTE channel[3];
        for (int c = 0; c < 3; c++) {
            int a = from >> (16 - 8 * c) & 0xFF, b = to >> (16 - 8 * c) & 0xFF;
            channel[c] = BYTE(std::lround(a + (b - a) * t));
        }
        ramp[i] = agg::rgba8(channel[0], channel[1], channel[2], 255);
    }
    // The distance along the diagonal is x + y less that of the corner.
    float left = drawing.cx - drawing.R, top = drawing.cy - drawing.R;
    agg::trans_affine alongDiagonal(1, 0, 1, 1, -(left + top), 0);
    Interpolator interpolator(alongDiagonal);
    agg::gradient_x gradient;
    GradientSpans spans(interpolator, gradient, ramp, 0, 4 * drawing.R);
    addDisc(float(drawing.cx), float(drawing.cy), radius);
    fillShapeWith(spans);
}

// Colours read from a picture that GDI+ has scaled into a bitmap.
struct PictureSpans {
    DWORD const *bits;
    int side; // pixels a row
    void prepare() {}
    void generate(agg::rgba8 *span, int x, int y, unsigned length)
    {
        DWORD const *pixel = bits + y * side + x;
        for (unsigned i = 0; i < length; i++, pixel++)
            span[i] = agg::rgba8(*pixel >> 16 & 0xFF, *pixel >> 8 & 0xFF, *pixel & 0xFF, *pixel >> 24);
    }
};

// The picture's largest centred square, scaled to the dial by GDI+ into
// the frame (free until the face is copied into it), then laid into the
// dial's circle. Whether it was drawn; the picture has a width.
static bool drawPicture(HDC frame, ClockDrawing const &drawing, float R3)
{
    UINT w = backgroundWidth();
    UINT h = backgroundHeight();
    UINT side = w < h ? w : h;
    UINT sx = (w - side) / 2;
    UINT sy = (h - side) / 2;

    int rowLength = 0;
    DWORD *bits = surfacePixels(frame, &rowLength);
    if (!bits)
        return false;
    int top = int(std::floor(drawing.cy - R3)), bottom = int(std::ceil(drawing.cy + R3));
    int left = int(std::floor(drawing.cx - R3)), right = int(std::ceil(drawing.cx + R3));
    GdiFlush();
    for (int y = top < 0 ? 0 : top; y <= bottom && y < drawing.height; y++)
        std::memset(bits + y * rowLength + left, 0, (right - left + 1) * sizeof(DWORD));

    GpGraphics *graphics = nullptr;
    GdipCreateFromHDC(frame, &graphics);
    GdipSetInterpolationMode(graphics, InterpolationModeBicubic);
    GdipDrawImageRectRect(graphics, backgroundImage->image, drawing.cx - R3, drawing.cy - R3, 2 * R3, 2 * R3,
                          sx, sy, side, side, UnitPixel, nullptr, nullptr, nullptr);
    GdipDeleteGraphics(graphics);

    PictureSpans spans = {bits, rowLength};
    addDisc(float(drawing.cx), float(drawing.cy), R3);
    fillShapeWith(spans);
    return true;
}

// The 60 marks, each from the outer point at R4 (flat) to the inner point
// at 0.95 R4, where a triangle points to the centre.
static void drawTicks(ClockDrawing const &drawing, float R4)
{
    float inner = 0.95f * R4;
    for (int i = 0; i < 60; i++) {
        double a = 6 * i * k;
        float s = float(std::sin(a));
        float c = float(std::cos(a));
        addSpoke(drawing.cx + R4 * s, drawing.cy - R4 * c, drawing.cx + inner * s, drawing.cy - inner * c,
                 i % 5 == 0 ? 8 * drawing.u : drawing.u, flatCap, triangleCap);
    }
    fillShape(premultiplied(drawing.text));
}

// What the texts of the face share: the family, the centred format, a
// GDI+ graphics on the face and a brush.
struct FaceText {
    GpFontFamily *family;
    GpStringFormat *format;
    GpGraphics *graphics;
    GpSolidFill *brush;
};

// Without the family "Zorque" the face has no texts.
static bool openText(FaceText &text, HDC face)
{
    if (createFontFamily(fontName, &text.family) != Ok)
        return false;
    GdipCreateStringFormat(0, 0, &text.format);
    GdipSetStringFormatAlign(text.format, StringAlignmentCenter);
    GdipSetStringFormatLineAlign(text.format, StringAlignmentCenter);
    GdipCreateFromHDC(face, &text.graphics);
    GdipCreateSolidFill(0xFF000000, &text.brush);
    return true;
}

static void closeText(FaceText &text)
{
    GdipDeleteBrush(text.brush);
    GdipDeleteGraphics(text.graphics);
    GdipDeleteStringFormat(text.format);
    GdipDeleteFontFamily(text.family);
}

static void drawString(FaceText const &text, wchar_t const *string, float size, RectF const &layout,
                       ARGB color)
{
    GpFont *font = nullptr;
    GdipCreateFont(text.family, size, FontStyleRegular, UnitPixel, &font);
    GdipSetSolidFillColor(text.brush, color);
    GdipDrawString(text.graphics, string, -1, font, &layout, text.format, text.brush);
    GdipDeleteFont(font);
}

static void drawNumbers(FaceText const &text, ClockDrawing const &drawing, float R4)
{
    float u = drawing.u;
    int step = settings.showNumbers == 1 ? 5 : 15;
    int rn = int(0.8f * R4);
    for (int i = 0; i < 60; i += step) {
        double a = 6 * i * k;
        int label = i == 0 ? 12 : i / 5;
        wchar_t number[16];
        wsprintfW(number, L"%d", label);
        int px = drawing.cx + int(rn * std::sin(a));
        int py = drawing.cy - int(rn * std::cos(a));
        float dx = label == 10 || label == 3 ? 5 * u : label == 9 ? -3 * u : 0;
        float half = 70 * drawing.px;
        RectF layout(px - half + dx, py - half + 4 * u, 2 * half, 2 * half);
        drawString(text, number, 43 * u, layout, drawing.text);
    }
}

// A face label, solid in the text colour or as an outline filled with the
// markers colour; both at the labels' alpha, or opaque in high contrast.
static void drawLabel(FaceText const &text, ClockDrawing const &drawing, wchar_t const *string,
                      RectF const &layout, int mode, float solidSize, float contourSize, float outlineWidth)
{
    BYTE alpha = highContrast ? 0xFF : labelAlpha;
    if (mode == labelSolid) {
        drawString(text, string, solidSize, layout, withAlpha(drawing.text, alpha));
        return;
    }
    // Wine centres a path string vertically only in a layout rectangle
    // that starts high enough, so the outline is laid out at the top and
    // then moved down into place; the outcome is the same everywhere.
    GpPath *path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    RectF atTop(layout.X, 0, layout.Width, layout.Height);
    GdipAddPathString(path, string, -1, text.family, FontStyleRegular, contourSize, &atTop, text.format);
    GpMatrix *down = nullptr;
    GdipCreateMatrix2(1, 0, 0, 1, 0, layout.Y, &down);
    GdipTransformPath(path, down);
    GdipDeleteMatrix(down);
    addPathFigures(path);
    fillShape(premultiplied(withAlpha(drawing.markers, alpha)), agg::fill_even_odd);
    addPathOutline(path, outlineWidth);
    fillShape(premultiplied(withAlpha(drawing.text, alpha)));
    GdipDeletePath(path);
}

// A world clock shows its name in the logo's place, in the logo's style
// (solid when the logo is off); when the logo is the date, its own date
// goes below the name, smaller.
static void drawLogo(FaceText const &text, ClockDrawing const &drawing, float R4)
{
    wchar_t string[2 * textUnits] = L"";
    if (settings.logoType == 0)
        GetDateFormatW(0, 0, &drawing.now, nullptr, string, 2 * textUnits);
    else
        lstrcpynW(string, settings.logoText, textUnits);
    RectF layout(drawing.cx - R4, float(drawing.cy), 2 * R4, 2 * R4 / 3);
    float u = drawing.u;
    if (!drawing.label) {
        drawLabel(text, drawing, string, layout, settings.showLogo, 33 * u, 33 * u, u / 5);
        return;
    }
    int mode = settings.showLogo == labelOff ? labelSolid : settings.showLogo;
    bool date = settings.logoType == 0;
    RectF name = layout;
    name.Y -= date ? 0.12f * R4 : 0;
    drawLabel(text, drawing, drawing.label, name, mode, 33 * u, 33 * u, u / 5);
    if (date) {
        RectF below = layout;
        below.Y += 0.16f * R4;
        drawLabel(text, drawing, string, below, mode, 24 * u, 24 * u, u / 5);
    }
}

// The box: a 3-pixel outline (standard pixels) in the ring 1 colour centred
// on the edge of a square with round corners, whose background fill then
// covers the outline's inner half.
static void drawDayBox(ClockDrawing const &drawing, float R4)
{
    int c = int(R4 / 5);
    int d = c / 4;
    float x = float(drawing.cx + int(R4 / 2.5f)), y = float(drawing.cy);
    float const halfOutline = 1.5f * drawing.px;
    addRoundRect(x, y, c + halfOutline, d + halfOutline);
    fillShape(premultiplied(drawing.ring1));
    addRoundRect(x, y, float(c), float(d));
    fillShape(premultiplied(drawing.background));
}

static void drawDayOfTheWeek(FaceText const &text, ClockDrawing const &drawing, float R4)
{
    float u = drawing.u;
    RectF layout(float(drawing.cx), drawing.cy - R4 + 4 * u, 0.8f * R4, 2 * R4);
    drawLabel(text, drawing, dayLabels[drawing.now.wDayOfWeek % 7], layout, settings.showDayOfTheWeek, 40 * u,
              43 * u, u);
}

// Rebuilds the static face in the face cache; everything outside the
// outer ring stays fully transparent.
static void drawFace(HDC face, HDC frame, ClockDrawing const &drawing)
{
    bool logo = settings.showLogo != labelOff || drawing.label;
    float R = drawing.R;
    float R1 = 0.99f * R;
    float R2 = 0.9f * R1;
    float R3 = 0.97f * R2;
    float R4 = 0.97f * R3;

    int side = 0;
    DWORD *bits = surfacePixels(face, &side);
    if (!bits)
        return;
    GdiFlush();
    std::memset(bits, 0, size_t(side) * side * sizeof(DWORD));
    attachRaster(face, drawing.width, drawing.height);
    fillRing(drawing, R1, drawing.ring1, drawing.ring2);
    fillRing(drawing, R2, drawing.ring2, drawing.ring1);
    // A picture without width is reported, and counts as switched off
    // from here on, as it will be in the settings. High contrast shows none.
    bool pictureOn = settings.useImage != 0 && !highContrast;
    bool pictureDrawn = false;
    if (pictureOn && settings.useImage == 1 && backgroundImage) {
        if (backgroundWidth() == 0) {
            pictureUnusable = 1;
            pictureOn = false;
        } else {
            pictureDrawn = drawPicture(frame, drawing, R3);
        }
    }
    if (!pictureDrawn) {
        addDisc(float(drawing.cx), float(drawing.cy), R3);
        fillShape(premultiplied(drawing.background));
    }
    drawTicks(drawing, R4);

    bool anyText = settings.showNumbers != 0 || logo || settings.showDayOfTheWeek != labelOff;
    FaceText text = {};
    bool fontFound = anyText && openText(text, face);
    if (fontFound && settings.showNumbers != 0)
        drawNumbers(text, drawing, R4);
    if (fontFound && logo)
        drawLogo(text, drawing, R4);
    if (settings.showDayOfTheWeek != labelOff) {
        if (!(pictureOn && backgroundImage))
            drawDayBox(drawing, R4);
        if (fontFound)
            drawDayOfTheWeek(text, drawing, R4);
    }
    if (fontFound)
        closeText(text);
}

RECT renderClock(ClockFace &face, int width, int height, SYSTEMTIME const &now)
{
    ClockDrawing drawing = {};
    drawing.width = width;
    drawing.height = height;
    drawing.cx = width / 2;
    drawing.cy = height / 2;
    drawing.R = float(drawing.cx < drawing.cy ? drawing.cx : drawing.cy);
    drawing.u = 2 * drawing.R / 350;
    drawing.px = float(clockDpi) / standardDpi;
    drawing.now = now;
    drawing.label = face.label;
    chooseColors(drawing);
    markDial(drawing, face.marks);

    // The frame holds the last drawing; it is drawn whole again after a
    // face rebuild, at another size and when asked to.
    bool whole = face.faceDirty || face.frameDirty || width != face.drawnWidth || height != face.drawnHeight;
    if (face.faceDirty) {
        face.faceDirty = 0;
        drawFace(face.faceDC, face.frameDC, drawing);
    }
    face.frameDirty = 0;
    face.drawnWidth = width;
    face.drawnHeight = height;
    face.shown = now;

    RECT change = placeHands(face, drawing, whole), sector = placeSector(face, drawing, whole);
    UnionRect(&change, &change, &sector);
    if (!IsRectEmpty(&change)) {
        BitBlt(face.frameDC, change.left, change.top, change.right - change.left, change.bottom - change.top,
               face.faceDC, change.left, change.top, SRCCOPY);
        drawSector(face, drawing, change);
        drawHands(face, drawing, change);
    }
    return change;
}

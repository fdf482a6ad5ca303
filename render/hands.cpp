// The hands pass: shadows, hands with their light stripes and the hub,
// drawn over the fresh copy of the face in the frame.
#include <windows.h>
#include <gdiplus.h>

#include <cmath>

#include "render/drawing.h"
#include "settings/settings.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

BYTE const shadowAlpha = 0x30;
float const shadowOffset = 4; // pixels right and down, whatever the size

struct Direction {
    float sine, cosine;
};

static Direction direction(float angle)
{
    return {std::sin(angle), std::cos(angle)};
}

static GpPointF pointAt(ClockDrawing const &drawing, Direction a, float length, float offset = 0)
{
    return GpPointF(drawing.cx + length * a.sine + offset, drawing.cy - length * a.cosine + offset);
}

// A line from the point at outer to the point at inner (0 is the centre);
// the pen's round start cap lies at the outer end.
static void drawSpoke(GpGraphics *graphics, GpPen *pen, ClockDrawing const &drawing, Direction a, float outer,
                      float inner, float offset = 0)
{
    GpPointF from = pointAt(drawing, a, outer, offset);
    GpPointF to = pointAt(drawing, a, inner, offset);
    GdipDrawLine(graphics, pen, from.X, from.Y, to.X, to.Y);
}

static void setPen(GpPen *pen, float width, ARGB color)
{
    GdipSetPenWidth(pen, width);
    GdipSetPenColor(pen, color);
}

static void setCaps(GpPen *pen)
{
    GdipSetPenStartCap(pen, LineCapRound);
    GdipSetPenEndCap(pen, LineCapFlat);
}

void drawHands(HDC frame, ClockDrawing const &drawing)
{
    SYSTEMTIME const &now = drawing.now;
    float const kf = float(k);
    float u = drawing.u;
    float Rh = 0.85f * drawing.R;
    float hour = float(now.wHour > 12 ? now.wHour - 12 : now.wHour);
    Direction hourHand = direction((hour + now.wMinute / 60.0f) * 360 / 12 * kf);
    Direction minuteHand = direction(6 * now.wMinute * kf);
    float secondAngle = 6 * now.wSecond * kf;
    Direction secondHand = direction(secondAngle);
    float counterAngle = secondAngle + 3.14f;
    if (counterAngle >= 6.28f)
        counterAngle -= 6.28f;
    Direction counterweight = direction(counterAngle);
    bool seconds = settings.showSeconds != 0;
    ARGB shadow = withAlpha(drawing.text, shadowAlpha);

    GpGraphics *graphics = nullptr;
    GdipCreateFromHDC(frame, &graphics);
    GdipSetSmoothingMode(graphics, SmoothingModeHighQuality);
    GpPen *pen = nullptr;
    GdipCreatePen1(drawing.text, 1, UnitWorld, &pen);
    setCaps(pen);

    // All shadows lie under all hands; the minute and hour shadows have
    // each other's widths.
    float const o = shadowOffset;
    setPen(pen, 14 * u, shadow);
    drawSpoke(graphics, pen, drawing, minuteHand, 0.85f * Rh, 0, o);
    setPen(pen, 11 * u, shadow);
    drawSpoke(graphics, pen, drawing, hourHand, 0.6f * Rh, 0, o);
    if (seconds) {
        setPen(pen, 5 * u, shadow);
        drawSpoke(graphics, pen, drawing, secondHand, 0.9f * Rh, 0, o);
        setPen(pen, 8 * u, shadow);
        drawSpoke(graphics, pen, drawing, counterweight, Rh / 3.5f, 0, o);
    }
    GpSolidFill *brush = nullptr;
    GdipCreateSolidFill(shadow, &brush);
    fillDisc(graphics, brush, drawing.cx + o, drawing.cy + o, 8 * u);

    setPen(pen, 14 * u, drawing.text);
    drawSpoke(graphics, pen, drawing, hourHand, 0.6f * Rh, 0);
    setPen(pen, 11 * u, drawing.markers);
    drawSpoke(graphics, pen, drawing, hourHand, 0.6f * Rh, 0.45f * Rh);

    setCaps(pen);
    setPen(pen, 11 * u, drawing.text);
    drawSpoke(graphics, pen, drawing, minuteHand, 0.85f * Rh, 0);
    setPen(pen, 8 * u, drawing.markers);
    drawSpoke(graphics, pen, drawing, minuteHand, 0.85f * Rh, 0.45f * Rh);

    if (seconds) {
        setPen(pen, 5 * u, drawing.text);
        drawSpoke(graphics, pen, drawing, secondHand, 0.9f * Rh, 0);
        setPen(pen, 8 * u, drawing.text);
        drawSpoke(graphics, pen, drawing, counterweight, Rh / 3, 0);
        setPen(pen, 3 * u, drawing.markers);
        drawSpoke(graphics, pen, drawing, secondHand, 0.9f * Rh, 0.45f * Rh);
    }

    GdipSetSolidFillColor(brush, drawing.ring2);
    fillDisc(graphics, brush, float(drawing.cx), float(drawing.cy), 11 * u);
    GdipSetSolidFillColor(brush, drawing.ring1);
    fillDisc(graphics, brush, float(drawing.cx), float(drawing.cy), 9 * u);

    GdipDeleteBrush(brush);
    GdipDeletePen(pen);
    GdipDeleteGraphics(graphics);
}

// What the face pass and the hands pass of renderClock share: the layout
// derived from the drawing size, the colour roles, the text objects and
// the one local-time sample of the call.
#pragma once
#include <windows.h>
#include <gdiplus.h>

double const k = 3.14 / 180; // degrees to radians, with 3.14 for pi

struct ClockDrawing {
    int cx, cy; // the centre
    float R;    // face radius
    float u;    // face unit: the face is laid out for a 350-pixel diameter
    Gdiplus::ARGB background, markers, ring1, ring2, text; // opaque
    Gdiplus::GpFontFamily *family;                         // null when "Zorque" is not installed
    Gdiplus::GpStringFormat *format;
    SYSTEMTIME now;
};

// A colour role with another alpha.
inline Gdiplus::ARGB withAlpha(Gdiplus::ARGB color, BYTE alpha)
{
    return (color & 0x00FFFFFF) | Gdiplus::ARGB(alpha) << 24;
}

// Fills the circle of radius about (x, y).
inline void fillDisc(Gdiplus::GpGraphics *graphics, Gdiplus::GpBrush *brush, float x, float y, float radius)
{
    Gdiplus::DllExports::GdipFillEllipse(graphics, brush, x - radius, y - radius, 2 * radius, 2 * radius);
}

void drawHands(HDC frame, ClockDrawing const &drawing);

// What the face pass and the hands pass of renderClock share: the layout
// derived from the drawing size, the colour roles and the one local-time
// sample of the call.
#pragma once
#include <windows.h>
#include <gdiplus.h>

double const k = 3.14 / 180; // degrees to radians, with 3.14 for pi

struct ClockDrawing {
    int width, height; // the drawn top-left part of the bitmaps
    int cx, cy;        // the centre
    float R;           // face radius
    float u;           // face unit: the face is laid out for a 350-pixel diameter
    float px;          // a standard pixel (96 DPI) in pixels at clockDpi: the few fixed lengths
    Gdiplus::ARGB background, markers, ring1, ring2, text; // opaque
    SYSTEMTIME now;
    wchar_t const *label; // a world clock's name, or null
    // The dial's marks of this drawing (see DialMarks), with their colours.
    bool alarmHand;
    float alarmAngle;
    Gdiplus::ARGB alarmColor; // opaque
    bool sector;
    float sectorStart, sectorSweep;
    Gdiplus::ARGB sectorColor; // translucent
};

// A colour role with another alpha.
inline Gdiplus::ARGB withAlpha(Gdiplus::ARGB color, BYTE alpha)
{
    return (color & 0x00FFFFFF) | Gdiplus::ARGB(alpha) << 24;
}

struct ClockFace;

// Places the face's hands for the drawing's moment and returns the part of
// the frame that changes since they were last placed: the old and new
// places of every hand that moved, shadows and anti-aliased edges
// included; the whole drawing when whole is set.
RECT placeHands(ClockFace &face, ClockDrawing const &drawing, bool whole);
// Draws the face's hands last placed into its frame, only inside the clip.
void drawHands(ClockFace const &face, ClockDrawing const &drawing, RECT const &clip);
// Frees what the face's hands keep.
void forgetHands(ClockFace &face);

// Places the face's timer sector of the drawing and returns the part of
// the frame that changes since it was last placed: the wedges between its
// old and new edges, or its old and new places whole; the whole drawing
// when whole is set.
RECT placeSector(ClockFace &face, ClockDrawing const &drawing, bool whole);
// Draws the face's sector last placed into its frame, only inside the clip.
void drawSector(ClockFace const &face, ClockDrawing const &drawing, RECT const &clip);
// Frees what the face's sector keeps.
void forgetSector(ClockFace &face);

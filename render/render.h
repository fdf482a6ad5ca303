// Drawing the clock and presenting it on the layered main window.
#pragma once
#include <windows.h>
#include <gdiplus.h>

struct Hands;        // the hands that a face last placed
struct PlacedSector; // the timer's sector that a face last placed

// What the dial shows beside the time, handed in by the clock window
// before each redraw. Angles are in radians, clockwise from twelve.
struct DialMarks {
    bool alarmHand; // a thin hand on the hour scale, under the others
    float alarmAngle;
    bool sector; // the timer's time left, a translucent wedge
    float sectorStart, sectorSweep;
};

// The drawing state of one clock face: its two off-screen bitmaps (the
// cached face and the frame presented), what must be drawn anew, their
// side and the moment the face shows. The renderer is handed one record
// for each face it draws.
struct ClockFace {
    HWND window = nullptr; // the layered window presented to; none off screen
    HDC frameDC = nullptr;
    HDC faceDC = nullptr;
    // While a DIB section is selected these hold the contexts' initial bitmaps.
    HBITMAP frameBitmap = nullptr;
    HBITMAP faceBitmap = nullptr;
    // Side of both bitmaps: 384 pixels, or the clock's side when a high DPI
    // makes it larger (the bitmaps are made again then).
    int surfaceSide = 384;
    int faceDirty = 0;                   // rebuild the cached face at the next redraw
    int frameDirty = 0;                  // draw and present the whole frame at the next redraw
    int drawnWidth = 0, drawnHeight = 0; // of the frame's last drawing
    SYSTEMTIME shown = {};               // the moment the frame shows
    // A world clock's name, drawn where the logo text stands; null for the
    // main clock.
    wchar_t const *label = nullptr;
    Hands *hands = nullptr;         // made by the first drawing, freed with the bitmaps
    PlacedSector *sector = nullptr; // likewise
    DialMarks marks = {};           // the main clock's only; a world clock shows none
};
extern ClockFace mainFace; // the main clock
// The picture loaded from imagePath. It exists after every load; its image
// is null when the file could not be decoded, and then it reports a width
// and height of 0.
struct BackgroundImage {
    Gdiplus::GpImage *image;
    IStream *bytes; // the file's contents, which the image reads from
};
extern BackgroundImage *backgroundImage;
UINT backgroundWidth();
UINT backgroundHeight();

// Set by a face rebuild that was to show the picture and found it without
// width. Render never writes the settings: the caller switches the picture
// off (useImage) for good and clears this.
extern int pictureUnusable;

// 1 while a high-contrast theme is on (the clock window reads it): the face
// takes the theme's window, window text and highlight colours and shows no
// picture; the stored colours stay as they are.
extern int highContrast;

// The face's font family: the installed family of that name, or else the
// one in the file "<name>.ttf" beside the program; null when neither
// exists. The families from that file are valid until releasePrivateFonts,
// which the entry point calls after the message loop.
Gdiplus::GpStatus createFontFamily(wchar_t const *name, Gdiplus::GpFontFamily **family);
void releasePrivateFonts();

// The window is the layered window that redrawClock presents the face to
// (none for a face that is only drawn). The face's surfaceSide is the side
// its bitmaps are made with.
void createDrawingResources(ClockFace &face, HWND window);
void releaseDrawingResources(ClockFace &face);

// The alarm hand's angle for an alarm due at the local time due, seen at
// the local time now: its place on the hour scale. False when it rings
// more than 12 hours after now's minute.
bool alarmHandAngle(SYSTEMTIME const &now, SYSTEMTIME const &due, float &angle);
// The timer's sector at the local time now with secondsLeft to go: from
// the present place of the minute hand over the minute scale for up to an
// hour, else from the hour hand's over the hour scale, to the end's
// place. No sweep when nothing is left.
void timerSector(SYSTEMTIME const &now, LONGLONG secondsLeft, float &start, float &sweep);

void loadBackgroundImage();
void redrawClock(ClockFace &face);
// redrawClock for a given moment instead of the present one. A hidden
// window is neither drawn nor presented to.
void redrawClockAt(ClockFace &face, SYSTEMTIME const &now);

// The constant alpha that the window is presented with at that opacity
// (per cent): 255 at full opacity and for any value out of range.
BYTE constantAlpha(int opacity);

// The top-down 32-bit pixels of the DIB section selected into a memory
// context, or null when it holds none; its row length in pixels into side.
DWORD *surfacePixels(HDC dc, int *side = nullptr);

// Draws the face as it is at the moment now into its frame (the top-left
// width x height), rebuilding its cached face first when faceDirty is set
// (and clearing it). The frame must hold the previous call's drawing: only
// what changes is copied and drawn again, and the rectangle of the frame
// that changed is returned (empty when nothing did). A face rebuild,
// another size or frameDirty make the whole frame change.
RECT renderClock(ClockFace &face, int width, int height, SYSTEMTIME const &now);

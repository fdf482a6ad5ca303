// Drawing the clock and presenting it on the layered main window.
#pragma once
#include <windows.h>
#include <gdiplus.h>

extern int faceDirty;  // rebuild the cached face at the next redraw
extern int frameDirty; // draw and present the whole frame at the next redraw
extern HDC frameDC;
extern HDC faceDC;
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

// Side of both off-screen bitmaps: 384 pixels, or the clock's side when a
// high DPI makes it larger (the bitmaps are made again then).
extern int surfaceSide;

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

// What the dial shows beside the time, handed in by the clock window
// before each redraw. Angles are in radians, clockwise from twelve.
struct DialMarks {
    bool alarmHand; // a thin hand on the hour scale, under the others
    float alarmAngle;
    bool sector; // the timer's time left, a translucent wedge
    float sectorStart, sectorSweep;
};
extern DialMarks dialMarks;

// The alarm hand's angle for an alarm due at the local time due, seen at
// the local time now: its place on the hour scale. False when it rings
// more than 12 hours after now's minute.
bool alarmHandAngle(SYSTEMTIME const &now, SYSTEMTIME const &due, float &angle);
// The timer's sector at the local time now with secondsLeft to go: from
// the present place of the minute hand over the minute scale for up to an
// hour, else from the hour hand's over the hour scale, to the end's
// place. No sweep when nothing is left.
void timerSector(SYSTEMTIME const &now, LONGLONG secondsLeft, float &start, float &sweep);

// The window is the layered window that redrawClock presents to.
void createDrawingResources(HWND window);
void releaseDrawingResources();
void loadBackgroundImage();
void redrawClock();
// redrawClock for a given moment instead of the present one. A hidden
// window is neither drawn nor presented to.
void redrawClockAt(SYSTEMTIME const &now);

// The constant alpha that the window is presented with at that opacity
// (per cent): 255 at full opacity and for any value out of range.
BYTE constantAlpha(int opacity);

// The top-down 32-bit pixels of the DIB section selected into a memory
// context (surfaceSide pixels a row), or null when it holds none.
DWORD *surfacePixels(HDC dc);

// Draws the clock as it is at the moment now into the frame context (the
// top-left width x height), rebuilding the face cache in the face context
// first when dirty is set (and clearing it). The frame must hold the
// previous call's drawing: only what changes is copied and drawn again,
// and the rectangle of the frame that changed is returned (empty when
// nothing did). A face rebuild, another size or frameDirty make the whole
// frame change.
RECT renderClock(HDC face, int &dirty, HDC frame, int width, int height, SYSTEMTIME const &now);

// Drawing the clock in the test process: a layered window of its own with
// the program's drawing resources (made once for the whole test program),
// known settings and pixel access to the face cache and the frame.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The layered window that the drawing resources present to.
extern HWND canvasWindow;

// Distinct colours for the five roles (COLORREF).
COLORREF const testBackground = RGB(255, 255, 255);
COLORREF const testMarkers = RGB(255, 0, 0);
COLORREF const testRing1 = RGB(0, 0, 255);
COLORREF const testRing2 = RGB(0, 255, 0);
COLORREF const testText = RGB(0, 0, 0);

// Own colours as above, plain dial, second hand on, and no numbers, logo or
// day label, alarm hand or timer, so that each test turns on what it
// looks at.
void useTestSettings();

// A moment on Monday 2026-12-07.
SYSTEMTIME moment(int hour, int minute, int second, int day = 7);

// renderClock at side x side, rebuilding the face when rebuild is set.
void drawClock(int side, SYSTEMTIME const &now, bool rebuild = true);

DWORD facePixel(int x, int y);  // 0xAARRGGBB
DWORD framePixel(int x, int y); // 0xAARRGGBB
DWORD opaque(COLORREF color);   // 0xFFRRGGBB
std::vector<DWORD> frameCopy(int side);
std::vector<DWORD> faceCopy(int side);

// Whether every pixel of the top-left side x side block has no colour
// channel above its alpha.
bool premultiplied(DWORD const *pixels, int side);

// The face radius and unit of a side, as the drawing computes them.
float faceRadius(int side);
float faceUnit(int side);

// A 300 x 200 picture file in the temporary folder: grey bands of 50
// columns left and right of a 200 x 200 square of four coloured quarters
// (orange, blue, olive, purple from the top left). Returns its path.
std::wstring makePicture();

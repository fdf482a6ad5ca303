// The application shell: start-up, the main window, placement and the
// small dialogs.
#pragma once
#include <windows.h>
#include <gdiplus.h>

int const nameLength = 100; // product and class names, terminator included

extern HINSTANCE instance;
extern char productName[nameLength];
extern char className[nameLength];
extern HMENU popupMenu;
extern int buttonsSwapped;

UINT const trayCallback = WM_USER + 1;
// Posted to the clock window by each property page that applied its
// controls to ClockSettings; the window takes the change over once per
// apply of the sheet.
UINT const settingsApplied = WM_APP + 1;
UINT const trayIconId = 1;
UINT const clockTimer = 1;

// Start-up step 1: the product, tray tip and class names from the string table.
void loadProductStrings(HINSTANCE module);
// Adds the tray icon that start-up described (same id, callback and tip);
// whether the shell took it. False before start-up has described it.
bool addTrayIcon();

// path = the folder of Halvitrum.exe followed by name (which may hold a
// subfolder); whether that file exists.
bool besideProgram(wchar_t const *name, wchar_t (&path)[MAX_PATH]);

// The face's font family: the installed family of that name, or else the
// one in the file "<name>.ttf" beside the program; null when neither
// exists. The families from that file are valid until releasePrivateFonts,
// which the entry point calls after the message loop.
Gdiplus::GpStatus createFontFamily(wchar_t const *name, Gdiplus::GpFontFamily **family);
void releasePrivateFonts();

LRESULT CALLBACK clockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The once-a-second work of the timer for the local time now.
void clockTick(SYSTEMTIME const &now);
// The tick without its redraw: a new day marks the face for rebuilding and
// due alarms ring; whether the tick calls for a new frame.
bool tickNeedsRedraw(SYSTEMTIME const &now);

// Window placement and size.
int const minimumSide = 144;
int const defaultSide = 256;
int const maximumSide = 384;
int const sideStep = 16;

int clampSide(int side); // into minimumSide..maximumSide
RECT workArea();
// The desktop rectangle less a taskbar that spans one of its edges.
RECT workAreaFrom(RECT const &desktop, RECT const *taskbar);
// Whether at least three quarters of the window lie inside the area.
bool mostlyInside(RECT const &window, RECT const &area);
void placeClockWindow(RECT const &rect);
void moveToDefaultPosition();
void keepOnScreen();
void setClockSize(int side);
void stepClockSize(int direction);
void applyOnTop();
// Moves a dialog that reaches out of its monitor's work area back into it.
void keepDialogOnScreen(HWND dialog);

// Help and the small dialogs.
void showHelp(int mapId);
void showCalendar();
void showAbout();
void openHomePage();
void openPropertySheet(int startPage);

// The application shell: start-up, the main window, placement, the
// property sheet and help.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "settings/settings.h"

struct ClockFace;

extern HINSTANCE instance;
extern HWND mainWindow; // the clock window, from its creation on
extern char className[nameLength];
extern HMENU popupMenu;

UINT const trayCallback = WM_USER + 1;
// The shell's word to the clock as an application bar.
UINT const appBarCallback = WM_USER + 2;
UINT const trayIconId = 1;
UINT const clockTimer = 1;

// Start-up step 1: the product and class names from the string table.
void loadProductStrings(HINSTANCE module);
// Describes the clock window's tray icon and adds it, trying again for a
// while when the shell does not take it yet.
void createTrayIcon(HWND window);
// Adds the tray icon that start-up described (same id, callback and tip);
// whether the shell holds it. False before start-up has described it.
bool addTrayIcon();
// For a shell that started anew or changed its DPI: the icon at the
// taskbar's DPI, added again.
void restoreTrayIcon();
// Removes the icon that the shell holds, at the exit.
void deleteTrayIcon();
// Gives the keyboard back to the notification area, at the icon.
void focusTrayIcon();
// The small icon at the size the system shows it at that DPI.
HICON loadSmallIcon(UINT dpi);
// A new clock window forgets the tray icon's last right press.
void resetTrayCallbacks();
// Whether the message is the shell's word that it started anew.
bool isTaskbarCreated(UINT message);
// The tray icon's callback message.
LRESULT trayIconNotified(WPARAM anchor, LPARAM event);
// The clock's menu at the cursor.
void showClockMenu();
// The tip of the tray icon from now on.
void setTrayTip(wchar_t const *tip);
// The clock's words for the moment now: the product name, the long date
// and the time in the user's formats, and the next alarm, with the
// separator between them.
std::wstring clockWords(SYSTEMTIME const &now, wchar_t const *separator);
// Gives the tray tip and the window's text the words of the moment now.
void showClockWords(SYSTEMTIME const &now);

LRESULT CALLBACK clockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The user's answer by the clock, its icon or the balloon.
void dismissAlarms();

// The tick. A new window starts with a fresh one.
void resetTick();
// The timer's tick: the timer set afresh, the tick and the words.
void timerTick();
// Draws the present moment at once and sets the timer from it.
void redrawNow();
// A hidden clock ticks once a minute; shown, it draws at once.
void followVisibility(UINT windowPosFlags);
// The once-a-second work of the timer for the local time now.
void clockTick(SYSTEMTIME const &now);
// Milliseconds from the local time now to the tick after it: just past the
// next second, or, without the second hand or while the clock is hidden,
// the next minute.
UINT nextTickDelay(SYSTEMTIME const &now, bool showSeconds, bool visible);
// Redraws the clock (for the moment now) and takes the face's report of a
// picture without width over: the picture is switched off for good.
void paintClock();
void paintClockAt(SYSTEMTIME const &now);
// The alarm hand and the timer's sector for the frame of the moment now.
void markDial(SYSTEMTIME const &now);
// The tick without its redraw: a new day marks the face for rebuilding and
// due alarms ring; whether the tick calls for a new frame.
bool tickNeedsRedraw(SYSTEMTIME const &now);

// Window placement and size. Sides are in standard pixels (96 DPI); the
// window's side in pixels grows with the DPI of its monitor (clockDpi).
int const minimumSide = 144;
int const defaultSide = 256;
int const maximumSide = 384;
int const sideStep = 16;

int clampSide(int side); // into minimumSide..maximumSide
int pixelSide(int side); // a side in pixels at clockDpi
int logicalSide();       // the window's side in standard pixels
// Whether at least three quarters of the window lie inside the area.
bool mostlyInside(RECT const &window, RECT const &area);
void placeClockWindow(RECT const &rect);
void moveToDefaultPosition();
// A window of that rectangle's size in the default corner, which the
// clock then counts as placed against the work area of now.
RECT defaultPlaceOf(RECT const &window);
bool inDefaultCorner(); // where moveToDefaultPosition puts it
void keepOnScreen();
// After a change of the work area: a clock in the default corner of the
// work area it was last placed against moves to the new default corner,
// any other is kept on screen.
void followWorkArea();
bool workAreaChanged(); // since the clock was last placed against it
void setClockSize(int side);
void stepClockSize(int direction);
void applyOnTop(); // never activates the clock
void applyClickThrough();
// The window's own size messages: WM_SIZE keeps it square, WM_GETMINMAXINFO
// holds it within the side's limits, and at WM_DPICHANGED it keeps its
// side in standard pixels.
LRESULT keepSquare(WPARAM kind);
LRESULT limitTrackSize(MINMAXINFO *limits);
LRESULT followDpiChange(WPARAM dpi, RECT const &suggested);
// While the shell reports a full-screen program (ABN_FULLSCREENAPP) the
// clock gives up being topmost, and takes onTop's place up again after
// the last one closed. Neither activates the clock.
void yieldToFullScreen(bool fullScreen);
// Registers the clock window with the shell to hear of full-screen
// programs, from its creation to its end.
void watchForFullScreen(bool watch);

// The countdown timer: the dialog (and a redraw when it started one), the
// stop, the "Stop timer" item after "Timer..." while one runs, the words
// of the time left (empty while none runs) in whole minutes, a tick
// delay cut short to reach the end, and the tick's test, which says
// whether the timer ended at it.
// The menu's switches (lock position, let clicks through) take effect at
// once and are saved at once.
void toggleOption(int &option);
void openTimerDialog();
void endTimer();
void showTimerItems(HMENU menu);
int timerMinutesLeft();
std::wstring timerWords();
UINT timerTickDelay(UINT delay);
bool tickTimer(SYSTEMTIME const &now);

// Help, the home page and the property sheet.
void showHelp(int mapId);
void openHomePage();
void openPropertySheet(int startPage);

// World clocks: more faces, each in a time zone of its own, served by the
// clock window's procedure.
void openWorldClocks(); // those of the settings, at the main clock's creation
void addWorldClock();   // the zone dialog, then a new face beside the main clock
// Destroys every world clock; the settings keep them for the save.
void closeWorldClocks();
// Copies every world clock's zone, label, place and size into the settings.
void noteWorldClocks();
// The world clocks follow the main clock in the Z order: topmost or not,
// and to the bottom under a full-screen program.
void orderWorldClocks(HWND insertAfter);
// A drag step of the main clock or a world clock.
void moveClockWindow(HWND window, RECT const &rect);
void showWorldClocks(bool show); // with the main clock
// Draws every shown world clock for the present moment; rebuild reads the
// zones again and rebuilds the faces (new look, new rules, new clock).
void tickWorldClocks(bool rebuild);
int worldClockSide(HWND window); // in standard pixels
// A world clock's message: whether it was answered here (with result),
// else the clock window's procedure answers it as the main clock's.
bool worldClockMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result);
// The label of the world clock at index and its time at the UTC moment;
// false past the last.
bool worldClockTime(int index, SYSTEMTIME const &utc, std::wstring &label, SYSTEMTIME &time);
// The drawing record of a world clock's window; null for any other window.
ClockFace const *worldClockFace(HWND window);
// Every world clock's window text: the main clock's words.
void setWorldClockTexts(wchar_t const *text);
// The tip's words cut to its limit: the world clocks' lines, which follow
// the local time, are left out from the last on until the words fit.
std::wstring fitTip(std::wstring const &head, std::vector<std::wstring> const &worldLines,
                    std::wstring const &tail, size_t limit);

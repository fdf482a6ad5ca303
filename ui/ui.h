// The property pages and the dialogs, as the clock window uses them.
#pragma once
#include <windows.h>

#include <string>

// The program's own window messages, each with a number of its own.
// Posted to the clock window by each property page that applied its
// controls to ClockSettings; the window takes the change over once per
// apply of the sheet.
UINT const settingsApplied = WM_APP + 1;
// Posted by the clock window to itself: look at the work area again.
UINT const workAreaCheck = WM_APP + 2;
// Posted by a page or dialog to itself when its monitor's DPI changed: the
// dialog manager has scaled its controls and fonts by then, and the page
// sizes what it made itself again.
UINT const dpiRescale = WM_APP + 3;
// Posted by the ringing window to itself when its monitor's DPI changed
// (wParam the new DPI): the alarm texts take their font at that DPI and the
// room they need, and the window its place inside the work area.
UINT const ringingWindowRefit = WM_APP + 4;

// Called once when the clock window is created: the module that holds the
// dialog templates, the clock window, which receives settingsApplied, and
// the help that the pages' Help buttons open at a map id.
void setDialogHost(HINSTANCE module, HWND clockWindow, void (*help)(int mapId));

// Locale flags, read when the clock window is created: the Alarms page and
// the alarm editor show 24-hour times and weeks that start on Monday.
extern int use24Hour;
extern int mondayFirst;

INT_PTR CALLBACK optionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK colorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK alarmsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

struct AlarmNotices;
// Opens the ringing window, or shows the new list in the open one, near
// the notification area of the clock's monitor, without taking the focus.
void showRingingWindow(AlarmNotices const &notices, HWND clock);
void closeRingingWindow();
// The ringing window's keys (Enter, Esc, Tab) for the message loop;
// whether the message was the window's.
bool ringingWindowMessage(MSG *message);

void showCalendar(HWND owner);
// The Timer dialog; whether it started a timer.
bool showTimerDialog(HWND owner);
// A length of time as "m:ss", or "h:mm:ss" from an hour on.
std::wstring durationText(LONGLONG seconds);
void showAbout(HWND owner);

// The desktop rectangle less a taskbar that spans one of its edges.
RECT workAreaFrom(RECT const &desktop, RECT const *taskbar);
// The desktop's work area less the taskbar.
RECT workArea();
// The work area of the monitor nearest the rectangle.
RECT nearestWorkArea(RECT const &window);
// A user32 function of a Windows newer than 7, looked up so that the clock
// still starts on Windows 7; null where the system lacks it.
template <class Function> Function *user32Function(char const *name)
{
    return reinterpret_cast<Function *>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}
// The DPI of the window's monitor; for no window, or before Windows 10,
// the system's.
UINT windowDpi(HWND window);
// WM_DPICHANGED_AFTERPARENT, which the headers of Windows 7 lack: sent from
// Windows 10 1703 on to each child window of a window whose DPI changed.
UINT const dpiChangedAfterParent = 0x02E3;
// A system metric (SM_CXSMICON, ...) as it is at that DPI.
int metricForDpi(int index, UINT dpi);
// Moves a dialog that reaches out of its monitor's work area back into it.
void keepDialogOnScreen(HWND dialog);

// The world clock's dialog, showing the clock's zone and label first (none
// for a new clock); whether the user chose a zone with OK, which the clock
// then holds with its label.
struct WorldClock;
bool chooseWorldZone(HWND owner, WorldClock &clock);

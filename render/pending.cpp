// TEMPORARY: stand-ins for functions still being written. Whoever writes
// a function deletes its block here; this file is deleted when empty.
#include "alarms/alarms.h"
#include "render/render.h"
#include "settings/pages.h"

// renderClock
void renderClock(HDC, int &dirty, HDC, int, int, SYSTEMTIME const &) { dirty = 0; }

// optionsPageProc
INT_PTR CALLBACK optionsPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// colorsPageProc
INT_PTR CALLBACK colorsPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// alarmsPageProc
INT_PTR CALLBACK alarmsPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// checkAlarms, stopAlarmSound
void checkAlarms(SYSTEMTIME const &) {}
void stopAlarmSound() {}

// The program's real main window, created inside a test program as the
// entry point creates it, so that WM_CREATE and every handler run for real.
#pragma once
#include <windows.h>

#include "support/rects.h" // windowRect

// Settings as a first start finds them (cleared registry), but without the
// first-start help, so that no help viewer opens.
void loadFreshSettings();

// Registers the clock's class, creates and shows the window from the
// current settings and dispatches what its start posted; mainWindow is the
// new window.
HWND createClockWindow();

// Destroys the window (which saves the settings) and removes the quit
// message that its end posts, so that later message loops keep running.
void destroyClockWindow();

// Dispatches every message waiting for this thread.
void pumpMessages();

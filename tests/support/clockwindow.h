// The program's real main window, created inside a test program as the
// entry point creates it, so that WM_CREATE and every handler run for real.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

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

// Tests of the clock's real window: SetUp loads fresh settings and creates
// the window (a fixture that changes the settings first overrides SetUp and
// calls create); TearDown destroys it and clears the registry.
class ClockWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Creates the window from the current settings; it must come up as the
    // clock's one window.
    void create();
};

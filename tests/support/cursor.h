// The mouse cursor of the test desktop.
#pragma once
#include <windows.h>

// Puts the cursor at (x, y) and waits until it stays there. The desktop
// reports every move back a little later, so a move made just before can
// otherwise still set an older position after this one.
bool moveCursor(int x, int y);

// What this process holds, for tests that look for leaks.
#pragma once
#include <windows.h>

// Live GDI objects of this process, counted in the process's GDI handle
// table (Wine's GetGuiResources reports nothing).
int liveGdiObjects();

// The process's private bytes: its committed memory that no other process
// shares.
SIZE_T privateBytes();

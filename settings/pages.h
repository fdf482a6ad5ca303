// The Options and Pro options pages of the property sheet.
#pragma once
#include <windows.h>

INT_PTR CALLBACK optionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK colorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

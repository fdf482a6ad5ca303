// The Options and Pro options pages of the property sheet.
#pragma once
#include <windows.h>

INT_PTR CALLBACK optionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK colorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The sheet's notifications to a settings page: PSN_APPLY applies the page
// through its IDOK command, PSN_HELP opens the page's help topic.
INT_PTR onSheetNotify(HWND page, NMHDR const *header, int helpId);

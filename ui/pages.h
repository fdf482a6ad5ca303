// The Options and Pro options pages of the property sheet, and what the
// property pages share.
#pragma once
#include <windows.h>

INT_PTR CALLBACK optionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK colorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The sheet's notifications to a settings page: PSN_APPLY applies the page
// through its IDOK command, PSN_HELP opens the page's help topic.
INT_PTR onSheetNotify(HWND page, NMHDR const *header, int helpId);

// Tells the clock window that a page has applied its controls.
void postSettingsApplied();

// Gives a control the heaviest weight of its own font, which shows a path
// boldly; the caller owns the new font (null when none could be made).
HFONT setHeavyFont(HWND control);
// Gives the control its default font back and deletes the heavy one.
void releaseHeavyFont(HWND control, HFONT font);

// What the property pages and the dialogs share.
#pragma once
#include <windows.h>

#include "settings/settings.h"

// The module that setDialogHost handed in, which holds the templates.
HINSTANCE dialogModule();

// The sheet's notifications to a settings page: PSN_APPLY applies the page
// through its IDOK command, PSN_HELP opens the page's help topic.
INT_PTR onSheetNotify(HWND page, NMHDR const *header, int helpId);
// Opens the help at a page's topic.
void showPageHelp(int helpId);

// Tells the clock window that a page has applied its controls.
void postSettingsApplied();

// Gives a control the heaviest weight of its dialog's font, which shows a
// path boldly, in place of the heavy font it had before (deleted, when
// given); the caller owns the new font (null when none could be made).
HFONT setHeavyFont(HWND control, HFONT previous);
// Gives the control its default font back and deletes the heavy one.
void releaseHeavyFont(HWND control, HFONT font);

// The file-open dialog of the pages: one file type (a filter of one pair),
// the title, and OFN_FILEMUSTEXIST when mustExist is set (else only the
// folder must); whether the user chose a path, which path then holds.
bool chooseFile(HWND owner, wchar_t const *filter, wchar_t const *title, bool mustExist,
                wchar_t path[textUnits]);
// The file-save dialog of the pages, which adds the extension to a name
// typed without one and asks before a file is replaced.
bool chooseSaveFile(HWND owner, wchar_t const *filter, wchar_t const *title, wchar_t const *extension,
                    wchar_t path[textUnits]);

// A page's answer to WM_DPICHANGED_AFTERPARENT.
void rescaleLater(HWND page);

// Prepares a dialog that shows something and closes with OK or Cancel; its
// result is WM_INITDIALOG's.
typedef BOOL (*DialogSetUp)(HWND dialog);
// Runs such a dialog modally over the owner, with the one procedure that
// ends it with the id of OK or Cancel; a change of DPI runs the set-up
// again.
INT_PTR showClosingDialog(HWND owner, int templateId, DialogSetUp setUp);

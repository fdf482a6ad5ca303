// What the property pages and the dialogs share.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>

#include "ui/pages.h"
#include "ui/ui.h"

static HINSTANCE hostModule;
static HWND hostWindow;
static void (*hostHelp)(int mapId);

void setDialogHost(HINSTANCE module, HWND clockWindow, void (*help)(int mapId))
{
    hostModule = module;
    hostWindow = clockWindow;
    hostHelp = help;
}

HINSTANCE dialogModule()
{
    return hostModule;
}

void showPageHelp(int helpId)
{
    if (hostHelp)
        hostHelp(helpId);
}

INT_PTR onSheetNotify(HWND page, NMHDR const *header, int helpId)
{
    switch (header->code) {
    case PSN_APPLY:
        SendMessageA(page, WM_COMMAND, IDOK, 0);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    case PSN_HELP:
        showPageHelp(helpId);
        return TRUE;
    }
    return FALSE;
}

void postSettingsApplied()
{
    PostMessageA(hostWindow, settingsApplied, 0, 0);
}

int const heaviestWeight = 1000; // the top of the LOGFONT scale, above FW_HEAVY

// From the dialog's font, which the dialog manager makes anew at a new DPI.
HFONT setHeavyFont(HWND control, HFONT previous)
{
    LOGFONTA description;
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(GetParent(control), WM_GETFONT, 0, 0));
    if (!GetObjectA(font, sizeof description, &description))
        return previous;
    description.lfWeight = heaviestWeight;
    HFONT heavy = CreateFontIndirectA(&description);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(heavy), TRUE);
    if (previous)
        DeleteObject(previous);
    return heavy;
}

void rescaleLater(HWND page)
{
    PostMessageA(page, dpiRescale, 0, 0);
}

void releaseHeavyFont(HWND control, HFONT font)
{
    if (!font)
        return;
    SendMessageA(control, WM_SETFONT, 0, FALSE);
    DeleteObject(font);
}

static OPENFILENAMEW fileDialog(HWND owner, wchar_t const *filter, wchar_t const *title,
                                wchar_t path[textUnits])
{
    path[0] = L'\0';
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.hInstance = hostModule;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = textUnits;
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
    return dialog;
}

bool chooseFile(HWND owner, wchar_t const *filter, wchar_t const *title, bool mustExist,
                wchar_t path[textUnits])
{
    OPENFILENAMEW dialog = fileDialog(owner, filter, title, path);
    if (mustExist)
        dialog.Flags |= OFN_FILEMUSTEXIST;
    return GetOpenFileNameW(&dialog) != FALSE;
}

bool chooseSaveFile(HWND owner, wchar_t const *filter, wchar_t const *title, wchar_t const *extension,
                    wchar_t path[textUnits])
{
    OPENFILENAMEW dialog = fileDialog(owner, filter, title, path);
    dialog.lpstrDefExt = extension;
    dialog.Flags |= OFN_OVERWRITEPROMPT;
    return GetSaveFileNameW(&dialog) != FALSE;
}

// The set-up comes as the dialog's initialisation parameter.
static INT_PTR CALLBACK closingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        if (DialogSetUp setUp = reinterpret_cast<DialogSetUp>(lParam))
            return setUp(dialog);
        return TRUE;
    case WM_DPICHANGED:
        rescaleLater(dialog);
        break; // the dialog manager scales the dialog
    case dpiRescale:
        if (DialogSetUp setUp = reinterpret_cast<DialogSetUp>(GetWindowLongPtrA(dialog, DWLP_USER)))
            setUp(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR showClosingDialog(HWND owner, int templateId, DialogSetUp setUp)
{
    return DialogBoxParamA(hostModule, MAKEINTRESOURCEA(templateId), owner, closingDialogProc,
                           reinterpret_cast<LPARAM>(setUp));
}

// What the property pages share.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "app/app.h"
#include "render/render.h"
#include "settings/pages.h"

INT_PTR onSheetNotify(HWND page, NMHDR const *header, int helpId)
{
    switch (header->code) {
    case PSN_APPLY:
        SendMessageA(page, WM_COMMAND, IDOK, 0);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    case PSN_HELP:
        showHelp(helpId);
        return TRUE;
    }
    return FALSE;
}

void postSettingsApplied()
{
    PostMessageA(mainWindow, settingsApplied, 0, 0);
}

int const heaviestWeight = 1000; // the top of the LOGFONT scale, above FW_HEAVY

HFONT setHeavyFont(HWND control)
{
    LOGFONTA description;
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (!GetObjectA(font, sizeof description, &description))
        return nullptr;
    description.lfWeight = heaviestWeight;
    HFONT heavy = CreateFontIndirectA(&description);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(heavy), FALSE);
    return heavy;
}

void releaseHeavyFont(HWND control, HFONT font)
{
    if (!font)
        return;
    SendMessageA(control, WM_SETFONT, 0, FALSE);
    DeleteObject(font);
}

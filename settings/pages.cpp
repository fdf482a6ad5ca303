// What the two settings pages share.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "app/app.h"
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

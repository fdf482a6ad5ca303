// The About box.
#include <windows.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/pages.h"
#include "ui/ui.h"

static BOOL setUpAbout(HWND dialog)
{
    char product[nameLength] = "", version[nameLength] = "", text[2 * nameLength + 16];
    LoadStringA(dialogModule(), IDS_PRODUCT, product, nameLength);
    LoadStringA(dialogModule(), IDS_VERSION, version, nameLength);
    wsprintfA(text, "%s version %s", product, version);
    SetDlgItemTextA(dialog, IDC_VERSION, text);
    keepDialogOnScreen(dialog);
    return TRUE;
}

void showAbout(HWND owner)
{
    showClosingDialog(owner, IDD_ABOUTBOX, setUpAbout);
}

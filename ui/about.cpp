// The About box.
#include <windows.h>

#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"

static void onInitDialog(HWND dialog)
{
    char product[nameLength] = "", version[nameLength] = "", text[2 * nameLength + 16];
    LoadStringA(instance, IDS_PRODUCT, product, nameLength);
    LoadStringA(instance, IDS_VERSION, version, nameLength);
    wsprintfA(text, "%s version %s", product, version);
    SetDlgItemTextA(dialog, IDC_VERSION, text);
}

static INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        keepDialogOnScreen(dialog);
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

void showAbout()
{
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), mainWindow, aboutProc, 0);
}

// The "Properties" sheet with its three pages.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "app/app.h"
#include "res/resource.h"
#include "ui/ui.h"

// The sheet grows to fit its largest page only after it was placed beside
// the clock; once it has its final size it is brought back on screen.
static int CALLBACK sheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED)
        keepDialogOnScreen(sheet);
    return 0;
}

void openPropertySheet(int startPage)
{
    static struct {
        int templateId;
        DLGPROC procedure;
    } const pageList[] = {
        {IDD_OPTIONS, optionsPageProc},
        {IDD_PROOPTIONS, colorsPageProc},
        {IDD_ALARMS, alarmsPageProc},
    };
    // The UTF-16 sheet makes its pages, and their edit controls, Unicode
    // windows, so texts in every script reach them whole.
    PROPSHEETPAGEW pages[3] = {};
    for (int i = 0; i < 3; ++i) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_HASHELP;
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(pageList[i].templateId);
        pages[i].pfnDlgProc = pageList[i].procedure;
    }
    // The Alarms page's list and the alarm editor's up-down controls need
    // their window classes.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_HASHELP | PSH_NOCONTEXTHELP | PSH_USECALLBACK;
    header.hwndParent = mainWindow;
    header.hInstance = instance;
    header.pszCaption = L"Properties";
    header.nPages = 3;
    header.nStartPage = startPage;
    header.ppsp = pages;
    header.pfnCallback = sheetCallback;
    PropertySheetW(&header);
}

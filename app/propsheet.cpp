// The "Properties" sheet with its three pages.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "alarms/alarms.h"
#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"
#include "settings/pages.h"

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
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_HASHELP | PSH_NOCONTEXTHELP;
    header.hwndParent = mainWindow;
    header.hInstance = instance;
    header.pszCaption = L"Properties";
    header.nPages = 3;
    header.nStartPage = startPage;
    header.ppsp = pages;
    PropertySheetW(&header);
}

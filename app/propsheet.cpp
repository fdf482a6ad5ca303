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
    PROPSHEETPAGEA pages[3] = {};
    for (int i = 0; i < 3; ++i) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_HASHELP;
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEA(pageList[i].templateId);
        pages[i].pfnDlgProc = pageList[i].procedure;
    }
    // The Alarms page's list needs its window class.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_HASHELP | PSH_NOCONTEXTHELP;
    header.hwndParent = mainWindow;
    header.hInstance = instance;
    header.pszCaption = "Properties";
    header.nPages = 3;
    header.nStartPage = startPage;
    header.ppsp = pages;
    PropertySheetA(&header);
}

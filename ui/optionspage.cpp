// The Options page of the property sheet: second hand, hour numbers, the day
// and logo labels, always on top and autorun.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/pages.h"
#include "ui/ui.h"

int const logoTextLimit = 10; // characters the user may type
int const optionsHelpId = 1;

static void showOptions(HWND page, ClockSettings const &record)
{
    CheckDlgButton(page, IDC_AUTORUN, record.autorun);
    CheckDlgButton(page, IDC_ONTOP, record.onTop);
    CheckDlgButton(page, IDC_SECONDS, record.showSeconds);
    CheckDlgButton(page, IDC_ALARMHAND, record.showAlarmHand);
    SendDlgItemMessageA(page, IDC_NUMBERS, CB_SETCURSEL, record.showNumbers, 0);
    SendDlgItemMessageA(page, IDC_DAYOFWEEK, CB_SETCURSEL, record.showDayOfTheWeek, 0);
    SendDlgItemMessageA(page, IDC_LOGO, CB_SETCURSEL, record.showLogo, 0);
    SendDlgItemMessageA(page, IDC_LOGOTYPE, CB_SETCURSEL, record.logoType, 0);
    SetDlgItemTextW(page, IDC_LOGOTEXT, record.logoText);
}

static int selection(HWND page, int listId)
{
    return static_cast<int>(SendDlgItemMessageA(page, listId, CB_GETCURSEL, 0, 0));
}

// The logo's content matters only while the logo is shown, and its text only
// while that content is the text.
static void enableLogoControls(HWND page)
{
    bool logoShown = selection(page, IDC_LOGO) != 0;
    EnableWindow(GetDlgItem(page, IDC_LOGOTYPE), logoShown);
    EnableWindow(GetDlgItem(page, IDC_LOGOTEXT), logoShown && selection(page, IDC_LOGOTYPE) != 0);
}

static void addItems(HWND page, int listId, char const *const items[], int count)
{
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageA(page, listId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
}

static INT_PTR onInitDialog(HWND page)
{
    static char const *const logoTypes[] = {"Date", "Text"};
    static char const *const numbers[] = {"Off", "On", "Only 12-3-6-9"};
    static char const *const labelStyles[] = {"Off", "Solid", "Contour"};
    SendDlgItemMessageA(page, IDC_LOGOTEXT, EM_LIMITTEXT, logoTextLimit, 0);
    addItems(page, IDC_LOGOTYPE, logoTypes, 2);
    addItems(page, IDC_NUMBERS, numbers, 3);
    addItems(page, IDC_DAYOFWEEK, labelStyles, 3);
    addItems(page, IDC_LOGO, labelStyles, 3);
    showOptions(page, settings);
    CheckDlgButton(page, IDC_CLICKTHROUGH, settings.clickThrough);
    enableLogoControls(page);
    return TRUE;
}

static void onApply(HWND page)
{
    settings.autorun = IsDlgButtonChecked(page, IDC_AUTORUN) == BST_CHECKED;
    settings.onTop = IsDlgButtonChecked(page, IDC_ONTOP) == BST_CHECKED;
    settings.showSeconds = IsDlgButtonChecked(page, IDC_SECONDS) == BST_CHECKED;
    settings.showAlarmHand = IsDlgButtonChecked(page, IDC_ALARMHAND) == BST_CHECKED;
    settings.clickThrough = IsDlgButtonChecked(page, IDC_CLICKTHROUGH) == BST_CHECKED;
    settings.showDayOfTheWeek = selection(page, IDC_DAYOFWEEK);
    settings.showNumbers = selection(page, IDC_NUMBERS);
    settings.showLogo = selection(page, IDC_LOGO);
    settings.logoType = selection(page, IDC_LOGOTYPE);
    GetDlgItemTextW(page, IDC_LOGOTEXT, settings.logoText, textUnits);
    postSettingsApplied();
}

static void onSetToDefault(HWND page)
{
    ClockSettings defaults;
    setDefaultOptions(defaults);
    showOptions(page, defaults);
    enableLogoControls(page);
    PropSheet_Changed(GetParent(page), page);
}

static INT_PTR onCommand(HWND page, int id, int notification)
{
    switch (id) {
    case IDOK:
        onApply(page);
        break;
    case IDC_OPTIONSDEFAULT:
        onSetToDefault(page);
        break;
    case IDC_LOGOTEXT:
        // Only the user's typing is an edit; the page filling the control
        // (when the sheet shows it) is none.
        if (notification == EN_CHANGE && SendDlgItemMessageA(page, IDC_LOGOTEXT, EM_GETMODIFY, 0, 0))
            PropSheet_Changed(GetParent(page), page);
        break;
    case IDC_ONTOP:
    case IDC_SECONDS:
    case IDC_AUTORUN:
    case IDC_ALARMHAND:
    case IDC_CLICKTHROUGH:
        PropSheet_Changed(GetParent(page), page);
        break;
    case IDC_NUMBERS:
    case IDC_DAYOFWEEK:
    case IDC_LOGO:
    case IDC_LOGOTYPE:
        if (notification == CBN_SELCHANGE) {
            enableLogoControls(page);
            PropSheet_Changed(GetParent(page), page);
        }
        break;
    default:
        return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK optionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(page);
    case WM_COMMAND:
        return onCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        return onSheetNotify(page, reinterpret_cast<NMHDR const *>(lParam), optionsHelpId);
    }
    return FALSE;
}

// The world clock's dialog: the system's time zones by their display
// names, a box that filters them as one types, and the clock's label.
#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/pages.h"
#include "ui/ui.h"

struct ZoneChoice {
    WorldClock *clock; // the zone and label shown first, and the answer
    std::vector<TimeZoneName> zones;
    bool labelEdited; // the user typed a label of their own
    bool labelling;   // the dialog is filling the label itself
};

static std::wstring controlText(HWND dialog, int id)
{
    wchar_t text[textUnits] = L"";
    GetDlgItemTextW(dialog, id, text, textUnits);
    return text;
}

static bool contains(std::wstring text, std::wstring part)
{
    CharLowerBuffW(&text[0], DWORD(text.size()));
    CharLowerBuffW(&part[0], DWORD(part.size()));
    return text.find(part) != std::wstring::npos;
}

// The zone's name for a label: its display name less the offset before it,
// cut to a label's length.
static std::wstring zoneLabel(TimeZoneName const &zone)
{
    std::wstring name = zone.display;
    size_t close = name.find(L") ");
    if (name.compare(0, 4, L"(UTC") == 0 && close != std::wstring::npos)
        name.erase(0, close + 2);
    return name.substr(0, labelUnits - 1);
}

static int selectedZone(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ZONELIST);
    LRESULT item = SendMessageW(list, LB_GETCURSEL, 0, 0);
    return item == LB_ERR ? -1 : int(SendMessageW(list, LB_GETITEMDATA, item, 0));
}

// The zones whose display or key name holds the filter's text, the chosen
// one kept chosen while it is listed.
static void fillZoneList(HWND dialog, ZoneChoice &choice, std::wstring const &chosenKey)
{
    HWND list = GetDlgItem(dialog, IDC_ZONELIST);
    std::wstring filter = controlText(dialog, IDC_ZONEFILTER);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < choice.zones.size(); i++) {
        TimeZoneName const &zone = choice.zones[i];
        if (!filter.empty() && !contains(zone.display, filter) && !contains(zone.key, filter))
            continue;
        LRESULT item = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(zone.display.c_str()));
        SendMessageW(list, LB_SETITEMDATA, item, LPARAM(i));
        if (zone.key == chosenKey)
            SendMessageW(list, LB_SETCURSEL, item, 0);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

static void setLabel(HWND dialog, ZoneChoice &choice, std::wstring const &label)
{
    choice.labelling = true;
    SetDlgItemTextW(dialog, IDC_ZONELABEL, label.c_str());
    choice.labelling = false;
}

static INT_PTR onInitDialog(HWND dialog, ZoneChoice &choice)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&choice));
    choice.zones = systemTimeZones();
    SendDlgItemMessageW(dialog, IDC_ZONELABEL, EM_LIMITTEXT, labelUnits - 1, 0);
    setLabel(dialog, choice, choice.clock->label);
    choice.labelEdited = choice.clock->label[0] != L'\0';
    fillZoneList(dialog, choice, choice.clock->zone);
    keepDialogOnScreen(dialog);
    return TRUE;
}

// A chosen zone names the clock until the user gives it a label of their own.
static void onZoneChosen(HWND dialog, ZoneChoice &choice)
{
    int zone = selectedZone(dialog);
    if (zone >= 0 && !choice.labelEdited)
        setLabel(dialog, choice, zoneLabel(choice.zones[zone]));
}

static void onOk(HWND dialog, ZoneChoice &choice)
{
    int zone = selectedZone(dialog);
    if (zone < 0) {
        wchar_t text[textUnits] = L"", caption[nameLength] = L"";
        LoadStringW(dialogModule(), IDS_NOZONE, text, textUnits);
        MultiByteToWideChar(CP_ACP, 0, productName, -1, caption, nameLength);
        MessageBoxW(dialog, text, caption, MB_ICONERROR);
        return;
    }
    std::wstring label = controlText(dialog, IDC_ZONELABEL);
    if (label.empty())
        label = zoneLabel(choice.zones[zone]);
    lstrcpynW(choice.clock->zone, choice.zones[zone].key.c_str(), zoneKeyUnits);
    lstrcpynW(choice.clock->label, label.c_str(), labelUnits);
    EndDialog(dialog, IDOK);
}

static INT_PTR CALLBACK zoneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *choice = reinterpret_cast<ZoneChoice *>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog, *reinterpret_cast<ZoneChoice *>(lParam));
    case WM_COMMAND:
        if (!choice)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_ZONEFILTER:
            if (HIWORD(wParam) == EN_CHANGE) {
                int zone = selectedZone(dialog);
                fillZoneList(dialog, *choice, zone < 0 ? std::wstring() : choice->zones[zone].key);
            }
            return TRUE;
        case IDC_ZONELIST:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                onZoneChosen(dialog, *choice);
            return TRUE;
        case IDC_ZONELABEL:
            if (HIWORD(wParam) == EN_CHANGE && !choice->labelling)
                choice->labelEdited = !controlText(dialog, IDC_ZONELABEL).empty();
            return TRUE;
        case IDOK:
            onOk(dialog, *choice);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

bool chooseWorldZone(HWND owner, WorldClock &clock)
{
    ZoneChoice choice = {&clock, {}, false, false};
    return DialogBoxParamW(dialogModule(), MAKEINTRESOURCEW(IDD_WORLDCLOCK), owner, zoneDialogProc,
                           reinterpret_cast<LPARAM>(&choice)) == IDOK;
}

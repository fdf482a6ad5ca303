// The ringing window: what rang or was missed, in large type, with Snooze
// and Stop. Modeless and topmost, near the notification area of the
// clock's monitor; shown without taking the keyboard from the program in
// use.
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <string>

#include "alarms/alarms.h"
#include "res/resource.h"
#include "ui/pages.h"
#include "ui/ui.h"

static HWND ringWindow;
static HWND clockWindow; // whose monitor the ringing window is placed on
static HFONT largeFont;
// The annotation that makes the alarm texts a live region; null where the
// system has no accessibility property service.
static IAccPropServices *accessibility;
static bool offersRestart; // the default button restarts the timer instead of snoozing

// The alarm texts are set in the dialog's typeface at this size, which
// grows with the DPI.
int const largePoints = 20;

static void setLargeFont(HWND dialog, UINT dpi)
{
    LOGFONTW font = {};
    HGDIOBJ dialogFont = reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (!GetObjectW(dialogFont, sizeof font, &font))
        lstrcpyW(font.lfFaceName, L"MS Shell Dlg");
    font.lfHeight = -MulDiv(largePoints, dpi, 72);
    font.lfWidth = 0;
    HFONT created = CreateFontIndirectW(&font);
    if (!created)
        return;
    SendDlgItemMessageW(dialog, IDC_RINGTEXT, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
    if (largeFont)
        DeleteObject(largeFont);
    largeFont = created;
}

// A line that names the file the player could not play, or else the mark
// of what may keep the alarm from being heard.
static std::wstring soundText()
{
    std::wstring text;
    if (unplayedSound()[0]) {
        wchar_t format[nameLength] = L"", line[textUnits + nameLength];
        LoadStringW(dialogModule(), IDS_UNPLAYABLE, format, nameLength);
        wsprintfW(line, format, unplayedSound());
        text += std::wstring(L"\r\n") + line;
    }
    wchar_t const *mark = ringWarning(ringFacts).mark;
    if (alarmSounding && mark && text.empty())
        text += std::wstring(L"\r\n(") + mark + L")";
    return text;
}

// One line for each alarm: its time, or "Missed" and its time, then its
// description.
static std::wstring noticeText(AlarmNotices const &notices)
{
    wchar_t missed[nameLength] = L"";
    LoadStringW(dialogModule(), IDS_MISSED, missed, nameLength);
    std::wstring text;
    for (int i = 0; i < notices.count; ++i) {
        AlarmNotice const &notice = notices.items[i];
        wchar_t time[64];
        alarmTimeText(notice.hours, notice.minutes, time);
        if (!text.empty())
            text += L"\r\n";
        if (notice.missed)
            text += std::wstring(missed) + L" ";
        text += time;
        if (notice.description[0])
            text += std::wstring(L"  ") + notice.description;
    }
    return text + soundText();
}

static RECT childRect(HWND dialog, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

// The text control takes the height its lines need; the controls below it
// and the window move with its lower edge.
static void fitText(HWND dialog)
{
    HWND label = GetDlgItem(dialog, IDC_RINGTEXT);
    RECT shown = childRect(dialog, label);
    int length = GetWindowTextLengthW(label);
    std::wstring text(length + 1, L'\0');
    GetWindowTextW(label, &text[0], length + 1);
    RECT needed = {0, 0, shown.right - shown.left, 0};
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, largeFont);
    DrawTextW(dc, text.c_str(), length, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    int grow = (needed.bottom - needed.top) - (shown.bottom - shown.top);
    if (grow == 0)
        return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = childRect(dialog, child);
        if (child != label && rect.top >= shown.bottom)
            SetWindowPos(child, nullptr, rect.left, rect.top + grow, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetWindowPos(label, nullptr, 0, 0, shown.right - shown.left, needed.bottom - needed.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + grow,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Room left between the window and the notification area's edge of the
// work area, where the balloon or the system's notifications appear.
int const notificationRoom = 128;

// The corner of the clock's work area nearest the notification area (the
// bottom right one without a taskbar), clear of the balloon.
static void placeNearTray(HWND dialog, HWND clock)
{
    RECT clockRect, frame, notify;
    GetWindowRect(clock, &clockRect);
    GetWindowRect(dialog, &frame);
    RECT area = nearestWorkArea(clockRect);
    POINT tray = {area.right, area.bottom};
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    HWND icons = taskbar ? FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
    if (icons && GetWindowRect(icons, &notify))
        tray = {(notify.left + notify.right) / 2, (notify.top + notify.bottom) / 2};
    UINT dpi = windowDpi(dialog);
    int margin = MulDiv(8, dpi, standardDpi), room = MulDiv(notificationRoom, dpi, standardDpi);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int x = tray.x * 2 < area.left + area.right ? area.left + margin : area.right - width - margin;
    int y = tray.y * 2 < area.top + area.bottom ? area.top + room : area.bottom - height - room;
    x = std::max(int(area.left), std::min(x, int(area.right) - width));
    y = std::max(int(area.top), std::min(y, int(area.bottom) - height));
    SetWindowPos(dialog, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// UI Automation's LiveSetting property and its Assertive value, which the
// headers of mingw-w64 lack: a screen reader reads an assertive region's
// new text at once, also from a program in the background.
GUID const liveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
LONG const liveAssertive = 2;
// EVENT_OBJECT_LIVEREGIONCHANGED, which the headers give only for Windows 8
// and later: the region's text changed.
DWORD const liveRegionChanged = 0x8019;

// Marks the alarm texts as a live region, through the property service
// that COM finds in oleacc.dll (Windows 8 and later read the property).
static void markLiveRegion(HWND dialog)
{
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void **>(&accessibility))))
        return;
    VARIANT setting = {};
    setting.vt = VT_I4;
    setting.lVal = liveAssertive;
    accessibility->SetHwndProp(GetDlgItem(dialog, IDC_RINGTEXT), OBJID_CLIENT, CHILDID_SELF,
                               liveSettingProperty, setting);
}

static void unmarkLiveRegion(HWND dialog)
{
    if (!accessibility)
        return;
    accessibility->ClearHwndProps(GetDlgItem(dialog, IDC_RINGTEXT), OBJID_CLIENT, CHILDID_SELF,
                                  &liveSettingProperty, 1);
    accessibility->Release();
    accessibility = nullptr;
}

static void onInitDialog(HWND dialog)
{
    setLargeFont(dialog, windowDpi(dialog));
    markLiveRegion(dialog);
    wchar_t format[nameLength] = L"";
    LoadStringW(dialogModule(), IDS_SNOOZELENGTH, format, nameLength);
    for (int minutes : snoozeLengths) {
        wchar_t text[nameLength + 16];
        wsprintfW(text, format, minutes);
        int item = int(
            SendDlgItemMessageW(dialog, IDC_SNOOZELENGTH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
        SendDlgItemMessageW(dialog, IDC_SNOOZELENGTH, CB_SETITEMDATA, item, minutes);
        if (minutes == settings.snoozeMinutes)
            SendDlgItemMessageW(dialog, IDC_SNOOZELENGTH, CB_SETCURSEL, item, 0);
    }
}

// A timer's end, with no alarm ringing beside it, is answered by Restart
// in place of the snooze and its length.
static void offerRestart(HWND dialog, AlarmNotices const &notices)
{
    bool timer = false, alarm = false;
    for (int i = 0; i < notices.count; ++i) {
        bool isTimer = notices.items[i].id == timerNoticeId;
        timer |= isTimer;
        alarm |= !isTimer && !notices.items[i].missed;
    }
    offersRestart = timer && !alarm;
    wchar_t text[nameLength] = L"Snooze";
    if (offersRestart)
        LoadStringW(dialogModule(), IDS_RESTART, text, nameLength);
    SetDlgItemTextW(dialog, IDOK, text);
    ShowWindow(GetDlgItem(dialog, IDC_SNOOZELABEL), offersRestart ? SW_HIDE : SW_SHOW);
    ShowWindow(GetDlgItem(dialog, IDC_SNOOZELENGTH), offersRestart ? SW_HIDE : SW_SHOW);
}

static void onSnooze(HWND dialog)
{
    if (offersRestart) {
        restartTimer(utcNow());
        endToldAlarms();
        DestroyWindow(dialog);
        return;
    }
    LRESULT item = SendDlgItemMessageW(dialog, IDC_SNOOZELENGTH, CB_GETCURSEL, 0, 0);
    LRESULT minutes = SendDlgItemMessageW(dialog, IDC_SNOOZELENGTH, CB_GETITEMDATA, item, 0);
    snoozeAlarms(item == CB_ERR ? settings.snoozeMinutes : int(minutes));
    DestroyWindow(dialog);
}

// The alarm texts take the room their lines need, and the window, which
// grew with them, its place inside the work area again.
static void refit(HWND dialog)
{
    fitText(dialog);
    placeNearTray(dialog, clockWindow);
}

// Enter snoozes (the default button), Esc and the close box stop; the
// window has the keyboard only once the user turned to it, and the dialog
// manager then gives it to the first control.
static INT_PTR CALLBACK ringWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        return FALSE; // no focus: the program in use keeps the keyboard
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onSnooze(dialog);
            return TRUE;
        case IDCANCEL:
            endToldAlarms();
            DestroyWindow(dialog);
            return TRUE;
        }
        break;
    // At a new DPI the dialog manager scales the window and its controls
    // and gives them the dialog font anew; the alarm texts then get their
    // own font at the new size.
    case WM_DPICHANGED:
        PostMessageW(dialog, ringingWindowRefit, LOWORD(wParam), 0);
        return FALSE;
    case ringingWindowRefit:
        setLargeFont(dialog, UINT(wParam));
        refit(dialog);
        return TRUE;
    case WM_DESTROY:
        unmarkLiveRegion(dialog);
        ringWindow = nullptr;
        if (largeFont)
            DeleteObject(largeFont);
        largeFont = nullptr;
        return TRUE;
    }
    return FALSE;
}

void showRingingWindow(AlarmNotices const &notices, HWND clock)
{
    if (!ringWindow)
        ringWindow =
            CreateDialogParamW(dialogModule(), MAKEINTRESOURCEW(IDD_RINGING), nullptr, ringWindowProc, 0);
    if (!ringWindow)
        return;
    clockWindow = clock;
    HWND label = GetDlgItem(ringWindow, IDC_RINGTEXT);
    SetWindowTextW(label, noticeText(notices).c_str());
    offerRestart(ringWindow, notices);
    refit(ringWindow);
    NotifyWinEvent(liveRegionChanged, label, OBJID_CLIENT, CHILDID_SELF);
}

void closeRingingWindow()
{
    if (ringWindow)
        DestroyWindow(ringWindow);
}

bool ringingWindowMessage(MSG *message)
{
    return ringWindow && IsDialogMessageW(ringWindow, message);
}

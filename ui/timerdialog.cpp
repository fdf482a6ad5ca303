// The Timer dialog: minutes and seconds up to 12 hours, a label, the last
// five lengths to pick again, and Start.
#include <windows.h>
#include <commctrl.h>

#include "alarms/alarms.h"
#include "res/resource.h"
#include "ui/pages.h"
#include "ui/ui.h"

int const maxTimerMinutes = maxTimerSeconds / 60;

std::wstring durationText(LONGLONG seconds)
{
    wchar_t text[32];
    int hours = int(seconds / 3600), minutes = int(seconds / 60 % 60), rest = int(seconds % 60);
    if (hours)
        wsprintfW(text, L"%d:%02d:%02d", hours, minutes, rest);
    else
        wsprintfW(text, L"%d:%02d", minutes, rest);
    return text;
}

static void showLength(HWND dialog, int seconds)
{
    SetDlgItemInt(dialog, IDC_TIMERMINUTES, seconds / 60, FALSE);
    SetDlgItemInt(dialog, IDC_TIMERSECONDS, seconds % 60, FALSE);
}

static INT_PTR onInitDialog(HWND dialog)
{
    SendDlgItemMessageW(dialog, IDC_TIMERMINUTESSPIN, UDM_SETRANGE32, 0, maxTimerMinutes);
    SendDlgItemMessageW(dialog, IDC_TIMERSECONDSSPIN, UDM_SETRANGE32, 0, 59);
    SendDlgItemMessageW(dialog, IDC_TIMERLABEL, EM_LIMITTEXT, textUnits - 1, 0);
    for (int i = 0; i < recentTimerCount && countdown.recent[i]; ++i) {
        LRESULT item =
            SendDlgItemMessageW(dialog, IDC_TIMERRECENT, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(durationText(countdown.recent[i]).c_str()));
        SendDlgItemMessageW(dialog, IDC_TIMERRECENT, LB_SETITEMDATA, item, countdown.recent[i]);
    }
    showLength(dialog, countdown.seconds ? countdown.seconds : 5 * 60);
    SetDlgItemTextW(dialog, IDC_TIMERLABEL, countdown.label);
    keepDialogOnScreen(dialog);
    return TRUE;
}

// The fields' length in seconds; -1 when they hold no valid one.
static int chosenLength(HWND dialog)
{
    BOOL minutesRead, secondsRead;
    UINT minutes = GetDlgItemInt(dialog, IDC_TIMERMINUTES, &minutesRead, FALSE);
    UINT seconds = GetDlgItemInt(dialog, IDC_TIMERSECONDS, &secondsRead, FALSE);
    if (!minutesRead || !secondsRead || minutes > UINT(maxTimerMinutes) || seconds > 59)
        return -1;
    int length = int(minutes * 60 + seconds);
    return timerLength(length) ? length : -1;
}

// A refused Start says why and leaves the dialog open.
static void onStart(HWND dialog)
{
    int length = chosenLength(dialog);
    if (length < 0) {
        char text[128] = "";
        LoadStringA(dialogModule(), IDS_TIMERLENGTH, text, sizeof text);
        MessageBoxA(dialog, text, productName, MB_OK | MB_ICONERROR);
        SetFocus(GetDlgItem(dialog, IDC_TIMERMINUTES));
        return;
    }
    wchar_t label[textUnits];
    GetDlgItemTextW(dialog, IDC_TIMERLABEL, label, textUnits);
    startTimer(length, label, utcNow());
    EndDialog(dialog, IDOK);
}

static INT_PTR CALLBACK timerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onStart(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_TIMERRECENT:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                LRESULT item = SendDlgItemMessageW(dialog, IDC_TIMERRECENT, LB_GETCURSEL, 0, 0);
                if (item != LB_ERR)
                    showLength(dialog,
                               int(SendDlgItemMessageW(dialog, IDC_TIMERRECENT, LB_GETITEMDATA, item, 0)));
            } else if (HIWORD(wParam) == LBN_DBLCLK) {
                onStart(dialog);
            }
            return TRUE;
        }
        break;
    }
    return FALSE;
}

bool showTimerDialog(HWND owner)
{
    return DialogBoxParamW(dialogModule(), MAKEINTRESOURCEW(IDD_TIMER), owner, timerDialogProc, 0) == IDOK;
}

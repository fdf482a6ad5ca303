// The countdown timer in the clock window: its menu items, its words, and
// the ticks that ring it at its end; and the menu's switches that keep the
// clock out of the way.
#include <windows.h>

#include <string>

#include "alarms/alarms.h"
#include "app/app.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/ui.h"

void toggleOption(int &option)
{
    option = !option;
    applyClickThrough();
    saveSettings(mainWindow);
}

void openTimerDialog()
{
    if (showTimerDialog(mainWindow))
        redrawNow(); // the sector, the words and a tick at the end
}

void endTimer()
{
    stopTimer();
    redrawNow();
}

// "Stop timer" with the time left follows "Timer..." while a timer runs.
void showTimerItems(HMENU menu)
{
    DeleteMenu(menu, IDM_STOPTIMER, MF_BYCOMMAND);
    LONGLONG left = timerSecondsLeft(utcNow());
    if (!left)
        return;
    wchar_t format[nameLength] = L"", text[nameLength + 32];
    LoadStringW(instance, IDS_STOPTIMER, format, nameLength);
    wsprintfW(text, format, durationText(left).c_str());
    for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i)
        if (GetMenuItemID(menu, i) == IDM_TIMER)
            InsertMenuW(menu, i + 1, MF_BYPOSITION | MF_STRING, IDM_STOPTIMER, text);
}

int timerMinutesLeft()
{
    return int((timerSecondsLeft(utcNow()) + 59) / 60);
}

std::wstring timerWords()
{
    int minutes = timerMinutesLeft();
    if (!minutes)
        return std::wstring();
    wchar_t format[nameLength] = L"", text[nameLength + 16];
    LoadStringW(instance, IDS_TIMERWORDS, format, nameLength);
    wsprintfW(text, format, minutes);
    return text;
}

UINT timerTickDelay(UINT delay)
{
    LONGLONG left = timerSecondsLeft(utcNow());
    if (left && left * 1000 < delay)
        return UINT(left * 1000);
    return delay;
}

bool tickTimer(SYSTEMTIME const &now)
{
    bool running = countdown.end != 0;
    checkTimer(utcNow(), now);
    return running && !countdown.end;
}

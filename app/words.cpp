// The clock's words: the time, the date and the next alarm, which the tray
// tip and the window's text give to window lists and screen readers.
#include <windows.h>

#include <string>

#include "alarms/alarms.h"
#include "app/app.h"
#include "res/resource.h"
#include "settings/settings.h"

static std::wstring dateText(SYSTEMTIME const &time, DWORD flags, wchar_t const *picture)
{
    wchar_t text[128] = L"";
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &time, picture, text, ARRAYSIZE(text), nullptr);
    return text;
}

// The time as the taskbar shows it: the user's short time format, not the
// long one less its seconds (which keeps, say, a leading zero the short
// one drops).
static std::wstring timeText(SYSTEMTIME const &time)
{
    wchar_t picture[80] = L"", text[64] = L"";
    bool shortFormat =
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTTIME, picture, ARRAYSIZE(picture)) > 1;
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, shortFormat ? 0 : TIME_NOSECONDS, &time,
                    shortFormat ? picture : nullptr, text, ARRAYSIZE(text));
    return text;
}

std::wstring clockWords(SYSTEMTIME const &now, wchar_t const *separator)
{
    wchar_t product[nameLength] = L"";
    MultiByteToWideChar(CP_ACP, 0, productName, -1, product, nameLength);
    std::wstring words = product;
    words += separator + dateText(now, DATE_LONGDATE, nullptr) + L" " + timeText(now);
    SYSTEMTIME due;
    wchar_t next[64] = L"";
    if (nextDueAlarm(now, due)) {
        LoadStringW(instance, IDS_NEXTALARM, next, ARRAYSIZE(next));
        words += separator + std::wstring(next) + dateText(due, 0, L"ddd") + L" " + timeText(due);
    }
    std::wstring timer = timerWords();
    if (!timer.empty())
        words += separator + timer;
    return words;
}

void showClockWords(SYSTEMTIME const &now)
{
    setTrayTip(clockWords(now, L"\n").c_str());
    // Set as UTF-16 past the window procedure, which would narrow it to the
    // 8-bit code page.
    DefWindowProcW(mainWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(clockWords(now, L" - ").c_str()));
}

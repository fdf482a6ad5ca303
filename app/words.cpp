// The clock's words: the time, the date and the next alarm, which the tray
// tip and the window's text give to window lists and screen readers.
#include <windows.h>

#include <string>
#include <vector>

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

// The product name and the local date and time.
static std::wstring localWords(SYSTEMTIME const &now, wchar_t const *separator)
{
    wchar_t product[nameLength] = L"";
    MultiByteToWideChar(CP_ACP, 0, productName, -1, product, nameLength);
    return product + (separator + dateText(now, DATE_LONGDATE, nullptr)) + L" " + timeText(now);
}

// The next alarm and the timer's time left, each after its separator, or
// nothing.
static std::wstring alarmWords(SYSTEMTIME const &now, wchar_t const *separator)
{
    SYSTEMTIME due;
    wchar_t next[64] = L"";
    std::wstring words;
    if (nextDueAlarm(now, due)) {
        LoadStringW(instance, IDS_NEXTALARM, next, ARRAYSIZE(next));
        words = separator + std::wstring(next) + dateText(due, 0, L"ddd") + L" " + timeText(due);
        if (wchar_t const *mark = ringWarning(ringFacts).mark)
            words += std::wstring(L" (") + mark + L")";
    }
    std::wstring timer = timerWords();
    if (!timer.empty())
        words += separator + timer;
    return words;
}

// A line for each world clock: its label, time and short day of the week.
static std::vector<std::wstring> worldLines()
{
    SYSTEMTIME utc, time;
    GetSystemTime(&utc);
    std::vector<std::wstring> lines;
    for (std::wstring label; worldClockTime(int(lines.size()), utc, label, time);)
        lines.push_back(label + L" " + timeText(time) + L" " + dateText(time, 0, L"ddd"));
    return lines;
}

std::wstring fitTip(std::wstring const &head, std::vector<std::wstring> const &lines,
                    std::wstring const &tail, size_t limit)
{
    for (size_t shown = lines.size();; shown--) {
        std::wstring words = head;
        for (size_t i = 0; i < shown; i++)
            words += L"\n" + lines[i];
        words += tail;
        if (words.size() <= limit || shown == 0)
            return words;
    }
}

std::wstring clockWords(SYSTEMTIME const &now, wchar_t const *separator)
{
    std::wstring words = localWords(now, separator);
    for (std::wstring const &line : worldLines())
        words += separator + line;
    return words + alarmWords(now, separator);
}

void showClockWords(SYSTEMTIME const &now)
{
    size_t const tipLimit = 127; // the characters a tray tip holds
    setTrayTip(fitTip(localWords(now, L"\n"), worldLines(), alarmWords(now, L"\n"), tipLimit).c_str());
    // Set as UTF-16 past the window procedure, which would narrow it to the
    // 8-bit code page.
    std::wstring text = clockWords(now, L" - ");
    DefWindowProcW(mainWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    setWorldClockTexts(text.c_str());
}

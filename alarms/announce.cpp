// A ringing alarm told to screen readers through UI Automation, besides the
// balloon.
#include <windows.h>
#include <oleauto.h>
#include <uiautomationcore.h>

#include "alarms/alarms.h"
#include "res/resource.h"

// UI Automation's NotificationKind_Other and NotificationProcessing_ImportantAll.
int const notificationOther = 4;
int const processImportantAll = 0;

typedef HRESULT(WINAPI *HostProviderFromHwnd)(HWND, IRawElementProviderSimple **);
typedef HRESULT(WINAPI *RaiseNotificationEvent)(IRawElementProviderSimple *, int, int, BSTR, BSTR);

// The notification event exists from Windows 10 1709 on; the library is
// taken from System32 only, never from the program's folder.
static HMODULE automationCore()
{
    static HMODULE const module =
        LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module;
}

void announceAlarm(HWND window, AlarmEvent const &event)
{
    HMODULE module = automationCore();
    if (!module || !window)
        return;
    auto hostProvider = reinterpret_cast<HostProviderFromHwnd>(
        reinterpret_cast<void *>(GetProcAddress(module, "UiaHostProviderFromHwnd")));
    auto raise = reinterpret_cast<RaiseNotificationEvent>(
        reinterpret_cast<void *>(GetProcAddress(module, "UiaRaiseNotificationEvent")));
    IRawElementProviderSimple *provider = nullptr;
    if (!hostProvider || !raise || FAILED(hostProvider(window, &provider)) || !provider)
        return;
    SYSTEMTIME alarmTime = {};
    alarmTime.wHour = WORD(event.hours);
    alarmTime.wMinute = WORD(event.minutes);
    wchar_t time[64] = L"";
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &alarmTime, nullptr, time, ARRAYSIZE(time));
    wchar_t format[80] = L"", text[textUnits + 160];
    LoadStringW(GetModuleHandleW(nullptr), event.description[0] ? IDS_ALARMWORDSNOTE : IDS_ALARMWORDS, format,
                ARRAYSIZE(format));
    wsprintfW(text, format, time, event.description);
    BSTR words = SysAllocString(text);
    BSTR activity = SysAllocString(L"Halvitrum.Alarm");
    if (words && activity)
        raise(provider, notificationOther, processImportantAll, words, activity);
    SysFreeString(words);
    SysFreeString(activity);
    provider->Release();
}

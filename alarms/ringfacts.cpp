// Will the next alarm ring? What the system says about the default sound
// output, the next alarm's sound file and the computer's waking, and the
// line that tells the user what to do about the worst of it.
#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <powrprof.h>

#include "alarms/alarms.h"
#include "settings/settings.h"

RingFacts ringFacts;

RingWarning ringWarning(RingFacts const &facts)
{
    if (facts.noDevice)
        return {L"No sound output is connected: connect speakers or headphones, or the alarm is not heard.",
                L"no sound output"};
    if (facts.muted)
        return {L"Sound is muted: turn it on, or the alarm is not heard.", L"sound muted"};
    if (facts.silent)
        return {L"Sound volume is at zero: turn it up, or the alarm is not heard.", L"volume at zero"};
    if (facts.soundUnreadable)
        return {
            L"The next alarm's sound file cannot be read: choose another. The default sound rings instead.",
            L"sound file unreadable"};
    if (!facts.wakeWanted)
        return {};
    if (facts.modernStandby)
        return {L"This computer does not wake for alarms while it sleeps (Modern Standby): leave it awake.",
                L"no wake from sleep"};
    if (facts.wakeOffOnMains && facts.wakeOffOnBattery)
        return {L"Wake timers are off in the power plan: allow them under Power Options, Sleep.",
                L"wake timers off"};
    if (facts.wakeOffOnBattery)
        return {L"Wake timers are off on battery in the power plan: allow them under Power Options, Sleep.",
                L"wake timers off on battery"};
    if (facts.wakeOffOnMains)
        return {
            L"Wake timers are off on mains power in the power plan: allow them under Power Options, Sleep.",
            L"wake timers off on mains"};
    return {};
}

FARPROC systemFunction(wchar_t const *library, char const *name)
{
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? GetProcAddress(module, name) : nullptr;
}

// The default output's endpoint, as the system's sound settings show it.
static void readOutput(RingFacts &facts)
{
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IMMDeviceEnumerator *devices = nullptr;
    if (SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                   __uuidof(IMMDeviceEnumerator), reinterpret_cast<void **>(&devices)))) {
        IMMDevice *output = nullptr;
        IAudioEndpointVolume *volume = nullptr;
        facts.noDevice = FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &output)) || !output;
        if (output && SUCCEEDED(output->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER,
                                                 nullptr, reinterpret_cast<void **>(&volume)))) {
            BOOL muted = FALSE;
            float level = 1;
            facts.muted = SUCCEEDED(volume->GetMute(&muted)) && muted;
            facts.silent = SUCCEEDED(volume->GetMasterVolumeLevelScalar(&level)) && level <= 0;
            volume->Release();
        }
        if (output)
            output->Release();
        devices->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

typedef DWORD(WINAPI *ActiveScheme)(HKEY, GUID **);
typedef DWORD(WINAPI *ValueIndex)(HKEY, GUID const *, GUID const *, GUID const *, DWORD *);
typedef LONG(WINAPI *PowerInformation)(POWER_INFORMATION_LEVEL, void *, ULONG, void *, ULONG);

// The power plan's "Allow wake timers" in the sleep settings: 1 enables
// every timer; 0 disables them, and 2 lets only the system's own wake.
static bool wakeTimersOff(ValueIndex read, GUID const *scheme)
{
    static GUID const sleep = {0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
    static GUID const allowWakeTimers = {
        0xbd3b718a, 0x0680, 0x4d9d, {0x8a, 0xb2, 0xe1, 0xd2, 0xb4, 0xac, 0x80, 0x6d}};
    DWORD value = 1;
    return read && read(nullptr, scheme, &sleep, &allowWakeTimers, &value) == ERROR_SUCCESS && value != 1;
}

// powrprof.dll is no Known DLL: it is taken from System32 only.
static void readPower(RingFacts &facts)
{
    auto information = reinterpret_cast<PowerInformation>(
        reinterpret_cast<void *>(systemFunction(L"powrprof.dll", "CallNtPowerInformation")));
    SYSTEM_POWER_CAPABILITIES capabilities = {};
    bool known = information &&
                 information(SystemPowerCapabilities, nullptr, 0, &capabilities, sizeof capabilities) == 0;
    // The headers here predate the field AoAc, the third byte after
    // FastSystemS4 (offset 0x14).
    facts.modernStandby = known && capabilities.spare2[2];
    auto active = reinterpret_cast<ActiveScheme>(
        reinterpret_cast<void *>(systemFunction(L"powrprof.dll", "PowerGetActiveScheme")));
    GUID *scheme = nullptr;
    if (!active || active(nullptr, &scheme) != ERROR_SUCCESS || !scheme)
        return;
    facts.wakeOffOnMains = wakeTimersOff(reinterpret_cast<ValueIndex>(reinterpret_cast<void *>(
                                             systemFunction(L"powrprof.dll", "PowerReadACValueIndex"))),
                                         scheme);
    // A computer without a battery never runs on one.
    facts.wakeOffOnBattery = (!known || capabilities.SystemBatteriesPresent) &&
                             wakeTimersOff(reinterpret_cast<ValueIndex>(reinterpret_cast<void *>(
                                               systemFunction(L"powrprof.dll", "PowerReadDCValueIndex"))),
                                           scheme);
    LocalFree(scheme);
}

// The alarm that rings next, or again after its snooze.
static AlarmEvent const *nextAlarm()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    int slot = -1;
    LONGLONG from = localMinute(now);
    if (!from || !nextDueMinute(settings.alarms, snoozes, from, nullptr, &slot) || slot < 0)
        return nullptr;
    return &settings.alarms[slot];
}

void gatherRingFacts()
{
    RingFacts facts = {};
    readOutput(facts);
    AlarmEvent const *next = nextAlarm();
    facts.soundUnreadable = next && !soundReadable(alarmSound(*next));
    facts.wakeWanted = settings.wakeForAlarms != 0;
    if (facts.wakeWanted)
        readPower(facts);
    ringFacts = facts;
}

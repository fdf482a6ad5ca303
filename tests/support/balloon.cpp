#include "support/balloon.h"

#include <commctrl.h>

#include <cstdlib>

static BOOL CALLBACK findBalloonWindow(HWND window, LPARAM found)
{
    char name[64];
    if (!IsWindowVisible(window) || !GetClassNameA(window, name, sizeof name) ||
        lstrcmpiA(name, "tooltips_class32") != 0 || !(GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON))
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// The tooltip answers with pointers into its own process, so its answers
// are read through memory allocated there.
struct RemoteBlock {
    HANDLE process = nullptr;
    char *base = nullptr;
    ~RemoteBlock()
    {
        if (base)
            VirtualFreeEx(process, base, 0, MEM_RELEASE);
        if (process)
            CloseHandle(process);
    }
};

int const remoteTextChars = 1024;

bool shellShowsBalloons()
{
    using Version = char const *(CDECL *)();
    auto version = reinterpret_cast<Version>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return !version || atoi(version()) < 10;
}

bool findBalloon(Balloon &balloon)
{
    HWND tip = nullptr;
    EnumWindows(findBalloonWindow, reinterpret_cast<LPARAM>(&tip));
    if (!tip)
        return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(tip, &processId);
    RemoteBlock remote;
    remote.process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!remote.process)
        return false;
    SIZE_T const bytes = 4096 + 2 * remoteTextChars * sizeof(wchar_t);
    remote.base =
        static_cast<char *>(VirtualAllocEx(remote.process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
    if (!remote.base)
        return false;
    wchar_t *remoteText = reinterpret_cast<wchar_t *>(remote.base + 4096);
    wchar_t *remoteTitle = remoteText + remoteTextChars;
    wchar_t text[remoteTextChars] = {};
    wchar_t title[remoteTextChars] = {};

    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.lpszText = remoteText;
    WriteProcessMemory(remote.process, remote.base, &tool, sizeof tool, nullptr);
    WriteProcessMemory(remote.process, remoteText, text, sizeof text, nullptr);
    if (!SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remote.base)))
        return false;
    ReadProcessMemory(remote.process, remoteText, text, sizeof text - sizeof(wchar_t), nullptr);

    TTGETTITLE titleRequest = {};
    titleRequest.dwSize = sizeof titleRequest;
    titleRequest.cch = remoteTextChars;
    titleRequest.pszTitle = remoteTitle;
    WriteProcessMemory(remote.process, remote.base, &titleRequest, sizeof titleRequest, nullptr);
    WriteProcessMemory(remote.process, remoteTitle, title, sizeof title, nullptr);
    SendMessageW(tip, TTM_GETTITLE, 0, reinterpret_cast<LPARAM>(remote.base));
    ReadProcessMemory(remote.process, remoteTitle, title, sizeof title - sizeof(wchar_t), nullptr);

    balloon.text = text;
    balloon.title = title;
    return true;
}

static std::wstring soundPath()
{
    char const *unixPath = getenv("HALVITRUM_SOUND_FILE");
    std::wstring path = L"Z:";
    for (char const *c = unixPath ? unixPath : ""; *c; ++c)
        path += *c == '/' ? L'\\' : wchar_t(*c);
    return unixPath ? path : L"";
}

std::vector<short> capturedSound()
{
    std::vector<short> samples;
    HANDLE file = CreateFileW(soundPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return samples;
    samples.resize(GetFileSize(file, nullptr) / sizeof(short));
    DWORD read = 0;
    ReadFile(file, samples.data(), DWORD(samples.size() * sizeof(short)), &read, nullptr);
    samples.resize(read / sizeof(short));
    CloseHandle(file);
    return samples;
}

ULONGLONG soundBytes()
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(soundPath().c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A newly opened sound starts the file afresh, so only a rise between two
// samples counts, not a comparison with the size before.
bool soundGrows(DWORD periodMs)
{
    ULONGLONG last = soundBytes();
    for (DWORD waited = 0; waited < periodMs; waited += 100) {
        Sleep(100);
        ULONGLONG bytes = soundBytes();
        if (bytes > last)
            return true;
        last = bytes;
    }
    return false;
}

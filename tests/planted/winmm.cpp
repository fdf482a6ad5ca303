// A winmm.dll as a planted copy beside a program would be: when a process
// loads it, it leaves the file "winmm-loaded.txt" beside itself. Its sound
// calls do nothing.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

static void leaveMarker(HMODULE self)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    while (length > 0 && path[length - 1] != L'\\')
        --length;
    if (length == 0 || length + 20 >= MAX_PATH)
        return;
    lstrcpyW(path + length, L"winmm-loaded.txt");
    HANDLE marker =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        leaveMarker(self);
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI PlaySoundW(LPCWSTR, HMODULE, DWORD)
{
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI PlaySoundA(LPCSTR, HMODULE, DWORD)
{
    return TRUE;
}

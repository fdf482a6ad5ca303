#include "support/program.h"
#include "support/registry.h"

#include <tlhelp32.h>

#include <cstdlib>

#include "res/resource.h"

std::wstring binFolder()
{
    char const *unixPath = getenv("HALVITRUM_BIN");
    std::string path = unixPath ? unixPath : "";
    std::wstring folder = L"Z:";
    for (char c : path)
        folder += c == '/' ? L'\\' : wchar_t(c);
    return folder;
}

std::wstring testFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

CurrentFolder::CurrentFolder(wchar_t const *folder)
    : entered(GetCurrentDirectoryW(MAX_PATH, previous) && SetCurrentDirectoryW(folder))
{
}

CurrentFolder::~CurrentFolder()
{
    SetCurrentDirectoryW(previous);
}

bool startClock(RunningClock &clock, std::wstring const &arguments, DWORD timeoutMs,
                std::wstring const &directory)
{
    std::wstring folder = binFolder();
    return startClockFrom(clock, folder + L"\\Halvitrum.exe", arguments,
                          directory.empty() ? folder : directory, timeoutMs);
}

bool startClockFrom(RunningClock &clock, std::wstring const &program, std::wstring const &arguments,
                    std::wstring const &directory, DWORD timeoutMs)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                        &startup, &clock.process))
        return false;
    // The window exists from the start of its creation, but is placed and
    // set up only when it is shown.
    waitUntil(
        [&] {
            clock.window = FindWindowA("HALVITRUM", nullptr);
            return (clock.window && IsWindowVisible(clock.window)) ||
                   WaitForSingleObject(clock.process.hProcess, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    return clock.window != nullptr;
}

DWORD waitForExit(RunningClock &clock, DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(clock.process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(clock.process.hProcess, &code);
    return code;
}

DWORD exitClock(RunningClock &clock, DWORD timeoutMs)
{
    PostMessageA(clock.window, WM_COMMAND, IDM_EXIT, 0);
    return waitForExit(clock, timeoutMs);
}

void killClock(RunningClock &clock)
{
    TerminateProcess(clock.process.hProcess, 9);
    WaitForSingleObject(clock.process.hProcess, 5000);
    // Wine takes a killed process's windows away a moment after it ended;
    // until then the next clock started would find the old one.
    for (int i = 0; i < 250 && clock.window && IsWindow(clock.window); ++i)
        Sleep(20);
}

void releaseClock(RunningClock &clock)
{
    if (clock.process.hProcess) {
        if (waitForExit(clock, 0) == STILL_ACTIVE)
            killClock(clock);
        CloseHandle(clock.process.hProcess);
        CloseHandle(clock.process.hThread);
    }
    clock = RunningClock();
}

void killProcesses(wchar_t const *exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, exeName) != 0)
            continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

void RunningClockTest::SetUp()
{
    clearRegistry();
}

void RunningClockTest::TearDown()
{
    releaseClock(first);
    releaseClock(second);
    killProcesses(L"hh.exe");
    clearRegistry();
}

void RunningClockTest::start()
{
    releaseClock(clock);
    ASSERT_TRUE(startClock(clock));
}

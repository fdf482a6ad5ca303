// Whole-program tests: start Halvitrum.exe from the build output, find its
// window and end it, all from outside the process.
#pragma once
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

struct RunningClock {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};

// The folder of Halvitrum.exe (build output, Wine path); the clock's
// current directory there holds rooster.wav and the help file.
std::wstring binFolder();

// The folder of the running test program (Wine path).
std::wstring testFolder();

// Makes folder the current one for as long as it lives; the one before
// comes back at its end, whatever the test's outcome.
class CurrentFolder {
    wchar_t previous[MAX_PATH] = L""; // filled before entered is set

public:
    explicit CurrentFolder(wchar_t const *folder);
    ~CurrentFolder();
    bool const entered;
};

// Starts the clock and waits until its window is shown (or, failing that,
// exists). arguments follow the program's path on the command line; the
// current directory is the program's folder unless directory names another.
bool startClock(RunningClock &clock, std::wstring const &arguments = L"", DWORD timeoutMs = 15000,
                std::wstring const &directory = L"");
// The same with the program file program (full path), as a copy elsewhere.
bool startClockFrom(RunningClock &clock, std::wstring const &program, std::wstring const &arguments,
                    std::wstring const &directory, DWORD timeoutMs = 15000);

// Waits for the process to end; its exit code, or STILL_ACTIVE on time-out.
DWORD waitForExit(RunningClock &clock, DWORD timeoutMs = 15000);

// Ends the clock through its Exit command (105) and waits for it to end;
// the exit code, or STILL_ACTIVE.
DWORD exitClock(RunningClock &clock, DWORD timeoutMs = 15000);

// Ends the process at once, as a crash or kill would.
void killClock(RunningClock &clock);

// Kills the clock if it still runs, closes its handles and forgets it, so
// that the record can start a clock again.
void releaseClock(RunningClock &clock);

// Ends every process whose executable has this name (for example hh.exe,
// which a first start opens).
void killProcesses(wchar_t const *exeName);

// Waits until condition() holds, polling; whether it did within timeoutMs.
template <class Condition> bool waitUntil(Condition condition, DWORD timeoutMs = 5000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

// Tests of the running clock, with up to two clocks (clock is first), from
// a cleared registry; whatever still runs at the end is killed, with the
// help viewers, and the registry is cleared again, so that a failed check
// leaves no clock behind.
class RunningClockTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts clock afresh; it must come up.
    void start();
    RunningClock first, second;
    RunningClock &clock = first;
};

// clockctl: drives a running clock from outside, for the run command.
//   clockctl wait [SECONDS]  waits until the clock's window exists
//   clockctl exit [SECONDS]  ends the clock through its Exit command and
//                            waits until its window is gone
// Exit code 0 on success, 1 on a time-out, 2 on a wrong call.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "res/resource.h"

static HWND findClock()
{
    return FindWindowA("HALVITRUM", nullptr);
}

static bool waitFor(bool present, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if ((findClock() != nullptr) == present)
            return true;
        Sleep(100);
    }
    return false;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    int seconds = argc > 2 ? atoi(argv[2]) : 30;
    if (strcmp(argv[1], "wait") == 0)
        return waitFor(true, seconds) ? 0 : 1;
    if (strcmp(argv[1], "exit") == 0) {
        if (HWND clock = findClock())
            PostMessageA(clock, WM_COMMAND, IDM_EXIT, 0);
        return waitFor(false, seconds) ? 0 : 1;
    }
    return 2;
}

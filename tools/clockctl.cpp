// clockctl: drives a running clock from outside, for the run command.
//   clockctl wait [SECONDS]  waits until the clock's window exists
//   clockctl exit [SECONDS]  ends the clock through its Exit command and
//                            waits until its window is gone
//   clockctl hide [SECONDS]  waits until the clock's window is shown, then
//                            hides it through its Hide command
//   clockctl watch [SECONDS] waits until the clock's window exists, then
//                            until it is gone, however long that takes;
//                            started first in a new Wine desktop, it also
//                            brings up that desktop's taskbar
// Exit code 0 on success, 1 on a time-out, 2 on a wrong call. A program
// started into a Wine desktop that already exists hands nobody its exit
// code, so a file named as a third argument receives it as well.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "res/resource.h"
#include "taskbar.h"

static HWND findClock()
{
    return FindWindowA("HALVITRUM", nullptr);
}

int const forever = -1;

static bool waitFor(bool present, int seconds)
{
    for (int i = 0; seconds == forever || i < seconds * 10; ++i) {
        if ((findClock() != nullptr) == present)
            return true;
        Sleep(100);
    }
    return false;
}

static int run(int argc, char **argv)
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
    if (strcmp(argv[1], "hide") == 0) {
        for (int i = 0; !IsWindowVisible(findClock()); ++i) {
            if (i == seconds * 10)
                return 1;
            Sleep(100);
        }
        SendMessageA(findClock(), WM_COMMAND, IDM_HIDE, 0);
        return IsWindowVisible(findClock()) ? 1 : 0;
    }
    if (strcmp(argv[1], "watch") == 0) {
        bringUpTaskbar();
        return waitFor(true, seconds) && waitFor(false, forever) ? 0 : 1;
    }
    return 2;
}

int main(int argc, char **argv)
{
    int code = run(argc, argv);
    if (argc > 3) {
        if (FILE *result = fopen(argv[3], "w")) {
            fprintf(result, "%d\n", code);
            fclose(result);
        }
    }
    return code;
}

// The main of every test program: the product name and GDI+ are set up as
// WinMain does, and the exit code is also written where the Wine
// wrapper can read it (a program inside a virtual desktop has no other way
// to hand it back).
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "taskbar.h"

int main(int argc, char **argv)
{
    // The output goes to a file that the wrapper shows as it grows; unbuffered,
    // a test that hangs is seen by name. Wine 10 starts a program inside a
    // virtual desktop without standard handles: the wrapper names the file.
    if (char const *path = getenv("HALVITRUM_OUTPUT_FILE")) {
        freopen(path, "a", stdout);
        freopen(path, "a", stderr);
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    loadProductName(GetModuleHandleA(nullptr));
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    ULONG_PTR token;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    // Inside the test desktop the clocks meet a taskbar in its place.
    if (getenv("HALVITRUM_DESKTOP"))
        bringUpTaskbar();

    int result = RUN_ALL_TESTS();

    Gdiplus::GdiplusShutdown(token);
    if (char const *path = getenv("HALVITRUM_EXIT_FILE")) {
        if (FILE *file = fopen(path, "w")) {
            fprintf(file, "%d\n", result);
            fclose(file);
        }
    }
    fflush(stdout);
    return result;
}

// The help file, opened by the HTML Help viewer at a numbered topic.
#include <windows.h>
#include <shellapi.h>

#include "app/app.h"

void showHelp(int mapId)
{
    char parameters[64 + nameLength];
    int length = wsprintfA(parameters, "-mapid %d ", mapId);
    wsprintfA(parameters + length, ".\\%s.chm", productName);
    ShellExecuteA(mainWindow, "open", "HH", parameters, nullptr, SW_SHOWNORMAL);
}

static char const homePage[] = "https://www.orvella.example/halvitrum/";

void openHomePage()
{
    ShellExecuteA(mainWindow, "open", homePage, nullptr, nullptr, SW_SHOWNORMAL);
}

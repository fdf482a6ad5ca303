// The help file, opened by the HTML Help viewer at a numbered topic.
#include <windows.h>
#include <shellapi.h>

#include "app/app.h"

// The topics of the map ids, as the help file maps them.
struct HelpTopic {
    int mapId;
    wchar_t const *page;
};
static HelpTopic const helpTopics[] = {
    {1, L"help\\options.html"}, {2, L"help\\prooptions.html"}, {3, L"help\\alarms.html"},
    {5, L"help\\welcome.html"}, {6, L"help\\index.html"},
};

static bool runningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Wine's help viewer has no HTML engine and shows an empty page. There the
// topic is opened from the plain pages beside the program instead, with
// the command of the HTML file class, which Wine's winebrowser hands to the
// desktop's browser. The class is named because a Wine prefix without its
// HTML engine has no association for ".html". Whether it was opened.
static bool showPlainHelp(int mapId)
{
    for (HelpTopic const &topic : helpTopics) {
        wchar_t path[MAX_PATH];
        if (topic.mapId == mapId && besideProgram(topic.page, path)) {
            SHELLEXECUTEINFOW execute = {};
            execute.cbSize = sizeof execute;
            execute.fMask = SEE_MASK_CLASSNAME | SEE_MASK_FLAG_NO_UI;
            execute.hwnd = mainWindow;
            execute.lpVerb = L"open";
            execute.lpFile = path;
            execute.lpClass = L"htmlfile";
            execute.nShow = SW_SHOWNORMAL;
            return ShellExecuteExW(&execute) != FALSE;
        }
    }
    return false;
}

// The viewer by its full path: the shell would look for a bare "HH" in
// the current folder first, where a planted hh.exe could lie. The shared
// Windows folder, not a terminal server user's own one.
static bool helpViewerPath(wchar_t path[MAX_PATH])
{
    static wchar_t const viewer[] = L"\\hh.exe";
    UINT length = GetSystemWindowsDirectoryW(path, MAX_PATH);
    if (length == 0 || length + ARRAYSIZE(viewer) > MAX_PATH)
        return false;
    lstrcatW(path, viewer);
    return true;
}

// The viewer is given the help file's full path beside the program: the
// Run key, a console and Win+R start the clock in another folder. The
// viewer takes the rest of its command line as the file name, blanks
// included, as the shell's own command for .chm files passes it unquoted.
void showHelp(int mapId)
{
    if (runningUnderWine() && showPlainHelp(mapId))
        return;
    wchar_t name[nameLength + 4], file[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, productName, -1, name, nameLength);
    lstrcatW(name, L".chm");
    if (!programFilePath(name, file))
        return;
    wchar_t viewer[MAX_PATH];
    if (!helpViewerPath(viewer))
        return;
    wchar_t parameters[MAX_PATH + 32];
    wsprintfW(parameters, L"-mapid %d %s", mapId, file);
    ShellExecuteW(mainWindow, L"open", viewer, parameters, nullptr, SW_SHOWNORMAL);
}

static char const homePage[] = "https://www.orvella.example/halvitrum/";

void openHomePage()
{
    ShellExecuteA(mainWindow, "open", homePage, nullptr, nullptr, SW_SHOWNORMAL);
}

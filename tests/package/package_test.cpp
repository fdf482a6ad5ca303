// The release as a user meets it, in a Wine prefix of its own where the
// face font is not installed: the setup program (silent install, upgrade
// over a running clock, a clock that does not end, uninstall) and the zip
// unpacked into a folder with blanks and accented letters. tests/package.sh
// builds both packages and names them in HALVITRUM_SETUP and
// HALVITRUM_ZIP_FOLDER.
#include <windows.h>
#include <gdiplus.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "support/clockwindow.h"
#include "support/dialogdriver.h"
#include "support/program.h"
#include "support/registry.h"
#include "support/screen.h"

namespace {

char const uninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvitrum";
DWORD const setupTimeoutMs = 60000;

std::wstring environment(wchar_t const *name)
{
    wchar_t value[MAX_PATH] = L"";
    GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}

std::wstring shellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring installFolder()
{
    return shellFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Halvitrum";
}

std::wstring shortcutPath()
{
    return shellFolder(CSIDL_PROGRAMS) + L"\\Halvitrum.lnk";
}

std::string narrow(std::wstring const &text)
{
    char buffer[2 * MAX_PATH] = "";
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

bool sameText(std::wstring const &a, std::wstring const &b)
{
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

bool exists(std::wstring const &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string contents(std::wstring const &path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeFile(std::wstring const &path, std::string const &text)
{
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file << text;
}

// Every file below folder, as relative paths, sorted.
void listFiles(std::wstring const &folder, std::wstring const &prefix, std::vector<std::wstring> &files)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listFiles(folder + L"\\" + name, prefix + name + L"\\", files);
        else
            files.push_back(prefix + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::vector<std::wstring> filesBelow(std::wstring const &folder)
{
    std::vector<std::wstring> files;
    listFiles(folder, L"", files);
    std::sort(files.begin(), files.end());
    return files;
}

// Runs a command line and waits for it; its exit code, or STILL_ACTIVE
// after ending a program that did not end in time (a dialog left open).
DWORD run(std::wstring commandLine, DWORD timeoutMs = setupTimeoutMs)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return GetLastError() | 0x80000000u;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 9);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

DWORD runSetup(std::wstring const &arguments = L"/S")
{
    return run(L"\"" + environment(L"HALVITRUM_SETUP") + L"\" " + arguments);
}

// The uninstaller copies itself to the temporary folder and runs the copy
// ("Un.exe"), which does the work after the started one has ended. The
// copies still running.
std::vector<DWORD> uninstallerCopies()
{
    std::vector<DWORD> copies;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, L"Un.exe") == 0)
            copies.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return copies;
}

// Runs the uninstaller's command line and waits for its copy too; the
// copy's exit code, or STILL_ACTIVE when it did not end in time.
DWORD runUninstaller(std::wstring const &commandLine)
{
    DWORD code = run(commandLine);
    if (code != 0)
        return code;
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<DWORD> copies = uninstallerCopies();
        if (copies.empty())
            return 0;
        HANDLE copy = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, copies[0]);
        if (copy) {
            DWORD left = setupTimeoutMs - (GetTickCount() - start);
            bool ended = WaitForSingleObject(copy, left) == WAIT_OBJECT_0;
            GetExitCodeProcess(copy, &code);
            CloseHandle(copy);
            if (!ended)
                return STILL_ACTIVE;
            if (code != 0)
                return code;
        }
        if (GetTickCount() - start > setupTimeoutMs)
            return STILL_ACTIVE;
    }
}

std::wstring stringValue(char const *key, wchar_t const *name)
{
    std::wstring text;
    textValue(key, name, text);
    return text;
}

struct Shortcut {
    std::wstring target, folder;
};

bool readShortcut(std::wstring const &path, Shortcut &shortcut)
{
    IShellLinkW *link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void **>(&link))))
        return false;
    IPersistFile *file = nullptr;
    bool read = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
        wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"";
        read = SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
               SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
               SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
        shortcut.target = target;
        shortcut.folder = folder;
        file->Release();
    }
    link->Release();
    return read;
}

std::wstring versionString(std::vector<BYTE> &info, wchar_t const *name)
{
    wchar_t *value = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void **>(&value), &length) || !value)
        return L"";
    return value;
}

// The running clock: its window, its process and the program it runs.
struct Clock {
    HWND window = nullptr;
    DWORD processId = 0;
    HANDLE process = nullptr;
    std::wstring program;

    bool find(DWORD timeoutMs = 20000)
    {
        // Shown only once its creation has placed it.
        if (!waitUntil(
                [&] {
                    window = FindWindowA("HALVITRUM", nullptr);
                    return window && IsWindowVisible(window);
                },
                timeoutMs))
            return false;
        GetWindowThreadProcessId(window, &processId);
        process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        wchar_t path[MAX_PATH] = L"";
        DWORD size = MAX_PATH;
        if (process)
            QueryFullProcessImageNameW(process, 0, path, &size);
        program = path;
        return process != nullptr;
    }
    // Whether the process ended within timeoutMs.
    bool ended(DWORD timeoutMs = 15000)
    {
        return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    }
    bool exit()
    {
        PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
        return ended();
    }
    ~Clock()
    {
        if (process) {
            if (!ended(0))
                TerminateProcess(process, 9);
            CloseHandle(process);
        }
    }
};

// Starts the program in its own folder, as its shortcut and Explorer do.
bool startIn(std::wstring const &folder)
{
    std::wstring commandLine = L"\"" + folder + L"\\Halvitrum.exe\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// A clock of 256 pixels at (300, 200), black numbers on a white dial,
// without the second hand.
void prepareClockSettings()
{
    clearRegistry();
    setNumber(settingsKey, "X", 300);
    setNumber(settingsKey, "Y", 200);
    setNumber(settingsKey, "size", 256);
    setNumber(settingsKey, "show.seconds", 0);
    setNumber(settingsKey, "Use color", 1);
    setNumber(settingsKey, "Color background", RGB(255, 255, 255));
    setNumber(settingsKey, "Color text", RGB(0, 0, 0));
}

double angleBetween(double a, double b)
{
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

// The hour labels that the face shows: for each label whose place no hand
// comes near, whether dark pixels stand there on the white dial. Returns
// the labels looked at and, in missing, those without ink.
int numbersShown(HWND window, std::string &missing)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SYSTEMTIME now;
    GetLocalTime(&now);
    Screenshot screen;
    float R = (rect.right - rect.left) / 2;
    float u = 2 * R / 350;
    float R4 = 0.97f * 0.97f * 0.9f * 0.99f * R;
    int rn = int(0.8f * R4);
    int cx = rect.left + int(R), cy = rect.top + int(R);
    double hourHand = (now.wHour % 12 + now.wMinute / 60.0) * 30;
    double minuteHand = (now.wMinute + now.wSecond / 60.0) * 6;
    int looked = 0;
    missing.clear();
    for (int label = 1; label <= 12; ++label) {
        double degrees = label * 30.0;
        if (angleBetween(degrees, hourHand) < 25 || angleBetween(degrees, minuteHand) < 25)
            continue;
        double a = degrees * 3.14159265358979 / 180;
        float dx = label == 10 || label == 3 ? 5 * u : label == 9 ? -3 * u : 0;
        int x = cx + int(rn * std::sin(a)) + int(dx);
        int y = cy - int(rn * std::cos(a)) + int(4 * u);
        int halfWidth = label >= 10 ? 12 : 6;
        int dark = 0;
        for (int py = y - 8; py <= y + 8; ++py)
            for (int px = x - halfWidth; px <= x + halfWidth; ++px) {
                DWORD pixel = screen.at(px, py);
                if ((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF) < 3 * 128)
                    ++dark;
            }
        ++looked;
        if (dark < 15)
            missing += " " + std::to_string(label);
    }
    return looked;
}

// Every label away from the hands has its ink, "12" included unless a hand
// stands on it; polled until the first frame is shown.
void expectNumbersDrawn(HWND window)
{
    std::string missing;
    int looked = 0;
    waitUntil(
        [&] {
            looked = numbersShown(window, missing);
            return missing.empty();
        },
        10000);
    EXPECT_GE(looked, 8);
    EXPECT_EQ("", missing) << "labels without ink";
}

// A visible dialog of the process other than except (a message box over a
// wizard); null when none appears within timeoutMs.
HWND otherDialog(DWORD processId, HWND except, DWORD timeoutMs)
{
    struct Search {
        DWORD processId;
        HWND except, found;
    } search = {processId, except, nullptr};
    auto match = [](HWND window, LPARAM parameter) -> BOOL {
        auto search = reinterpret_cast<Search *>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[16] = "";
        GetClassNameA(window, name, sizeof name);
        if (owner == search->processId && window != search->except && IsWindowVisible(window) &&
            lstrcmpA(name, "#32770") == 0)
            search->found = window;
        return search->found == nullptr;
    };
    waitUntil(
        [&] {
            EnumWindows(match, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

// A window of the clock's class that ignores the Exit command, on a thread
// of its own: a clock that hangs.
class StubbornClock {
public:
    StubbornClock()
    {
        ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
        WaitForSingleObject(ready, 5000);
    }
    ~StubbornClock()
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        CloseHandle(ready);
    }
    HWND window = nullptr;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COMMAND)
            return 0;
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static DWORD WINAPI run(void *parameter)
    {
        auto self = static_cast<StubbornClock *>(parameter);
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"HALVITRUM";
        RegisterClassW(&windowClass);
        self->window = CreateWindowExW(WS_EX_TOOLWINDOW, L"HALVITRUM", L"Halvitrum", WS_POPUP, 0, 0, 10, 10,
                                       nullptr, nullptr, windowClass.hInstance, nullptr);
        SetEvent(self->ready);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        return 0;
    }
    HANDLE ready, thread;
};

class Package : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CoInitialize(nullptr);
    }
    std::wstring const setup = environment(L"HALVITRUM_SETUP");
    std::wstring const zipFolder = environment(L"HALVITRUM_ZIP_FOLDER");
    std::wstring const folder = installFolder();
};

} // namespace

TEST_F(Package, FreshPrefixWithoutTheFaceFont)
{
    ASSERT_TRUE(exists(setup)) << narrow(setup);
    ASSERT_TRUE(exists(zipFolder + L"\\Halvitrum.exe")) << narrow(zipFolder);
    Gdiplus::GpFontFamily *family = nullptr;
    EXPECT_NE(Gdiplus::Ok, Gdiplus::DllExports::GdipCreateFontFamilyFromName(L"Zorque", nullptr, &family));
    EXPECT_FALSE(exists(folder));
}

TEST_F(Package, SilentInstallTwice)
{
    ASSERT_EQ(0u, runSetup());
    ASSERT_EQ(0u, runSetup());

    // The same files as the zip, byte for byte, and the uninstaller.
    std::vector<std::wstring> expected = filesBelow(zipFolder);
    expected.push_back(L"Uninstall.exe");
    std::sort(expected.begin(), expected.end());
    std::vector<std::wstring> installed = filesBelow(folder);
    ASSERT_EQ(expected.size(), installed.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(sameText(expected[i], installed[i]))
            << narrow(expected[i]) << " " << narrow(installed[i]);
        if (expected[i] != L"Uninstall.exe") {
            EXPECT_EQ(contents(zipFolder + L"\\" + expected[i]), contents(folder + L"\\" + installed[i]))
                << narrow(expected[i]);
        }
    }

    Shortcut shortcut;
    ASSERT_TRUE(readShortcut(shortcutPath(), shortcut)) << narrow(shortcutPath());
    EXPECT_TRUE(sameText(folder + L"\\Halvitrum.exe", shortcut.target)) << narrow(shortcut.target);
    EXPECT_TRUE(sameText(folder, shortcut.folder)) << narrow(shortcut.folder);

    EXPECT_EQ(L"Halvitrum", stringValue(uninstallKey, L"DisplayName"));
    EXPECT_EQ(L"4.1", stringValue(uninstallKey, L"DisplayVersion"));
    EXPECT_EQ(L"Orvella", stringValue(uninstallKey, L"Publisher"));
    EXPECT_TRUE(sameText(folder + L"\\Halvitrum.exe,0", stringValue(uninstallKey, L"DisplayIcon")));
    std::wstring uninstaller = L"\"" + folder + L"\\Uninstall.exe\"";
    EXPECT_TRUE(sameText(uninstaller, stringValue(uninstallKey, L"UninstallString")));
    EXPECT_TRUE(sameText(uninstaller + L" /S", stringValue(uninstallKey, L"QuietUninstallString")));
    DWORD size = 0;
    EXPECT_TRUE(numberValue(uninstallKey, "EstimatedSize", size));
    EXPECT_GT(size, 1000u); // kilobytes: the program and its font alone are more
    EXPECT_LT(size, 20000u);

    std::wstring program = folder + L"\\Halvitrum.exe";
    std::vector<BYTE> info(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, info.size(), info.data()));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(0x00040001u, fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00040001u, fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
    EXPECT_EQ(L"4.1.0.0", versionString(info, L"FileVersion"));
    EXPECT_EQ(L"4.1.0.0", versionString(info, L"ProductVersion"));
    EXPECT_EQ(L"Halvitrum", versionString(info, L"ProductName"));
    EXPECT_EQ(L"Orvella", versionString(info, L"CompanyName"));
    EXPECT_EQ(L"Halvitrum analog clock", versionString(info, L"FileDescription"));
    EXPECT_EQ(L"Halvitrum.exe", versionString(info, L"OriginalFilename"));
    EXPECT_FALSE(versionString(info, L"LegalCopyright").empty());
}

TEST_F(Package, InstalledClockStartsFromItsShortcutAndDrawsItsNumbers)
{
    prepareClockSettings();
    ASSERT_GT(
        INT_PTR(ShellExecuteW(nullptr, L"open", shortcutPath().c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
        32);
    Clock clock;
    ASSERT_TRUE(clock.find());
    EXPECT_TRUE(sameText(folder + L"\\Halvitrum.exe", clock.program)) << narrow(clock.program);
    expectNumbersDrawn(clock.window);
    EXPECT_TRUE(clock.exit());
}

TEST_F(Package, UpgradeEndsTheRunningClockAndStartsItAgain)
{
    prepareClockSettings();
    ASSERT_TRUE(startIn(folder));
    Clock before;
    ASSERT_TRUE(before.find());
    SetWindowPos(before.window, nullptr, 352, 216, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    writeFile(folder + L"\\README.txt", "an older release");

    ASSERT_EQ(0u, runSetup());
    EXPECT_TRUE(before.ended(0)); // through Exit, which saved its place
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(before.process, &exitCode);
    EXPECT_EQ(0u, exitCode);
    DWORD x = 0, y = 0;
    EXPECT_TRUE(numberValue(settingsKey, "X", x));
    EXPECT_TRUE(numberValue(settingsKey, "Y", y));
    EXPECT_EQ(352u, x);
    EXPECT_EQ(216u, y);
    EXPECT_EQ(contents(zipFolder + L"\\README.txt"), contents(folder + L"\\README.txt"));

    Clock after;
    ASSERT_TRUE(after.find());
    EXPECT_NE(before.processId, after.processId);
    EXPECT_TRUE(sameText(folder + L"\\Halvitrum.exe", after.program)) << narrow(after.program);
    EXPECT_EQ(352, windowRect(after.window).left);
    EXPECT_EQ(216, windowRect(after.window).top);
    EXPECT_TRUE(after.exit());
}

TEST_F(Package, ClockThatDoesNotEndLeavesEverythingAsItWas)
{
    writeFile(folder + L"\\README.txt", "an older release");
    DeleteFileW(shortcutPath().c_str());
    setText(uninstallKey, L"DisplayVersion", L"4.0");
    {
        StubbornClock stubborn;
        ASSERT_NE(nullptr, stubborn.window);
        // Silent: no message box, exit code 2, nothing touched.
        EXPECT_EQ(2u, runSetup());
        EXPECT_EQ("an older release", contents(folder + L"\\README.txt"));
        EXPECT_FALSE(exists(shortcutPath()));
        EXPECT_EQ(L"4.0", stringValue(uninstallKey, L"DisplayVersion"));
        EXPECT_NE(0u, runUninstaller(L"\"" + folder + L"\\Uninstall.exe\" /S"));
        EXPECT_EQ(filesBelow(zipFolder).size() + 1, filesBelow(folder).size());
        EXPECT_TRUE(keyExists(uninstallKey));

        // With its pages, setup says why it stops.
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::wstring commandLine = L"\"" + setup + L"\"";
        ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        HWND wizard = waitForDialog("Halvitrum Setup", 0, process.dwProcessId, 20000);
        ASSERT_NE(nullptr, wizard);
        pressButton(wizard, IDOK); // Welcome: Next
        Sleep(500);
        pressButton(wizard, IDOK); // Install
        HWND box = otherDialog(process.dwProcessId, wizard, 30000);
        ASSERT_NE(nullptr, box);
        char text[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        EXPECT_NE(nullptr, strstr(text, "Halvitrum is running and did not end")) << text;
        EXPECT_NE(nullptr, strstr(text, "Setup has changed nothing")) << text;
        pressButton(box, IDOK);
        EXPECT_TRUE(waitGone(box));
        Sleep(500);
        pressButton(wizard, IDCANCEL); // the stopped installation offers only Close
        if (HWND question = otherDialog(process.dwProcessId, wizard, 2000))
            ADD_FAILURE() << "a question at the end: " << windowText(GetDlgItem(question, 0xFFFF));
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 10000));
        TerminateProcess(process.hProcess, 9);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ("an older release", contents(folder + L"\\README.txt"));
    }
    // Once the window is gone, setup goes through.
    ASSERT_EQ(0u, runSetup());
    EXPECT_EQ(contents(zipFolder + L"\\README.txt"), contents(folder + L"\\README.txt"));
    EXPECT_TRUE(exists(shortcutPath()));
    EXPECT_EQ(L"4.1", stringValue(uninstallKey, L"DisplayVersion"));
}

TEST_F(Package, SilentUninstallKeepsTheSettingsTwiceOver)
{
    // With its autorun entry in place at the start, the clock writes it
    // again when the uninstaller ends it; the uninstaller removes it after.
    prepareClockSettings();
    setText(autorunKey, L"Halvitrum", L"\"" + folder + L"\\Halvitrum.exe\" -autorun");
    ASSERT_TRUE(startIn(folder));
    Clock clock;
    ASSERT_TRUE(clock.find());
    wchar_t temporary[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temporary);
    std::wstring spare = std::wstring(temporary) + L"Uninstall.exe";
    ASSERT_TRUE(CopyFileW((folder + L"\\Uninstall.exe").c_str(), spare.c_str(), FALSE));

    EXPECT_EQ(0u, runUninstaller(stringValue(uninstallKey, L"QuietUninstallString")));
    EXPECT_TRUE(clock.ended(0));
    EXPECT_FALSE(exists(folder));
    EXPECT_FALSE(exists(shortcutPath()));
    EXPECT_FALSE(keyExists(uninstallKey));
    EXPECT_EQ(DWORD(REG_NONE), valueType(autorunKey, "Halvitrum"));
    EXPECT_TRUE(keyExists(settingsKey));

    // A second run, of a copy of the uninstaller on the removed folder,
    // finds nothing to do and ends without a dialog.
    EXPECT_EQ(0u, run(L"\"" + spare + L"\" /S _?=" + folder));
    EXPECT_FALSE(exists(folder));
    EXPECT_TRUE(keyExists(settingsKey));
}

TEST_F(Package, UninstallCanRemoveTheSettingsToo)
{
    ASSERT_EQ(0u, runSetup());
    ASSERT_TRUE(keyExists(settingsKey));
    EXPECT_EQ(0u, runUninstaller(stringValue(uninstallKey, L"QuietUninstallString") + L" /REMOVESETTINGS"));
    EXPECT_FALSE(exists(folder));
    EXPECT_FALSE(keyExists(uninstallKey));
    EXPECT_FALSE(keyExists(settingsKey));
    EXPECT_FALSE(keyExists("Software\\Orvella"));
}

TEST_F(Package, ZipInAFolderWithBlanksAndAccentsDrawsItsNumbers)
{
    prepareClockSettings();
    ASSERT_NE(std::wstring::npos, zipFolder.find(L' '));
    ASSERT_TRUE(std::any_of(zipFolder.begin(), zipFolder.end(), [](wchar_t c) { return c > 0x7F; }));
    ASSERT_TRUE(startIn(zipFolder));
    Clock clock;
    ASSERT_TRUE(clock.find());
    EXPECT_TRUE(sameText(zipFolder + L"\\Halvitrum.exe", clock.program)) << narrow(clock.program);
    expectNumbersDrawn(clock.window);
    EXPECT_TRUE(clock.exit());
}

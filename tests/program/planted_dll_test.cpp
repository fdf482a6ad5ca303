// A winmm.dll planted beside the program, as in a Downloads folder that
// the program's zip was unpacked into: the clock loads System32's copy.
#include <windows.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "settings/settings.h"
#include "support/dialogdriver.h"
#include "support/program.h"
#include "support/registry.h"

namespace {

// The path of the module of that name in a process; empty when not loaded.
std::wstring modulePath(DWORD processId, wchar_t const *name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    MODULEENTRY32W module = {};
    module.dwSize = sizeof module;
    std::wstring path;
    for (BOOL more = Module32FirstW(snapshot, &module); more && path.empty();
         more = Module32NextW(snapshot, &module))
        if (lstrcmpiW(module.szModule, name) == 0)
            path = module.szExePath;
    CloseHandle(snapshot);
    return path;
}

// Wine's DLL load order for Halvitrum.exe alone.
wchar_t const wineOverrides[] = L"Software\\Wine\\AppDefaults\\Halvitrum.exe\\DllOverrides";

class PlantedDll : public RunningClockTest {
protected:
    void SetUp() override
    {
        RunningClockTest::SetUp();
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"halvitrum-planted-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((binFolder() + L"\\Halvitrum.exe").c_str(),
                              (folder + L"\\Halvitrum.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((testFolder() + L"\\planted\\winmm.dll").c_str(),
                              (folder + L"\\winmm.dll").c_str(), FALSE));
        // Wine would run its own winmm even from the planted file's path;
        // told to prefer a DLL of that name found on the search path, it
        // does what Windows does with a DLL that is not a Known DLL.
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, wineOverrides, L"winmm", REG_SZ,
                                                 L"native,builtin", sizeof L"native,builtin"));
        setNumber(settingsKey, "size", 256); // no first start, no help
    }
    void TearDown() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, wineOverrides);
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Halvitrum.exe");
        RunningClockTest::TearDown();
        for (wchar_t const *file : {L"\\Halvitrum.exe", L"\\winmm.dll", L"\\winmm-loaded.txt"})
            DeleteFileW((folder + file).c_str());
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring folder;
};

} // namespace

TEST_F(PlantedDll, OnlySystem32sWinmmLoads)
{
    ASSERT_TRUE(startClockFrom(first, folder + L"\\Halvitrum.exe", L"", folder));
    // The Play button of the Alarms page plays the wave file through winmm.
    PostMessageA(first.window, WM_COMMAND, IDM_ALARMS, 0);
    HWND sheet = waitForDialog("Properties", 0, first.process.dwProcessId, 10000);
    ASSERT_NE(nullptr, sheet);
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ASSERT_NE(nullptr, GetDlgItem(page, IDC_PLAYWAVE));
    pressButton(page, IDC_PLAYWAVE);
    std::wstring winmm;
    EXPECT_TRUE(
        waitUntil([&] { return !(winmm = modulePath(first.process.dwProcessId, L"winmm.dll")).empty(); }));
    EXPECT_EQ(0, lstrcmpiW(L"C:\\windows\\system32\\winmm.dll", winmm.c_str()))
        << std::string(winmm.begin(), winmm.end());
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, exitClock(first));
    // A DLL is listed from the start of its loading on: the marker is
    // looked for once the process has ended.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"\\winmm-loaded.txt").c_str()));
}

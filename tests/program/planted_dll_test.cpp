// A winmm.dll planted beside the program, as in a Downloads folder that
// the program's zip was unpacked into: the clock loads System32's copy.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "settings/settings.h"
#include "support/dialogdriver.h"
#include "support/program.h"
#include "support/registry.h"

namespace {

BOOL CALLBACK findAlarmsPage(HWND child, LPARAM parameter)
{
    if (GetDlgItem(child, IDC_PLAYWAVE)) {
        *reinterpret_cast<HWND *>(parameter) = child;
        return FALSE;
    }
    return TRUE;
}

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

class PlantedDll : public TwoClocksTest {
protected:
    void SetUp() override
    {
        TwoClocksTest::SetUp();
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"halvitrum-planted-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((binFolder() + L"\\Halvitrum.exe").c_str(),
                              (folder + L"\\Halvitrum.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((testFolder() + L"\\planted\\winmm.dll").c_str(),
                              (folder + L"\\winmm.dll").c_str(), FALSE));
        // Wine, like Windows, prefers a DLL found on the search path over its
        // own built-in one only when told so for that DLL.
        GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, ARRAYSIZE(overrides));
        SetEnvironmentVariableW(L"WINEDLLOVERRIDES", (std::wstring(overrides) + L";winmm=n,b").c_str());
        setNumber(settingsKey, "size", 256); // no first start, no help
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides);
        TwoClocksTest::TearDown();
        for (wchar_t const *file : {L"\\Halvitrum.exe", L"\\winmm.dll", L"\\winmm-loaded.txt"})
            DeleteFileW((folder + file).c_str());
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring folder;
    wchar_t overrides[256] = L"";
};

} // namespace

TEST_F(PlantedDll, OnlySystem32sWinmmLoads)
{
    ASSERT_TRUE(startClockFrom(first, folder + L"\\Halvitrum.exe", L"", folder));
    // The Play button of the Alarms page plays the wave file through winmm.
    PostMessageA(first.window, WM_COMMAND, IDM_ALARMS, 0);
    HWND sheet = waitForDialog("Properties", 0, first.process.dwProcessId, 10000);
    ASSERT_NE(nullptr, sheet);
    HWND page = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        EnumChildWindows(sheet, findAlarmsPage, reinterpret_cast<LPARAM>(&page));
        return page != nullptr;
    }));
    pressButton(page, IDC_PLAYWAVE);
    std::wstring winmm;
    EXPECT_TRUE(
        waitUntil([&] { return !(winmm = modulePath(first.process.dwProcessId, L"winmm.dll")).empty(); }));
    EXPECT_EQ(0, lstrcmpiW(L"C:\\windows\\system32\\winmm.dll", winmm.c_str()))
        << std::string(winmm.begin(), winmm.end());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"\\winmm-loaded.txt").c_str()));
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, exitClock(first));
}

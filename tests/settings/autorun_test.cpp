#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"
#include "support/registry.h"

namespace {

class Autorun : public testing::Test {
protected:
    void SetUp() override
    {
        clearRegistry();
        window =
            CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 256, 256, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        clearRegistry();
    }
    HWND window = nullptr;
};

void createRunKey()
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, autorunKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
}

} // namespace

TEST_F(Autorun, EntryIsTheQuotedProgramPathWithTheMarker)
{
    createRunKey();
    loadSettings();
    EXPECT_EQ(0, settings.autorun); // the Run key exists, the value does not
    settings.autorun = 1;
    saveSettings(window);
    std::wstring entry;
    DWORD bytes = 0;
    ASSERT_TRUE(textValue(autorunKey, L"Halvitrum", entry, &bytes));
    wchar_t program[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_EQ(L"\"" + std::wstring(program) + L"\" -autorun", entry);
    EXPECT_EQ((entry.size() + 1) * 2, bytes);
    EXPECT_EQ(L" -autorun", entry.substr(entry.size() - 9));

    loadSettings();
    EXPECT_EQ(1, settings.autorun);
    settings.autorun = 0;
    saveSettings(window);
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), valueType(autorunKey, "Halvitrum"));
}

TEST_F(Autorun, MissingRunKeyMeansOnAndIsCreatedAtSave)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, autorunKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, autorunKey);
    loadSettings();
    EXPECT_EQ(1, settings.autorun);
    saveSettings(window);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), valueType(autorunKey, "Halvitrum"));
}

TEST_F(Autorun, OnlyATextEntryCounts)
{
    setRaw(autorunKey, "Halvitrum", REG_EXPAND_SZ, L"x.exe", 12);
    loadSettings();
    EXPECT_EQ(0, settings.autorun);
    saveSettings(window);
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), valueType(autorunKey, "Halvitrum"));

    setNumber(autorunKey, "Halvitrum", 1);
    loadSettings();
    EXPECT_EQ(0, settings.autorun);
}

TEST_F(Autorun, AnEntryLongerThanTheOldBufferStillCounts)
{
    std::wstring command = L"\"C:\\" + std::wstring(400, L'd') + L"\\Halvitrum.exe\" -autorun";
    setText(autorunKey, L"Halvitrum", command);
    loadSettings();
    EXPECT_EQ(1, settings.autorun);
}

TEST(AutorunCommand, QuotesThePathAndAddsTheMarkerOnce)
{
    EXPECT_EQ(L"\"C:\\Program Files\\Halvitrum.exe\" -autorun",
              autorunCommand(L"C:\\Program Files\\Halvitrum.exe"));
    EXPECT_EQ(L"\"C:\\a  b\\Halvitrum.exe\" -autorun", autorunCommand(L"C:\\a  b\\Halvitrum.exe"));
}

TEST(AutorunCommand, LongCommandLinesAreKeptWhole)
{
    std::wstring path = L"C:\\" + std::wstring(300, L'x') + L"\\Halvitrum.exe";
    EXPECT_EQ(L"\"" + path + L"\" -autorun", autorunCommand(path));
}

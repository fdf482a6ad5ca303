#include "support/registry.h"

#include <vector>

#include "settings/settings.h"

void clearRegistry()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, settingsKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, settingsKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, autorunKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Halvitrum");
        RegCloseKey(key);
    }
}

bool keyExists(char const *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool settingsSaved()
{
    return valueType(settingsKey, "size") != REG_NONE;
}

bool numberValue(char const *path, char const *name, DWORD &value)
{
    DWORD type = 0, bytes = sizeof value;
    return RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_ANY, &type, &value, &bytes) == ERROR_SUCCESS &&
           type == REG_DWORD && bytes == sizeof value;
}

bool textValue(char const *path, wchar_t const *name, std::wstring &text, DWORD *bytes)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    bool found =
        RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ;
    if (found) {
        std::vector<wchar_t> buffer(size / 2 + 1, L'\0');
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer.data()), &size);
        text = buffer.data();
        if (bytes)
            *bytes = size;
    }
    RegCloseKey(key);
    return found;
}

DWORD valueType(char const *path, char const *name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return REG_NONE;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        type = REG_NONE;
    RegCloseKey(key);
    return type;
}

void setRaw(char const *path, char const *name, DWORD type, void const *data, DWORD bytes)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<BYTE const *>(data), bytes);
    RegCloseKey(key);
}

void setNumber(char const *path, char const *name, DWORD value)
{
    setRaw(path, name, REG_DWORD, &value, sizeof value);
}

void setText(char const *path, wchar_t const *name, std::wstring const &text, bool terminated)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    DWORD bytes = static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<BYTE const *>(text.c_str()), bytes);
    RegCloseKey(key);
}

void deleteValue(char const *path, char const *name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

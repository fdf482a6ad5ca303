#include "settings/registry.h"

#include <vector>

bool readNumber(HKEY key, char const *name, DWORD &value)
{
    DWORD type = 0, number = 0, bytes = sizeof number;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&number), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof number)
        return false;
    value = number;
    return true;
}

bool readText(HKEY key, wchar_t const *name, std::wstring &text)
{
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
        return false;
    // The data is read into a buffer one unit longer than the value, so
    // that a value stored without its terminator still ends in one.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer.data()), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    size_t units = bytes / sizeof(wchar_t);
    if (units >= buffer.size())
        return false; // grew between the two queries
    buffer[units] = L'\0';
    text = buffer.data();
    return true;
}

void writeNumber(HKEY key, char const *name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE const *>(&value), sizeof value);
}

void writeText(HKEY key, wchar_t const *name, wchar_t const *text)
{
    DWORD bytes = static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<BYTE const *>(text), bytes);
}

bool takeText(std::wstring const &text, wchar_t *buffer, size_t units)
{
    if (text.size() + 1 > units)
        return false;
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
    return true;
}

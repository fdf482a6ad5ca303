// Small helpers over the registry; each read says whether it took a value.
#pragma once
#include <windows.h>

#include <string>

// A REG_DWORD value of 4 bytes.
bool readNumber(HKEY key, char const *name, DWORD &value);
// A REG_SZ value, up to its first null or the end of its data, whatever
// its length.
bool readText(HKEY key, wchar_t const *name, std::wstring &text);

void writeNumber(HKEY key, char const *name, DWORD value);
// REG_SZ with its terminating null included in the byte count.
void writeText(HKEY key, wchar_t const *name, wchar_t const *text);

// Copies text into a buffer of units code units when it fits there with
// its terminator; the buffer is left alone otherwise.
bool takeText(std::wstring const &text, wchar_t *buffer, size_t units);

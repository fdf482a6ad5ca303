// Test helpers over the program's registry keys.
#pragma once
#include <windows.h>

#include <string>

// Removes the settings key with its Events subkey and the Run value.
void clearRegistry();

bool keyExists(char const *path);
// Whether the settings have been saved: the running clock keeps its alarm
// memory (the last tick, the snoozes) in the settings key at any time, but
// the settings themselves only by a save, which writes "size" first.
bool settingsSaved();
bool numberValue(char const *path, char const *name, DWORD &value);
// A REG_SZ value through the UTF-16 calls, with its byte count.
bool textValue(char const *path, wchar_t const *name, std::wstring &text, DWORD *bytes = nullptr);
DWORD valueType(char const *path, char const *name); // REG_NONE when absent
void setNumber(char const *path, char const *name, DWORD value);
void setText(char const *path, wchar_t const *name, std::wstring const &text, bool terminated = true);
void setRaw(char const *path, char const *name, DWORD type, void const *data, DWORD bytes);
void deleteValue(char const *path, char const *name);

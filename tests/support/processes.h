// Processes that a program under test starts (the help viewer, the browser),
// observed from outside through Toolhelp and the child's own memory.
#pragma once
#include <windows.h>

#include <string>

// The id of a process named exeName whose parent is parentId and which is
// not excludedId; 0 when none appears within timeoutMs. The processes are
// polled without pause, so that short-lived ones are seen too.
DWORD waitForChildProcess(DWORD parentId, wchar_t const *exeName, DWORD timeoutMs = 10000,
                          DWORD excludedId = 0);

// The command line of a running process, read from its process parameters;
// empty when it cannot be read.
std::wstring processCommandLine(DWORD processId);

// The command line of the first child named exeName whose parameters could
// be read: a child that has just been created, or one that ends at once
// (winebrowser), is looked for again until timeoutMs; empty if none.
std::wstring childCommandLine(DWORD parentId, wchar_t const *exeName, DWORD timeoutMs = 10000);

// A command line without its program name (quoted or not) and the blanks
// after it.
std::wstring commandArguments(std::wstring const &commandLine);

// The program name at the start of a command line, without quotes.
std::wstring commandProgram(std::wstring const &commandLine);

// Ends one process by its id and waits for it.
void endProcess(DWORD processId);

#include "support/processes.h"

#include <tlhelp32.h>
#include <winternl.h>

namespace {

typedef NTSTATUS(NTAPI *QueryInformationProcess)(HANDLE, PROCESSINFOCLASS, void *, ULONG, ULONG *);

DWORD findChildProcess(DWORD parentId, wchar_t const *exeName, DWORD excludedId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    DWORD found = 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parentId && entry.th32ProcessID != excludedId &&
            lstrcmpiW(entry.szExeFile, exeName) == 0)
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

size_t programLength(std::wstring const &commandLine)
{
    if (!commandLine.empty() && commandLine[0] == L'"') {
        size_t close = commandLine.find(L'"', 1);
        return close == std::wstring::npos ? commandLine.size() : close + 1;
    }
    size_t blank = commandLine.find(L' ');
    return blank == std::wstring::npos ? commandLine.size() : blank;
}

} // namespace

DWORD waitForChildProcess(DWORD parentId, wchar_t const *exeName, DWORD timeoutMs, DWORD excludedId)
{
    DWORD start = GetTickCount();
    do {
        if (DWORD found = findChildProcess(parentId, exeName, excludedId))
            return found;
        Sleep(20);
    } while (GetTickCount() - start <= timeoutMs);
    return 0;
}

std::wstring processCommandLine(DWORD processId)
{
    auto query = reinterpret_cast<QueryInformationProcess>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!query || !process)
        return L"";
    std::wstring text;
    PROCESS_BASIC_INFORMATION basic = {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    if (query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) == 0 &&
        ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) &&
        peb.ProcessParameters &&
        ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr)) {
        text.resize(parameters.CommandLine.Length / sizeof(wchar_t));
        if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, &text[0],
                               parameters.CommandLine.Length, nullptr))
            text.clear();
    }
    CloseHandle(process);
    return text;
}

std::wstring childCommandLine(DWORD parentId, wchar_t const *exeName, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    std::wstring text;
    do {
        if (DWORD child = findChildProcess(parentId, exeName, 0))
            text = processCommandLine(child);
    } while (text.empty() && GetTickCount() - start <= timeoutMs);
    return text;
}

std::wstring commandArguments(std::wstring const &commandLine)
{
    size_t start = programLength(commandLine);
    while (start < commandLine.size() && commandLine[start] == L' ')
        ++start;
    return commandLine.substr(start);
}

std::wstring commandProgram(std::wstring const &commandLine)
{
    std::wstring program = commandLine.substr(0, programLength(commandLine));
    if (!program.empty() && program[0] == L'"')
        program = program.substr(1, program.size() - (program.back() == L'"' && program.size() > 1 ? 2 : 1));
    return program;
}

void endProcess(DWORD processId)
{
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId)) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

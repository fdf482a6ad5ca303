#include "support/usage.h"

#include <winternl.h>

// One entry of the GDI handle table that the process environment block
// points to; an entry in use has a type.
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};
int const gdiHandleCount = 0x10000;
size_t const gdiTableOffset = 0xF8; // of the table's address in a 64-bit PEB

int liveGdiObjects()
{
    using QueryProcess = NTSTATUS(WINAPI *)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return -1;
    auto peb = reinterpret_cast<BYTE const *>(basic.PebBaseAddress);
    auto table = *reinterpret_cast<GdiHandleEntry const *const *>(peb + gdiTableOffset);
    if (!table)
        return -1;
    int count = 0;
    for (int i = 0; i < gdiHandleCount; ++i)
        count += table[i].type != 0;
    return count;
}

// Wine's GetProcessMemoryInfo reports no private usage, so the committed
// private regions of the address space are added up.
SIZE_T privateBytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (BYTE const *address = nullptr; VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<BYTE const *>(region.BaseAddress) + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
    return total;
}

#pragma once
// Object counts of a process that work under Wine 8, where GetGuiResources always answers 0:
// the process's windows (the USER objects lists and forms make) and its live GDI objects, read
// from the GDI handle table. Shared by the end-to-end helper and the Windows tests.
#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <map>
#include <vector>

namespace object_counts {

struct WindowCount {
    DWORD pid;
    long count;
};

inline BOOL CALLBACK CountChild(HWND hwnd, LPARAM data) {
    auto* counter = reinterpret_cast<WindowCount*>(data);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == counter->pid) {
        ++counter->count;
    }
    return TRUE;
}

inline BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM data) {
    auto* counter = reinterpret_cast<WindowCount*>(data);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == counter->pid) {
        ++counter->count;
        ::EnumChildWindows(hwnd, &CountChild, data); // every depth
    }
    return TRUE;
}

// The windows of a process: GetGuiResources answers 0 under Wine 8, and windows are the
// USER objects a menu makes. Message-only windows are not listed by EnumWindows.
inline long CountWindows(DWORD pid) {
    WindowCount counter{pid, 0};
    ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&counter));
    HWND message = nullptr;
    while ((message = ::FindWindowExW(HWND_MESSAGE, message, nullptr, nullptr)) != nullptr) {
        CountTopLevel(message, reinterpret_cast<LPARAM>(&counter));
    }
    return counter.count;
}

// Wine keeps each process's GDI handles in a table the PEB points to (GdiSharedHandleTable,
// offset 0xF8 of the 64-bit PEB): 0x10000 entries of 24 bytes, an entry is live while its
// Type byte (offset 14) is not 0.
inline constexpr size_t kPebGdiTable = 0xF8;
inline constexpr size_t kGdiEntrySize = 24;
inline constexpr size_t kGdiEntryType = 14;
inline constexpr size_t kGdiEntryExtType =
    12; // the full type (NTGDI_OBJ_* >> 16) in its low 7 bits
inline constexpr size_t kGdiEntries = 0x10000;

inline bool ReadGdiTable(HANDLE process, std::vector<BYTE>& table) {
    PROCESS_BASIC_INFORMATION info{};
    ULONG length = 0;
    if (::NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof(info),
                                    &length) != 0 ||
        info.PebBaseAddress == nullptr) {
        return false;
    }
    uint64_t address = 0;
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process,
                             reinterpret_cast<const BYTE*>(info.PebBaseAddress) + kPebGdiTable,
                             &address, sizeof(address), &read) ||
        read != sizeof(address) || address == 0) {
        return false;
    }
    table.assign(kGdiEntrySize * kGdiEntries, 0);
    return ::ReadProcessMemory(process, reinterpret_cast<const void*>(address), table.data(),
                               table.size(), &read) &&
           read == table.size();
}

inline bool LiveEntry(const std::vector<BYTE>& table, size_t index) {
    return table[index * kGdiEntrySize + kGdiEntryType] != 0;
}

// Whether the table is where this file thinks: a brush of our own must appear in it, and
// vanish again once deleted. Otherwise the count would be a number that means nothing.
inline bool GdiTableUnderstood() {
    static int known = -1;
    if (known >= 0) {
        return known == 1;
    }
    known = 0;
    const HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    if (brush == nullptr) {
        return false;
    }
    const size_t index = reinterpret_cast<uintptr_t>(brush) & 0xFFFF;
    std::vector<BYTE> before, after;
    const bool readBefore = ReadGdiTable(::GetCurrentProcess(), before);
    ::DeleteObject(brush);
    const bool readAfter = ReadGdiTable(::GetCurrentProcess(), after);
    known = readBefore && readAfter && LiveEntry(before, index) && !LiveEntry(after, index) ? 1 : 0;
    return known == 1;
}

// Live GDI objects of a process, by type (the table's type numbers); -1 total when the table
// cannot be read or is not laid out as expected.
struct GdiCount {
    long total = -1;
    std::map<int, long> byType;
};
inline GdiCount CountGdiObjects(HANDLE process) {
    GdiCount count;
    std::vector<BYTE> table;
    if (!GdiTableUnderstood() || !ReadGdiTable(process, table)) {
        return count;
    }
    count.total = 0;
    for (size_t i = 0; i < kGdiEntries; ++i) {
        if (LiveEntry(table, i)) {
            ++count.total;
            ++count.byType[table[i * kGdiEntrySize + kGdiEntryExtType] & 0x7F];
        }
    }
    return count;
}

} // namespace object_counts

#include <windows.h>

#include <cstdint>
#include <new>

#include "platform/table_memory.h"

namespace {

// Large pages need the "Lock pages in memory" privilege, which an
// administrator grants per account; without it the engine uses ordinary pages.
[[nodiscard]] bool mayUseLargePages() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool granted = ::LookupPrivilegeValueA(nullptr, "SeLockMemoryPrivilege", &privileges.Privileges[0].Luid) &&
                         ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                         ::GetLastError() == ERROR_SUCCESS;
    ::CloseHandle(token);
    return granted;
}

}  // namespace

struct TableMemory::Mapping {
    void* start = nullptr;
    std::size_t bytes = 0;
};

// Committed memory reads as zero bytes; Windows maps each page in at its
// first touch.
TableMemory::TableMemory(std::size_t bytes) : mapping(std::make_unique<Mapping>()) {
    const std::size_t largePage = ::GetLargePageMinimum();
    if (largePage != 0 && bytes % largePage == 0 && mayUseLargePages())
        mapping->start = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE);
    if (mapping->start == nullptr)
        mapping->start = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (mapping->start == nullptr) throw std::bad_alloc();
    block = mapping->start;
    mapping->bytes = bytes;
}

// A store into each page maps it in; large pages are in memory already.
void TableMemory::mapIn() {
    SYSTEM_INFO system;
    ::GetSystemInfo(&system);
    auto* const firstByte = static_cast<volatile std::uint8_t*>(block);
    for (std::size_t offset = 0; offset < mapping->bytes; offset += system.dwPageSize) firstByte[offset] = 0;
}

TableMemory::~TableMemory() { ::VirtualFree(mapping->start, 0, MEM_RELEASE); }

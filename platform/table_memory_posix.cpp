#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "platform/table_memory.h"

namespace {

constexpr std::size_t HUGE_PAGE_BYTES = std::size_t{2} << 20;

}  // namespace

struct TableMemory::Mapping {
    void* start = nullptr;
    std::size_t bytes = 0;
};

// The block starts on a 2 MiB boundary and is advised to use huge pages.
// Fresh anonymous memory reads as zero bytes, and the kernel maps each page
// in at its first touch. Mapping all of them in ahead, even a step at a time
// on a thread of its own, holds the process's memory map for hundreds of
// milliseconds on a slow machine, and the first search (its thread's stack)
// and "quit" would wait for it; a search's first touches cost it less.
TableMemory::TableMemory(std::size_t bytes) : mapping(std::make_unique<Mapping>()) {
    mapping->bytes = bytes + HUGE_PAGE_BYTES;
    mapping->start = ::mmap(nullptr, mapping->bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping->start == MAP_FAILED) throw std::bad_alloc();
    const auto aligned =
        (reinterpret_cast<std::uintptr_t>(mapping->start) + HUGE_PAGE_BYTES - 1) & ~(HUGE_PAGE_BYTES - 1);
    block = reinterpret_cast<void*>(aligned);
    ::madvise(block, bytes, MADV_HUGEPAGE);
}

// Linux maps the pages in with one call from 5.14 on; older kernels refuse it.
void TableMemory::mapIn() { ::madvise(block, mapping->bytes - HUGE_PAGE_BYTES, MADV_POPULATE_WRITE); }

TableMemory::~TableMemory() { ::munmap(mapping->start, mapping->bytes); }

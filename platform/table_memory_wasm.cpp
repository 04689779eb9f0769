#include <cstdlib>
#include <new>

#include "platform/table_memory.h"

struct TableMemory::Mapping {
    void* start = nullptr;
};

// WebAssembly has one linear memory and no pages to map: the block comes
// from the heap, zeroed.
TableMemory::TableMemory(std::size_t bytes) : mapping(std::make_unique<Mapping>()) {
    mapping->start = std::calloc(bytes, 1);
    if (mapping->start == nullptr) throw std::bad_alloc();
    block = mapping->start;
}

// The browser gives the heap its memory as the heap grows.
void TableMemory::mapIn() {}

TableMemory::~TableMemory() { std::free(mapping->start); }

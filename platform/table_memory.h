#pragma once

#include <cstddef>
#include <memory>

// A block of zero bytes for the transposition table, released with the
// object. Where the system offers large pages the block asks for them (fewer
// address-translation misses when probing) without depending on them. Its
// pages are mapped in as the search first touches them, so that the engine
// answers at once when it starts.
class TableMemory {
public:
    // Throws std::bad_alloc when the system has no such block to give.
    explicit TableMemory(std::size_t bytes);
    ~TableMemory();
    TableMemory(const TableMemory&) = delete;
    TableMemory& operator=(const TableMemory&) = delete;

    [[nodiscard]] void* data() const { return block; }

private:
    // What the system handed out, of which block is the part in use.
    struct Mapping;
    std::unique_ptr<Mapping> mapping;
    void* block = nullptr;
};

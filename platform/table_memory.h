#pragma once

#include <cstddef>
#include <memory>

// A block of zero bytes for the transposition table, released with the
// object. Where the system offers large pages the block asks for them (fewer
// address-translation misses when probing) without depending on them. Its
// pages are mapped in as the search first touches them, so that the engine
// answers at once when it starts, or all at once by mapIn.
class TableMemory {
public:
    // Throws std::bad_alloc when the system has no such block to give.
    explicit TableMemory(std::size_t bytes);
    ~TableMemory();
    TableMemory(const TableMemory&) = delete;
    TableMemory& operator=(const TableMemory&) = delete;

    [[nodiscard]] void* data() const { return block; }
    // Maps every page of the block in now, where the system would map each
    // at its first touch, so that a search started later does not wait for
    // them; the bytes stay zero. Where the system cannot, the pages are
    // mapped in at first touch as before.
    void mapIn();

private:
    // What the system handed out, of which block is the part in use.
    struct Mapping;
    std::unique_ptr<Mapping> mapping;
    void* block = nullptr;
};

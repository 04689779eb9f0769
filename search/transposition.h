#pragma once

#include <cstdint>

#include "core/types.h"
#include "platform/table_memory.h"

// Kinds of stored scores; 0 marks an empty slot.
constexpr std::int8_t EXACT = 1;
constexpr std::int8_t UPPERBOUND = 2;  // the true score is at most the stored one
constexpr std::int8_t LOWERBOUND = 3;  // the true score is at least the stored one

struct TTEntry {
    std::int64_t key;
    Move move;
    std::int8_t flag;
    std::int8_t depth;
    std::int16_t score;
};
static_assert(sizeof(TTEntry) == 16);

// One slot per address, always replaced. Mate scores are kept relative to
// the stored node, so that a probe from another ply sees the distance to mate
// from its own root.
class TTable {
public:
    static constexpr int TT_BITS = 23;
    static constexpr std::int64_t TT_SIZE = std::int64_t{1} << TT_BITS;
    static constexpr std::int64_t TT_MASK = TT_SIZE - 1;

    static constexpr TTEntry NOENTRY{0, NOMOVE, 0, 0, 0};

    TTable();
    TTable(const TTable&) = delete;
    TTable& operator=(const TTable&) = delete;

    // Empties every slot and zeroes both counters.
    void clear();
    // Maps the table's memory in now rather than at the search's first
    // touches (TableMemory::mapIn); the slots stay as they are.
    void mapIn() { memory.mapIn(); }

    // The slot of key with its score seen from ply, or NOENTRY when the slot
    // holds another key.
    [[nodiscard]] TTEntry probe(std::int64_t key, int ply) const;
    void save(std::int64_t key, const Move& move, std::int8_t flag, int depth, int score, int ply);
    // Starts loading key's slot from memory, so that a probe soon after
    // finds it in the cache.
    void prefetch(std::int64_t key) const { __builtin_prefetch(&slots[key & TT_MASK]); }

    [[nodiscard]] std::int64_t getCollisions() const { return collisions; }
    [[nodiscard]] std::int64_t getEntries() const { return entries; }
    void resetCollisions() { collisions = 0; }

private:
    std::int64_t collisions = 0;
    std::int64_t entries = 0;
    TableMemory memory;
    TTEntry* slots;
};

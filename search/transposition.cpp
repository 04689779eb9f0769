#include "search/transposition.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t TABLE_BYTES = TTable::TT_SIZE * sizeof(TTEntry);

// An empty slot is all zero bytes, so the table is emptied with one block fill.
static_assert(TTable::NOENTRY.key == 0 && TTable::NOENTRY.move == NOMOVE && TTable::NOENTRY.flag == 0 &&
              TTable::NOENTRY.depth == 0 && TTable::NOENTRY.score == 0);

}  // namespace

// The table's memory starts as zero bytes: the empty table.
TTable::TTable() : memory(TABLE_BYTES), slots(static_cast<TTEntry*>(memory.data())) {}

void TTable::clear() {
    // Slots only leave the empty state through save, which counts them, so a
    // table without entries is all zero already.
    if (entries != 0) std::memset(static_cast<void*>(slots), 0, TABLE_BYTES);
    collisions = 0;
    entries = 0;
}

TTEntry TTable::probe(std::int64_t key, int ply) const {
    TTEntry entry = slots[key & TT_MASK];
    if (entry.key != key) return NOENTRY;
    if (entry.score >= MATE_THRESHOLD)
        entry.score = static_cast<std::int16_t>(entry.score - ply);
    else if (entry.score <= -MATE_THRESHOLD)
        entry.score = static_cast<std::int16_t>(entry.score + ply);
    return entry;
}

void TTable::save(std::int64_t key, const Move& move, std::int8_t flag, int depth, int score, int ply) {
    TTEntry& slot = slots[key & TT_MASK];
    if (slot.flag == 0)
        ++entries;
    else if (slot.key != key)
        ++collisions;

    if (score >= MATE_THRESHOLD)
        score += ply;
    else if (score <= -MATE_THRESHOLD)
        score -= ply;
    slot = {key, move, flag, static_cast<std::int8_t>(depth), static_cast<std::int16_t>(score)};
}

#include "search/transposition.h"

#include <algorithm>
#include <new>

// calloc hands out zeroed pages that the system maps in on first touch, so a
// Search costs little until its table fills.
TTable::TTable() : slots(static_cast<TTEntry*>(std::calloc(TT_SIZE, sizeof(TTEntry)))) {
    if (!slots) throw std::bad_alloc();
}

void TTable::clear() {
    // Slots only leave the empty state through save, which counts them, so a
    // table without entries is all zero already and its pages stay untouched.
    if (entries != 0) std::fill_n(slots.get(), TT_SIZE, NOENTRY);
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

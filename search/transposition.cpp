#include "search/transposition.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

#include <sys/mman.h>

namespace {

constexpr std::size_t TABLE_BYTES = TTable::TT_SIZE * sizeof(TTEntry);
constexpr std::size_t HUGE_PAGE_BYTES = std::size_t{2} << 20;
constexpr std::size_t MAPPING_BYTES = TABLE_BYTES + HUGE_PAGE_BYTES;

// An empty slot is all zero bytes, so the table is emptied with one block fill.
static_assert(TTable::NOENTRY.key == 0 && TTable::NOENTRY.move == NOMOVE && TTable::NOENTRY.flag == 0 &&
              TTable::NOENTRY.depth == 0 && TTable::NOENTRY.score == 0);

}  // namespace

// The table starts on a 2 MiB boundary and asks for huge pages: fewer page
// faults and fewer address-translation misses when probing. Fresh anonymous
// memory reads as zero bytes, the empty table. A thread of its own has the
// kernel map every page in, so that no search pays for first touches and
// the engine answers at once when it starts; it writes nothing, so a search
// that starts meanwhile may use the table.
TTable::TTable() {
    mapping = ::mmap(nullptr, MAPPING_BYTES, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) throw std::bad_alloc();
    const auto start = (reinterpret_cast<std::uintptr_t>(mapping) + HUGE_PAGE_BYTES - 1) & ~(HUGE_PAGE_BYTES - 1);
    slots = reinterpret_cast<TTEntry*>(start);
    ::madvise(slots, TABLE_BYTES, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    // Without the advice, or without a thread to give it, the pages are
    // mapped as the search first touches them.
    try {
        pageMapper =
            std::thread([table = static_cast<void*>(slots)] { ::madvise(table, TABLE_BYTES, MADV_POPULATE_WRITE); });
    } catch (const std::system_error&) {}
#endif
}

TTable::~TTable() {
    if (pageMapper.joinable()) pageMapper.join();
    ::munmap(mapping, MAPPING_BYTES);
}

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

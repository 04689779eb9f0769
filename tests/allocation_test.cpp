#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <ostream>

#include "board/perft.h"
#include "eval/evaluator.h"
#include "search/search.h"

// Every allocation of the test binary goes through here, so the tests below
// can tell whether the engine's hot paths allocate.
namespace {
std::atomic<long> allocationCount{0};
}  // namespace

void* operator new(std::size_t size) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

constexpr const char* MIDDLEGAME = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

// Runs work twice and returns the allocations of the second run: the first
// one may size buffers that are kept for reuse.
template <typename Work>
long allocationsOnceWarm(Work work) {
    work();
    const long before = allocationCount.load();
    work();
    return allocationCount.load() - before;
}

TEST(Allocation, HotPathsReuseTheirBuffers) {
    Board board(MIDDLEGAME);
    Perft(board, 3).perft(0);
    Perft walk(board, 3);
    const long beforeWalk = allocationCount.load();
    walk.perft(0);
    EXPECT_EQ(allocationCount.load() - beforeWalk, 0);

    Evaluator evaluator(board);
    EXPECT_EQ(allocationsOnceWarm([&] { static_cast<void>(evaluator.getRating(WHITE)); }), 0);

    std::ostream silent(nullptr);
    Search search(board, silent);
    EXPECT_EQ(allocationsOnceWarm([&] {
                  search.clear();
                  search.stop = false;
                  search.iterativeDeepening(WHITE, SearchLimits::toDepth(5));
              }),
              0);
}

}  // namespace

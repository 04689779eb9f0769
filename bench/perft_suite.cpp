// Runs every position of a perft suite file (";Dn count" after a FEN) up to a
// node budget and reports each count that differs. Exit status 1 on a mismatch.
//   perft_suite FILE [MAX_COUNT]     MAX_COUNT defaults to every depth
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "board/board.h"
#include "board/epd.h"
#include "board/perft.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: perft_suite FILE [MAX_COUNT]" << std::endl;
        return 2;
    }
    const std::uint64_t maxCount = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : UINT64_MAX;
    int failures = 0;
    std::uint64_t total = 0;
    for (const SuitePosition& position : readSuite(argv[1])) {
        int depth = 0;
        for (const auto& [d, count] : position.counts)
            if (count <= maxCount) depth = std::max(depth, d);
        if (depth == 0) continue;
        Board board(position.fen);
        Perft walk(board, depth);
        walk.perft(0);
        for (const auto& [d, count] : position.counts) {
            if (d > depth) continue;
            total += walk.nodesAt(d);
            if (walk.nodesAt(d) != count) {
                ++failures;
                std::cout << "MISMATCH " << position.fen << " depth " << d << ": " << walk.nodesAt(d) << " expected "
                          << count << std::endl;
            }
        }
    }
    std::cout << (failures == 0 ? "all counts match" : "counts differ") << ", " << total << " nodes" << std::endl;
    return failures == 0 ? 0 : 1;
}

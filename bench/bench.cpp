// Prints speed figures of the engine's hot paths. Run a Release build:
//   marrowby_bench            every section
//   marrowby_bench perft      one section by name
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>

#include "board/board.h"
#include "console/perft.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void perftSection() {
    struct Case {
        const char* fen;
        int depth;
    };
    constexpr Case cases[] = {
        {START_FEN, 6},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 5},
    };
    for (const Case& c : cases) {
        Board board;
        board.clear();
        board.fromFEN(c.fen);
        Perft walk(board, c.depth);
        const auto start = std::chrono::steady_clock::now();
        walk.perft(0);
        const double seconds = secondsSince(start);
        const std::uint64_t nodes = walk.nodesAt(c.depth);
        std::cout << "perft depth " << c.depth << " " << c.fen << ": " << nodes << " nodes, " << seconds << " s, "
                  << static_cast<std::uint64_t>(static_cast<double>(nodes) / seconds) << " nodes/s" << std::endl;
    }
}

struct Section {
    const char* name;
    std::function<void()> run;
};

}  // namespace

int main(int argc, char** argv) {
    const Section sections[] = {
        {"perft", perftSection},
    };
    for (const Section& section : sections) {
        bool chosen = argc < 2;
        for (int i = 1; i < argc; ++i) chosen = chosen || std::strcmp(argv[i], section.name) == 0;
        if (chosen) section.run();
    }
    return 0;
}

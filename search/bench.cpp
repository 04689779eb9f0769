#include "search/bench.h"

#include <chrono>
#include <ostream>

#include "search/search.h"

namespace {

// Openings, middlegames and endgames, each to a depth that takes a fraction
// of a second.
constexpr BenchPosition BENCH_POSITIONS[] = {
    {START_FEN, 11},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 9},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 13},
    {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 9},
    {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 9},
    {"r1bqk2r/1pppbppp/p1n2n2/4p3/B3P3/5N2/PPPP1PPP/RNBQ1RK1 w kq - 4 6", 10},
    {"rnbqkb1r/1p2pppp/p2p1n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R w KQkq - 0 6", 10},
    {"rnbqk2r/ppp1bppp/4pn2/3p2B1/2PP4/2N5/PP2PPPP/R2QKBNR w KQkq - 4 5", 10},
    {"rnbq1rk1/ppp1ppbp/3p1np1/8/2PPP3/2N2N2/PP3PPP/R1BQKB1R w KQ - 1 6", 10},
    {"rnbqk1nr/pp3ppp/4p3/2ppP3/1b1P4/2N5/PPP2PPP/R1BQKBNR w KQkq c6 0 5", 10},
    {"r1bq1rk1/ppp2ppp/2np1n2/2b1p3/2B1P3/2PP1N2/PP3PPP/RNBQ1RK1 w - - 0 7", 10},
    {"rn1qkbnr/pp2pppp/2p5/3pPb2/3P4/8/PPP2PPP/RNBQKBNR w KQkq - 1 4", 10},
    {"r1b2rk1/pp1nqppp/2pbpn2/3p4/2PP4/2NBPN2/PPQ2PPP/R1B2RK1 w - - 4 9", 10},
    {"r2qr1k1/1b1nbppp/p2p1n2/1p2p3/3PP3/1BP2N1P/PP1N1PP1/R1BQR1K1 w - - 0 13", 10},
    {"2r2rk1/pp3ppp/2n1pn2/8/3P4/2N2N2/PP3PPP/2R2RK1 w - - 0 16", 10},
    {"r4rk1/pp2ppbp/2np1np1/q7/3NP3/2N1BP2/PPPQ2PP/2KR1B1R w - - 0 10", 9},
    {"4r1k1/p4ppp/1p6/2p5/2P1n3/1P2P1P1/P4P1P/3R2K1 b - - 0 25", 11},
    {"8/5pk1/6p1/R7/5P2/r5P1/5K2/8 w - - 0 40", 13},
    {"6k1/5pp1/7p/8/3Q4/6P1/q4PKP/8 w - - 0 40", 11},
    {"8/4kp2/3np1p1/p6p/P3NP1P/4K1P1/8/8 w - - 0 38", 13},
    {"8/5k2/3bp1p1/1p1p3p/1P1P1P1P/4B1P1/5K2/8 w - - 0 40", 13},
    {"8/pp3k2/2p5/3p1p2/3P1P2/2P5/PP3K2/8 w - - 0 35", 15},
    {"8/8/4k3/3p4/3P4/4K3/8/8 w - - 0 50", 19},
};

}  // namespace

BenchResult runSearchBench(int depth, std::ostream& out) {
    Board board;
    std::ostream silent(nullptr);
    Search search(board, silent);
    BenchResult result{0, 0.0};
    for (const BenchPosition& position : BENCH_POSITIONS) {
        board = Board(position.fen);
        search.clear();
        search.stop = false;
        const auto start = std::chrono::steady_clock::now();
        const int searchDepth = depth > 0 ? depth : position.depth;
        search.iterativeDeepening(board.getTurn(), SearchLimits::toDepth(searchDepth));
        result.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        result.nodes += search.getNodes();
        out << "search depth " << searchDepth << " " << position.fen << ": " << search.getNodes() << " nodes, bestmove "
            << search.bestMove << std::endl;
    }
    return result;
}

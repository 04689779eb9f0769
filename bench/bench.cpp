// Prints speed figures of the engine's hot paths, and the start-up time and
// peak memory of the engine binary beside this one. Run a Release build:
//   marrowby_bench            every section
//   marrowby_bench perft      one section by name
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/perft.h"
#include "eval/evaluator.h"
#include "search/bench.h"
#include "search/search.h"

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
        Board board(c.fen);
        Perft walk(board, c.depth);
        const auto start = std::chrono::steady_clock::now();
        walk.perft(0);
        const double seconds = secondsSince(start);
        const std::uint64_t nodes = walk.nodesAt(c.depth);
        std::cout << "perft depth " << c.depth << " " << c.fen << ": " << nodes << " nodes, " << seconds << " s, "
                  << static_cast<std::uint64_t>(static_cast<double>(nodes) / seconds) << " nodes/s" << std::endl;
    }
}

// Rates a fixed list of positions over and over. The signature, the sum of
// one rating of each position for its side to move, changes whenever an
// evaluation number does.
void evalSection() {
    constexpr const char* fens[] = {
        START_FEN,
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQ1RK1 w - - 2 6",
        "2r2rk1/1bqnbppp/p2ppn2/1p6/3NP3/1BN1BP2/PPPQ2PP/2KR3R w - - 0 13",
        "r4rk1/pp2ppbp/2p3p1/q7/3P4/2P1B3/P3BPPP/1R1Q1RK1 b - - 0 14",
        "6k1/5p2/6p1/8/8/1r6/5PPK/R7 w - - 0 40",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "8/p4pk1/1p4p1/8/2P5/1P3PK1/P5P1/8 b - - 0 30",
    };
    constexpr int positions = static_cast<int>(std::size(fens));
    constexpr int rounds = 250000;
    std::vector<Board> boards(std::begin(fens), std::end(fens));
    std::vector<Evaluator> evaluators(boards.begin(), boards.end());

    std::int64_t signature = 0;
    for (int i = 0; i < positions; ++i) signature += evaluators[i].getRating(boards[i].getTurn());

    std::int64_t sum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < rounds; ++round)
        for (int i = 0; i < positions; ++i) sum += evaluators[i].getRating(boards[i].getTurn());
    const double seconds = secondsSince(start);
    const std::uint64_t evaluations = static_cast<std::uint64_t>(rounds) * positions;
    std::cout << "eval " << positions << " positions: " << evaluations << " evaluations, " << seconds << " s, "
              << static_cast<std::uint64_t>(static_cast<double>(evaluations) / seconds) << " evaluations/s, signature "
              << signature << (sum == signature * rounds ? "" : " (ratings changed between rounds)") << std::endl;
}

// Searches each position to a fixed depth with an empty table. The search is
// deterministic, so the node total is a signature of its behaviour: a change
// that alters it changes what the engine plays.
void searchSection() {
    const BenchResult result = runSearchBench(0, std::cout);
    std::cout << "search signature " << result.nodes << " nodes, " << result.seconds << " s, "
              << result.nodesPerSecond() << " nodes/s" << std::endl;
}

// The engine binary beside this one, as the section below starts it.
std::string enginePath;

// Starts the engine, sends the lines and reads its output until a line that
// starts with awaited; then sends "quit" and waits for the exit. Answers the
// seconds until that line and the peak resident memory in KiB, or a negative
// time when the engine could not be run.
std::pair<double, long> runEngine(const std::string& lines, const std::string& awaited) {
    int toEngine[2];
    int fromEngine[2];
    if (pipe(toEngine) != 0 || pipe(fromEngine) != 0) return {-1.0, 0};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toEngine[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromEngine[1], STDOUT_FILENO);
    for (const int end : {toEngine[0], toEngine[1], fromEngine[0], fromEngine[1]})
        posix_spawn_file_actions_addclose(&actions, end);
    char* const argv[] = {enginePath.data(), nullptr};
    pid_t child = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&child, enginePath.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toEngine[0]);
    close(fromEngine[1]);
    if (spawned != 0) {
        close(toEngine[1]);
        close(fromEngine[0]);
        return {-1.0, 0};
    }
    bool sent = write(toEngine[1], lines.data(), lines.size()) == static_cast<ssize_t>(lines.size());
    double seconds = -1.0;
    std::string pending;
    char buffer[4096];
    ssize_t got = 0;
    while (sent && seconds < 0 && (got = read(fromEngine[0], buffer, sizeof buffer)) > 0) {
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            if (pending.compare(0, awaited.size(), awaited) == 0) seconds = secondsSince(start);
    }
    constexpr char quit[] = "quit\n";
    sent = write(toEngine[1], quit, sizeof quit - 1) == static_cast<ssize_t>(sizeof quit - 1);
    close(toEngine[1]);
    while (read(fromEngine[0], buffer, sizeof buffer) > 0) {}
    close(fromEngine[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return {sent ? seconds : -1.0, usage.ru_maxrss};
}

// The time from starting the engine to its "uciok" (median of eleven starts),
// and its peak memory over a search to depth 10, the table included.
void startupSection() {
    std::vector<double> times;
    for (int run = 0; run < 11; ++run) times.push_back(runEngine("uci\n", "uciok").first);
    std::sort(times.begin(), times.end());
    const auto [searchSeconds, peakKiB] = runEngine("position startpos\ngo depth 10\n", "bestmove");
    if (times.front() < 0 || searchSeconds < 0) {
        std::cout << "start-up: cannot run " << enginePath << std::endl;
        return;
    }
    std::cout << "start-up to uciok: " << times[times.size() / 2] * 1000.0 << " ms (median of " << times.size()
              << "), peak memory: " << static_cast<double>(peakKiB) / 1024.0 << " MiB (go depth 10)" << std::endl;
}

struct Section {
    const char* name;
    std::function<void()> run;
};

}  // namespace

int main(int argc, char** argv) {
    const Section sections[] = {
        {"perft", perftSection},
        {"eval", evalSection},
        {"search", searchSection},
        {"startup", startupSection},
    };
    const std::string self = argv[0];
    const std::size_t slash = self.rfind('/');
    enginePath = (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/marrowby";
    for (const Section& section : sections) {
        bool chosen = argc < 2;
        for (int i = 1; i < argc; ++i) chosen = chosen || std::strcmp(argv[i], section.name) == 0;
        if (chosen) section.run();
    }
    return 0;
}

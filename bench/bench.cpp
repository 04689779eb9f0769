// Prints speed figures of the engine's hot paths, and the start-up time and
// peak memory of the engine binary built with it. Run a Release build:
//   marrowby_bench            every section
//   marrowby_bench perft      one section by name (perft, eval, parts, search,
//                             startup, firstmove, stop, peers)
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/perft.h"
#include "eval/evaluator.h"
#include "search/bench.h"
#include "search/move_picker.h"
#include "search/search.h"
#include "tests/engine_process.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One run of an engine: the seconds from its start to the awaited line, that
// line, and the engine's peak memory in KiB.
struct EngineRun {
    double seconds;
    std::string line;
    long peakKiB;
};

// Starts the program, sends the lines and reads its output up to a line that
// starts with awaited; then quits it.
EngineRun runEngine(const std::vector<std::string>& command, const std::string& lines, const std::string& awaited) {
    const auto start = std::chrono::steady_clock::now();
    EngineProcess engine(command);
    engine.write(lines);
    while (const std::optional<std::string> line = engine.readLine(std::chrono::minutes(1))) {
        if (line->starts_with(awaited)) {
            const double seconds = secondsSince(start);
            engine.write("quit\n");
            engine.waitExit();
            return {seconds, *line, engine.peakMemoryKiB()};
        }
    }
    throw std::runtime_error(command.front() + " never wrote " + awaited);
}

constexpr BenchPosition PERFT_CASES[] = {
    {START_FEN, 6},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 5},
};

// The Debian package of a peer engine whose "go perft" counts the last ply
// without making its moves.
constexpr const char* PEER_BINARY = "/usr/games/stockfish";
constexpr int PEER_PAIRS = 3;

// The whole-process time of the engine's perft against the peer's on each
// case: runs alternate, and the median of the paired ratios is printed. The
// peer's total must equal the last ply's count.
void peerPerftRatios() {
    if (!std::filesystem::exists(PEER_BINARY)) {
        std::cout << "perft against a peer: " << PEER_BINARY
                  << " is missing; apt-get install stockfish adds its go perft (bulk counting) for comparison"
                  << std::endl;
        return;
    }
    for (const BenchPosition& c : PERFT_CASES) {
        const std::string position = std::string("position fen ") + c.fen + "\n";
        const std::string depth = std::to_string(c.depth);
        std::vector<double> ratios;
        EngineRun own{}, peer{};
        for (int pair = 0; pair < PEER_PAIRS; ++pair) {
            own = runEngine(engineCommand(), position + "perft " + depth + "\n", "Ply " + depth + ":");
            peer = runEngine({PEER_BINARY}, position + "go perft " + depth + "\n", "Nodes searched:");
            ratios.push_back(own.seconds / peer.seconds);
        }
        std::sort(ratios.begin(), ratios.end());
        const std::string ownNodes = own.line.substr(own.line.find(' ', own.line.find(':')) + 1);
        const std::string peerNodes = peer.line.substr(peer.line.find(':') + 2);
        std::cout << "perft depth " << c.depth << " " << c.fen << " against stockfish go perft, whole process: ratio "
                  << ratios[ratios.size() / 2] << " (median of " << PEER_PAIRS << " alternated pairs; last pair "
                  << own.seconds << " s against " << peer.seconds << " s)"
                  << (ownNodes.starts_with(peerNodes + " ") ? "" : ", node counts differ: " + peerNodes) << std::endl;
    }
}

void perftSection() {
    for (const BenchPosition& c : PERFT_CASES) {
        Board board(c.fen);
        Perft walk(board, c.depth);
        const auto start = std::chrono::steady_clock::now();
        walk.perft(0);
        const double seconds = secondsSince(start);
        const std::uint64_t nodes = walk.nodesAt(c.depth);
        std::cout << "perft depth " << c.depth << " " << c.fen << ": " << nodes << " nodes, " << seconds << " s, "
                  << static_cast<std::uint64_t>(static_cast<double>(nodes) / seconds) << " nodes/s" << std::endl;
    }
    peerPerftRatios();
}

// Middlegames and endgames the evaluation figures are taken on.
constexpr const char* EVAL_FENS[] = {
    START_FEN,
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQ1RK1 w - - 2 6",
    "2r2rk1/1bqnbppp/p2ppn2/1p6/3NP3/1BN1BP2/PPPQ2PP/2KR3R w - - 0 13",
    "r4rk1/pp2ppbp/2p3p1/q7/3P4/2P1B3/P3BPPP/1R1Q1RK1 b - - 0 14",
    "6k1/5p2/6p1/8/8/1r6/5PPK/R7 w - - 0 40",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/p4pk1/1p4p1/8/2P5/1P3PK1/P5P1/8 b - - 0 30",
};

// Rates a fixed list of positions over and over. The signature, the sum of
// one rating of each position for its side to move, changes whenever an
// evaluation number does.
void evalSection() {
    constexpr int positions = static_cast<int>(std::size(EVAL_FENS));
    constexpr int rounds = 250000;
    std::vector<Board> boards(std::begin(EVAL_FENS), std::end(EVAL_FENS));
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

// Makes and takes back every legal move of each root, rounds times, and
// calls work(root index, board) on each position reached. Returns the
// seconds taken; positions counts the positions reached.
template <typename Work>
double walkChildren(std::vector<Board>& roots, int rounds, std::int64_t& positions, Work work) {
    std::vector<MoveList> moves(roots.size());
    for (std::size_t i = 0; i < roots.size(); ++i) roots[i].gen(moves[i]);
    positions = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < roots.size(); ++i) {
            for (const Move& move : moves[i]) {
                if (!roots[i].executeMove(move)) continue;
                work(i, roots[i]);
                ++positions;
                roots[i].undoMove();
            }
        }
    }
    return secondsSince(start);
}

// The search's three main pieces of work, each over the positions one legal
// move from those of the eval section: making and taking back the moves;
// the evaluation; the move picker handing out every move (all moves, as at
// an inner node, then the captures and promotions, as in the quiescence
// search). The time of the walk itself is taken off the other two.
void partsSection() {
    constexpr int rounds = 20000;
    std::vector<Board> roots(std::begin(EVAL_FENS), std::end(EVAL_FENS));
    std::int64_t positions = 0;
    const double walk = walkChildren(roots, rounds, positions, [](std::size_t, const Board&) {});

    std::vector<Evaluator> evaluators(roots.begin(), roots.end());
    std::int64_t ratings = 0;
    const double evaluation = walkChildren(roots, rounds, positions, [&](std::size_t i, const Board& board) {
        ratings += evaluators[i].getRating(board.getTurn());
    });

    std::vector<HistoryTable> histories(roots.begin(), roots.end());
    PickerBuffers buffers;
    std::int64_t handedOut = 0;
    const double picking = walkChildren(roots, rounds, positions, [&](std::size_t i, const Board& board) {
        MovePicker picker(NOMOVE, NOMOVE, NOMOVE, histories[i], board, buffers);
        while (picker.getNextMove() != NOMOVE) ++handedOut;
        for (CapturePicker captures(board, buffers); !captures.empty(); ++handedOut)
            static_cast<void>(captures.pickNext());
    });

    const auto perSecond = [positions](double seconds) {
        return static_cast<std::int64_t>(static_cast<double>(positions) / std::max(seconds, 1e-9));
    };
    std::cout << "parts over " << positions / rounds << " positions, " << rounds << " rounds: make/undo "
              << perSecond(walk) << " moves/s; evaluation " << perSecond(evaluation - walk) << " positions/s (ratings "
              << ratings / rounds << " a round); picker " << perSecond(picking - walk) << " positions/s ("
              << handedOut / positions << " moves each)" << std::endl;
}

// Searches each position to a fixed depth with an empty table. The search is
// deterministic, so the node total is a signature of its behaviour: a change
// that alters it changes what the engine plays.
void searchSection() {
    const BenchResult result = runSearchBench(0, std::cout);
    std::cout << "search signature " << result.nodes << " nodes, " << result.seconds << " s, "
              << result.nodesPerSecond() << " nodes/s" << std::endl;
}

// The time from starting the engine to its "uciok", and to the "readyok" of
// an "isready" sent with "uci", which waits for the table's memory to be
// mapped in (medians of eleven starts); and its peak memory over a search to
// depth 10, the table included.
void startupSection() {
    constexpr int STARTS = 11;
    std::vector<double> toUciOk;
    std::vector<double> toReadyOk;
    for (int run = 0; run < STARTS; ++run) {
        toUciOk.push_back(runEngine(engineCommand(), "uci\n", "uciok").seconds);
        toReadyOk.push_back(runEngine(engineCommand(), "uci\nisready\n", "readyok").seconds);
    }
    std::sort(toUciOk.begin(), toUciOk.end());
    std::sort(toReadyOk.begin(), toReadyOk.end());
    const long peakKiB = runEngine(engineCommand(), "position startpos\ngo depth 10\n", "bestmove").peakKiB;
    std::cout << "start-up to uciok: " << toUciOk[STARTS / 2] * 1000.0
              << " ms, to readyok: " << toReadyOk[STARTS / 2] * 1000.0 << " ms (medians of " << STARTS
              << "), peak memory: " << static_cast<double>(peakKiB) / 1024.0 << " MiB (go depth 10)" << std::endl;
}

// The median, 99th percentile and largest of a list of milliseconds.
std::string spread(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const auto at = [&times](double share) { return times[static_cast<std::size_t>(share * (times.size() - 1))]; };
    return "median " + std::to_string(at(0.5)) + " ms, 99th percentile " + std::to_string(at(0.99)) + " ms, max " +
           std::to_string(times.back()) + " ms";
}

double millisecondsSince(std::chrono::steady_clock::time_point start) { return secondsSince(start) * 1000.0; }

// Reads lines up to one that starts with awaited; false when none comes.
bool awaitLine(EngineProcess& engine, const std::string& awaited) {
    while (const std::optional<std::string> line = engine.readLine(std::chrono::minutes(1)))
        if (line->starts_with(awaited)) return true;
    return false;
}

// What a match runner that starts a fresh engine for every game sees: over
// fresh processes, the time from "go movetime 20" (a 10 ms budget) sent right
// after "uciok" to the first info line and to "bestmove", and from "quit"
// sent right after "uciok" to the end of the process.
constexpr int FRESH_PROCESSES = 100;
void firstMoveSection() {
    std::vector<double> toUciOk, toInfo, toBestMove, toExit;
    for (int run = 0; run < FRESH_PROCESSES; ++run) {
        const auto started = std::chrono::steady_clock::now();
        EngineProcess engine;
        engine.write("uci\n");
        if (!awaitLine(engine, "uciok")) throw std::runtime_error("no uciok");
        toUciOk.push_back(millisecondsSince(started));
        const auto sent = std::chrono::steady_clock::now();
        engine.write("position startpos\ngo movetime 20\n");
        bool infoSeen = false;
        while (const std::optional<std::string> line = engine.readLine(std::chrono::minutes(1))) {
            if (line->starts_with("info") && !infoSeen) toInfo.push_back(millisecondsSince(sent));
            infoSeen = infoSeen || line->starts_with("info");
            if (line->starts_with("bestmove")) break;
        }
        toBestMove.push_back(millisecondsSince(sent));
        engine.write("quit\n");
        engine.waitExit();
    }
    for (int run = 0; run < FRESH_PROCESSES; ++run) {
        EngineProcess engine;
        engine.write("uci\n");
        if (!awaitLine(engine, "uciok")) throw std::runtime_error("no uciok");
        const auto sent = std::chrono::steady_clock::now();
        engine.write("quit\n");
        if (engine.waitExit() != 0) throw std::runtime_error("quit did not end the engine");
        toExit.push_back(millisecondsSince(sent));
    }
    std::cout << "fresh processes (" << FRESH_PROCESSES << " each): start to uciok " << spread(toUciOk) << std::endl;
    std::cout << "  go movetime 20 after uciok, to the first info line: " << spread(toInfo) << " ("
              << FRESH_PROCESSES - toInfo.size() << " answered without one)" << std::endl;
    std::cout << "  go movetime 20 after uciok, to bestmove: " << spread(toBestMove) << std::endl;
    std::cout << "  quit after uciok, to the end of the process: " << spread(toExit) << std::endl;
}

// What an interface waits for when its user stops the analysis: in one
// engine process, the time from "stop" to "bestmove" of an infinite search
// that has reached a few plies, over a number of searches.
constexpr int STOPPED_SEARCHES = 50;
constexpr const char* SEARCH_UNDER_WAY = "info depth 6 ";
void stopSection() {
    EngineProcess engine;
    engine.write("uci\n");
    if (!awaitLine(engine, "uciok")) throw std::runtime_error("no uciok");
    std::vector<double> toBestMove;
    for (int run = 0; run < STOPPED_SEARCHES; ++run) {
        engine.write("position startpos\ngo infinite\n");
        if (!awaitLine(engine, SEARCH_UNDER_WAY)) throw std::runtime_error("the search reached no depth 6");
        const auto sent = std::chrono::steady_clock::now();
        engine.write("stop\n");
        if (!awaitLine(engine, "bestmove")) throw std::runtime_error("stop was not answered");
        toBestMove.push_back(millisecondsSince(sent));
    }
    engine.write("quit\n");
    engine.waitExit();
    std::cout << "stop during go infinite, to bestmove (" << STOPPED_SEARCHES << " searches): " << spread(toBestMove)
              << std::endl;
}

// The classical peer whose search speed the engine is measured against, and
// middlegame and endgame positions to search for a fixed time.
constexpr const char* SEARCH_PEER_BINARY = "/usr/games/glaurung";
constexpr int PEER_MOVE_TIME_MS = 1000;
constexpr const char* SEARCH_PEER_FENS[] = {
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r2qr1k1/1b1nbppp/p2p1n2/1p2p3/3PP3/1BP2N1P/PP1N1PP1/R1BQR1K1 w - - 0 13",
    "4r1k1/p4ppp/1p6/2p5/2P1n3/1P2P1P1/P4P1P/3R2K1 b - - 0 25",
    "8/5pk1/6p1/R7/5P2/r5P1/5K2/8 w - - 0 40",
};

// The nodes per second of the last info line of a timed search.
double searchSpeed(const std::vector<std::string>& command, const std::string& options, const std::string& fen) {
    EngineProcess engine(command);
    engine.write("uci\n" + options + "isready\nposition fen " + fen + "\ngo movetime " +
                 std::to_string(PEER_MOVE_TIME_MS) + "\n");
    std::string lastInfo;
    while (const std::optional<std::string> line = engine.readLine(std::chrono::minutes(1))) {
        if (line->find(" nps ") != std::string::npos) lastInfo = *line;
        if (line->starts_with("bestmove")) break;
    }
    engine.write("quit\n");
    engine.waitExit();
    const std::size_t at = lastInfo.find(" nps ");
    if (at == std::string::npos) throw std::runtime_error(command.front() + " wrote no nodes per second");
    return std::stod(lastInfo.substr(at + 5));
}

// The median, smallest and largest of a list of ratios.
std::string ratioSpread(std::vector<double> ratios) {
    std::sort(ratios.begin(), ratios.end());
    return std::to_string(ratios[ratios.size() / 2]) + " (" + std::to_string(ratios.front()) + " to " +
           std::to_string(ratios.back()) + ")";
}

// Nodes per second of the engine against the peer with one thread and with
// its default two, in rounds: each round searches every position with the
// three in turn and gives a ratio of the mean speeds against each. The
// medians of the rounds' ratios are printed, as the machine's speed drifts.
constexpr int PEER_ROUNDS = 3;
void peersSection() {
    if (!std::filesystem::exists(SEARCH_PEER_BINARY)) {
        std::cout << "search against a peer: " << SEARCH_PEER_BINARY
                  << " is missing; apt-get install glaurung adds it for comparison" << std::endl;
        return;
    }
    std::vector<double> againstOneThread, againstDefault;
    double own = 0, peerOneThread = 0, peerDefault = 0;
    for (int round = 0; round < PEER_ROUNDS; ++round) {
        own = peerOneThread = peerDefault = 0;
        for (const char* fen : SEARCH_PEER_FENS) {
            own += searchSpeed(engineCommand(), "", fen);
            peerOneThread += searchSpeed({SEARCH_PEER_BINARY}, "setoption name Threads value 1\n", fen);
            peerDefault += searchSpeed({SEARCH_PEER_BINARY}, "", fen);
        }
        againstOneThread.push_back(own / peerOneThread);
        againstDefault.push_back(own / peerDefault);
    }
    const double positions = static_cast<double>(std::size(SEARCH_PEER_FENS));
    const auto mean = [positions](double total) { return static_cast<std::int64_t>(total / positions); };
    std::cout << "search, go movetime " << PEER_MOVE_TIME_MS << " on " << std::size(SEARCH_PEER_FENS) << " positions, "
              << PEER_ROUNDS << " rounds: nodes/s ratio against glaurung with one thread "
              << ratioSpread(againstOneThread) << ", with its default threads " << ratioSpread(againstDefault)
              << "; last round's mean nodes/s " << mean(own) << ", " << mean(peerOneThread) << ", " << mean(peerDefault)
              << std::endl;
}

struct Section {
    const char* name;
    std::function<void()> run;
};

}  // namespace

int main(int argc, char** argv) {
    const Section sections[] = {
        {"perft", perftSection},   {"eval", evalSection},       {"parts", partsSection},
        {"search", searchSection}, {"startup", startupSection}, {"firstmove", firstMoveSection},
        {"stop", stopSection},     {"peers", peersSection},
    };
    for (const Section& section : sections) {
        bool chosen = argc < 2;
        for (int i = 1; i < argc; ++i) chosen = chosen || std::strcmp(argv[i], section.name) == 0;
        if (chosen) section.run();
    }
    return 0;
}

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

#include "tests/board_test_util.h"
#include "tests/engine_process.h"

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The move of a "bestmove" line, checked to be legal in the position.
void expectLegalBestMove(const std::string& line, const std::string& fen) {
    ASSERT_TRUE(startsWith(line, "bestmove ")) << line;
    std::istringstream words(line);
    std::string word, best, ponderWord, ponder;
    words >> word >> best >> ponderWord >> ponder;
    Board board = Board(fen);
    const Move move = board.strToMove(best);
    ASSERT_TRUE(board.moveIsLegal(move)) << fen << ": " << line;
    if (ponderWord == "ponder") {
        ASSERT_TRUE(board.executeMove(move));
        EXPECT_TRUE(board.moveIsLegal(board.strToMove(ponder))) << fen << ": " << line;
    }
}

TEST(Go, FixedDepthEndsWithOneBestMove) {
    const char* fens[] = {
        START_FEN,
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
        "6k1/5ppp/8/8/8/8/5PPP/3R2K1 b - - 0 1",
    };
    EngineProcess engine;
    for (const char* fen : fens) {
        for (const char* depth : {"1", "4", "0"}) {
            engine.write(std::string("position fen ") + fen + "\ngo depth " + depth + "\n");
            const auto lines = engine.readUntil("bestmove");
            ASSERT_FALSE(lines.empty());
            for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_TRUE(startsWith(lines[i], "info depth ")) << lines[i];
            expectLegalBestMove(lines.back(), fen);
            const int expectedDepth = std::string(depth) == "0" ? 1 : std::stoi(depth);
            EXPECT_TRUE(startsWith(lines[lines.size() - 2], "info depth " + std::to_string(expectedDepth) + " "))
                << lines[lines.size() - 2];
        }
    }
    engine.write("isready\n");
    EXPECT_EQ(engine.readLine(), "readyok");
}

TEST(Go, InputDuringInfiniteSearchEndsIt) {
    EngineProcess engine;
    engine.write("position startpos\nisready\n");
    ASSERT_EQ(engine.readLine(), "readyok");
    engine.write("go infinite\n");
    std::this_thread::sleep_for(milliseconds(300));
    const auto sent = Clock::now();
    engine.write("isready\n");
    const auto lines = engine.readUntil("bestmove");
    EXPECT_LT(Clock::now() - sent, milliseconds(1000));
    ASSERT_FALSE(lines.empty());
    expectLegalBestMove(lines.back(), START_FEN);
    EXPECT_EQ(engine.readLine(), "readyok");

    engine.write("go infinite\nisready\n");
    expectLegalBestMove(engine.readUntil("bestmove").back(), START_FEN);
    EXPECT_EQ(engine.readLine(), "readyok");
}

TEST(Go, QuitDuringSearchExitsPromptly) {
    EngineProcess engine;
    engine.write("isready\ngo infinite\n");
    ASSERT_EQ(engine.readLine(), "readyok");
    std::this_thread::sleep_for(milliseconds(200));
    const auto sent = Clock::now();
    engine.write("quit\n");
    expectLegalBestMove(engine.readUntil("bestmove").back(), START_FEN);
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_LT(Clock::now() - sent, milliseconds(1000));
}

TEST(Go, EndOfInputLetsLimitedSearchesFinish) {
    const EngineRun limited = runEngineWithFileInput("position startpos\ngo depth 6\n");
    EXPECT_EQ(limited.status, 0);
    auto lines = linesOf(limited.output);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(startsWith(lines[lines.size() - 2], "info depth 6 ")) << lines[lines.size() - 2];
    expectLegalBestMove(lines.back(), START_FEN);

    const EngineRun unlimited = runEngineWithFileInput("position startpos\ngo infinite\n");
    EXPECT_EQ(unlimited.status, 0);
    expectLegalBestMove(linesOf(unlimited.output).back(), START_FEN);

    FILE* pipe = ::popen("printf 'position startpos\\ngo depth 5\\n' | " MARROWBY_BINARY, "r");
    std::string output;
    char chunk[4096];
    for (std::size_t count; (count = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, count);
    EXPECT_EQ(::pclose(pipe), 0);
    lines = linesOf(output);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(startsWith(lines[lines.size() - 2], "info depth 5 ")) << lines[lines.size() - 2];
}

TEST(Go, ShortClocksAnswerInTime) {
    const struct {
        const char* setup;
        const char* go;
        const char* fen;
    } cases[] = {
        {"position startpos\n", "go wtime 100\n", START_FEN},
        {"position startpos moves e2e4\n", "go btime 100\n", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"},
        {"position startpos\n", "go wtime -50 btime 1000\n", START_FEN},
    };
    for (const auto& c : cases) {
        EngineProcess engine;
        engine.write(std::string(c.setup) + "isready\n");
        ASSERT_EQ(engine.readLine(), "readyok");
        const auto sent = Clock::now();
        engine.write(c.go);
        const auto lines = engine.readUntil("bestmove", milliseconds(2000));
        EXPECT_LT(Clock::now() - sent, milliseconds(500)) << c.go;
        ASSERT_GE(lines.size(), 2u) << c.go;
        EXPECT_NE(lines.front().find(" score "), std::string::npos) << lines.front();
        expectLegalBestMove(lines.back(), c.fen);
    }
}

TEST(Go, GameUnderClockNeverOverruns) {
    EngineProcess engine;
    engine.write("uci\nucinewgame\nisready\n");
    ASSERT_EQ(engine.readUntil("readyok").back(), "readyok");
    int clocks[2] = {3000, 3000};
    const int increment = 50;
    std::string moves;
    Board board;
    for (int ply = 0; ply < 40 && !board.isMate(); ++ply) {
        const int side = board.getTurn();
        engine.write("position startpos" + (moves.empty() ? "" : " moves" + moves) + "\n");
        std::ostringstream go;
        go << "go wtime " << clocks[WHITE] << " btime " << clocks[BLACK] << " winc " << increment << " binc " << increment
           << "\n";
        const auto sent = Clock::now();
        engine.write(go.str());
        const auto lines = engine.readUntil("bestmove", milliseconds(5000));
        const auto used = std::chrono::duration_cast<milliseconds>(Clock::now() - sent).count();
        clocks[side] -= static_cast<int>(used);
        ASSERT_GT(clocks[side], 0) << "ply " << ply;
        clocks[side] += increment;
        ASSERT_FALSE(lines.empty());
        std::istringstream words(lines.back());
        std::string word, best;
        words >> word >> best;
        ASSERT_EQ(word, "bestmove");
        const Move move = board.strToMove(best);
        ASSERT_TRUE(board.moveIsLegal(move)) << best;
        ASSERT_TRUE(board.executeMove(move));
        moves += " " + best;
    }
}

}  // namespace

// A game through polyglot, the adapter xboard users play UCI engines with, and
// the shipped xboard/marrowby.ini: random legal moves for White on a short clock;
// every move back must be legal, no error reported, and the game must end.
// With xboard's pondering on ("hard") the engine must be sent "go ... ponder",
// with it off ("easy") never; polyglot's log shows what the engine was sent.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "tests/board_checks.h"
#include "tests/engine_process.h"

namespace {

// The first of polyglot's lines that starts with the word or gives a result,
// or "" after a timeout; fails on the errors polyglot reports.
std::string readUntil(EngineProcess& adapter, const std::string& word) {
    while (const auto line = adapter.readLine(std::chrono::seconds(30))) {
        EXPECT_FALSE(line->starts_with("Illegal") || line->starts_with("Error") || line->starts_with("telluser"))
            << *line;
        for (const char* start : {word.c_str(), "1-0", "0-1", "1/2-1/2"})
            if (line->starts_with(start)) return *line;
    }
    return "";
}

// Whether polyglot's log shows a "go ... ponder" line sent to the engine.
bool enginePondered(const std::filesystem::path& log) {
    std::ifstream lines(log);
    for (std::string line; std::getline(lines, line);)
        if (line.find("Adapter->Engine: go ") != std::string::npos && line.ends_with(" ponder")) return true;
    return false;
}

// The parameter is xboard's pondering command: "hard" turns pondering on.
class Xboard : public testing::TestWithParam<std::string> {};

TEST_P(Xboard, GameThroughPolyglot) {
    namespace fs = std::filesystem;
    const std::string polyglot = fs::exists("/usr/games/polyglot") ? "/usr/games/polyglot" : "/usr/bin/polyglot";
    if (!fs::exists(polyglot)) GTEST_SKIP() << "polyglot is not installed (scripts/ensure-deps.sh installs it)";
    const fs::path log = std::string(MARROWBY_BINARY) + "-polyglot-" + GetParam() + ".log";
    fs::remove(log);
    EngineProcess adapter(
        {polyglot, MARROWBY_POLYGLOT_INI, "-ec", MARROWBY_BINARY, "-log", "true", "-lf", log.string()});
    adapter.write("xboard\nprotover 2\n");
    ASSERT_EQ(readUntil(adapter, "feature done=1"), "feature done=1");
    adapter.write("accepted usermove\nnew\n" + GetParam() + "\nlevel 0 0:03 0\n");
    Board board;
    std::mt19937 random(14);
    std::string line;
    int plies = 0;
    while (line.empty() || line.starts_with("pong")) {
        const MoveList legal = legalMoves(board);
        ASSERT_FALSE(legal.empty()) << "the game is over without a result: " << board.toFen();
        const Move choice = legal[random() % legal.size()];
        std::ostringstream move;
        move << choice;
        board.executeMove(choice);
        ++plies;
        adapter.write("time 300\notim 300\nusermove " + move.str() + "\n");
        line = readUntil(adapter, "move ");
        ASSERT_NE(line, "") << "no answer to " << move.str();
        if (!line.starts_with("move ")) break;
        const Move reply = board.strToMove(line.substr(5));
        ASSERT_TRUE(isMoveText(line.substr(5)) && board.moveIsPseudo(reply) && board.executeMove(reply))
            << line << " in " << board.toFen();
        ++plies;
        // polyglot announces a result right after the move that ends the game.
        adapter.write("ping 1\n");
        line = readUntil(adapter, "pong");
        ASSERT_NE(line, "") << "no pong";
    }
    RecordProperty("game", line + " after " + std::to_string(plies) + " plies");
    adapter.write("quit\n");
    EXPECT_EQ(adapter.waitExit(), 0);
    EXPECT_EQ(enginePondered(log), GetParam() == "hard") << "polyglot's log: " << log;
}

INSTANTIATE_TEST_SUITE_P(Pondering, Xboard, testing::Values("easy", "hard"),
                         [](const auto& info) { return info.param; });

}  // namespace

#include <gtest/gtest.h>

#include <sstream>

#include "tests/board_test_util.h"
#include "tests/engine_process.h"

namespace {


std::string diagramAfter(const std::string& setup) {
    const EngineRun run = runEngineWithFileInput(setup + "p\n");
    EXPECT_EQ(run.status, 0);
    return run.output;
}

TEST(Protocol, Handshake) {
    EngineProcess engine;
    engine.write("uci\n");
    EXPECT_EQ(engine.readLine(), "id name Marrowby 1.4.2");
    EXPECT_EQ(engine.readLine(), "id author Pellowen");
    EXPECT_EQ(engine.readLine(), "uciok");
    engine.write("UCI\nIsready\n\n   \nstop\nsetoption name Hash value 1\nucinewgame\n  isready now\r\n");
    EXPECT_EQ(engine.readLine(), "readyok");
    engine.write("quit extra words\n");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Protocol, EndOfInputExitsCleanly) {
    EngineProcess engine;
    engine.write("isready");
    engine.closeInput();
    EXPECT_EQ(engine.readLine(), "readyok");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Protocol, PositionThenDiagram) {
    const struct {
        std::string setup;
        std::string expected;
    } cases[] = {
        {"", START_DIAGRAM},
        {"position startpos\n", START_DIAGRAM},
        {"position startpos e2e4\n", START_DIAGRAM},
        {"position startpos moves g1f3 g8f6 f3g1 f6g8\n",
         "8 ║♜ ♞ ♝ ♛ ♚ ♝ ♞ ♜      Castle   KQkq\n"
         "7 ║♟ ♟ ♟ ♟ ♟ ♟ ♟ ♟       Fifty   4\n"},
        {"position startpos moves e2e4 e7e5\nposition startpos moves e2e4 e7e5\nposition startpos\n", START_DIAGRAM},
        {"position fen 8/8/8/8/8/8/8/K1k5 w - - moves a1a2\n",
         "8 ║… … … … … … … …      Castle   \n"
         "7 ║… … … … … … … …       Fifty   1\n"
         "6 ║… … … … … … … …        Turn   BLACK\n"},
        {"position\tstartpos  moves\te2e4   e7e5 \r\n",
         "8 ║♜ ♞ ♝ ♛ ♚ ♝ ♞ ♜      Castle   KQkq\n"
         "7 ║♟ ♟ ♟ ♟ … ♟ ♟ ♟       Fifty   0\n"
         "6 ║… … … … X … … …        Turn   WHITE\n"},
        {"position startpos moves e2e4q\n", START_DIAGRAM},
        {"position startpos moves e2e5 xyz e2e4 e7e5 e1e2x e1e2\n",
         "8 ║♜ ♞ ♝ ♛ ♚ ♝ ♞ ♜      Castle   kq\n"
         "7 ║♟ ♟ ♟ ♟ … ♟ ♟ ♟       Fifty   1\n"
         "6 ║… … … … … … … …        Turn   BLACK\n"},
        {"position fen k7/4P3/8/8/8/8/8/4K3 w - - 0 1 moves e7e8n\n",
         "8 ║♚ … … … ♘ … … …      Castle   \n"},
        {"position fen 4k3/8/8/8/8/8/8/4K3 w - - 200 1 moves e1e2\n",
         "8 ║… … … … ♚ … … …      Castle   \n"
         "7 ║… … … … … … … …       Fifty   201\n"},
    };
    for (const auto& c : cases) {
        const std::string output = diagramAfter(c.setup);
        EXPECT_EQ(output.substr(0, c.expected.size()), c.expected) << c.setup;
    }
}

TEST(Protocol, RejectedFenLeavesBoardAsItWas) {
    for (const std::string fen : {"8/8/8/8/8/8/8/8 w - - 0 1", "rnbqkbnr/pppppppp w KQkq - 0 1",
                                  "4k3/4Q3/8/8/8/8/8/4K3 w - - 0 1", "4k3/8/8/8/8/8/8/4K3 w KQ - 0 1", ""}) {
        const std::string output = diagramAfter("position fen " + fen + " moves e1e2\n");
        ASSERT_EQ(output.rfind("info string ", 0), 0u) << fen;
        EXPECT_EQ(output.substr(output.find('\n') + 1), START_DIAGRAM) << fen;
    }
}

TEST(Protocol, LongMoveListAndLongLines) {
    std::string moves;
    for (int i = 0; i < 250; ++i) moves += " g1f3 g8f6 f3g1 f6g8";
    const std::string output = diagramAfter("position fen 4k3/8/8/8/8/8/8/4K3 w - - 0 1 moves" + std::string(moves.size() / 20, ' ') +
                                            moves + "\n" + std::string(100000, 'x') + "\n");
    const std::string kingsOnly = "8 ║… … … … ♚ … … …";
    EXPECT_EQ(output.substr(0, kingsOnly.size()), kingsOnly);
    const std::string repeated = diagramAfter("position startpos moves" + moves + "\n");
    EXPECT_NE(repeated.find("♟ ♟ ♟ ♟ ♟ ♟ ♟ ♟       Fifty   1000\n"), std::string::npos);
}

TEST(Protocol, PerftReport) {
    const EngineRun run = runEngineWithFileInput(
        "perft 2\nperft\nperft x\nperft 30\nperft 99999999999\nperft 0\nposition fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\n"
        "perft 3x\np\n");
    EXPECT_EQ(run.status, 0);
    std::istringstream lines(run.output);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_GE(all.size(), 11u);
    EXPECT_EQ(all[0], "Ply 0: 1 Nodes (0 Castles, 0 Passants)");
    EXPECT_EQ(all[1], "Ply 1: 20 Nodes (0 Castles, 0 Passants)");
    EXPECT_EQ(all[2], "Ply 2: 400 Nodes (0 Castles, 0 Passants)");
    EXPECT_EQ(all[3], "");
    EXPECT_TRUE(all[4].size() > 2 && all[4].substr(all[4].size() - 2) == "ms") << all[4];
    EXPECT_EQ(all[5], "Ply 0: 1 Nodes (0 Castles, 0 Passants)");
    EXPECT_EQ(all[6], "");
    EXPECT_EQ(all[8], "Ply 0: 1 Nodes (0 Castles, 0 Passants)");
    EXPECT_EQ(all[9], "");
    EXPECT_EQ(all[11], "8 ║… … … … … … … ♚      Castle   ");
}

}  // namespace

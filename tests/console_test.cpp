#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>

#include "console/ai_player.h"
#include "tests/board_test_util.h"
#include "tests/engine_process.h"

namespace {

const std::string REPORT_HEADER = "                    WHITE MG   BLACK MG  WHITE EG   BLACK EG\n";

int count(const std::string& text, const std::string& part) {
    int found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++found;
    return found;
}

std::string afterLast(const std::string& text, const std::string& part) {
    const std::size_t at = text.rfind(part);
    return at == std::string::npos ? std::string() : text.substr(at + part.size());
}

TEST(ConsoleGame, FirstTurnAndAMove) {
    const EngineRun run = runEngineWithFileInput("g\ne2e4\n");
    EXPECT_EQ(run.status, 0);
    const std::string& out = run.output;
    const std::string firstTurn = START_DIAGRAM + REPORT_HEADER;
    EXPECT_EQ(out.substr(0, firstTurn.size()), firstTurn);
    EXPECT_NE(out.find("Tapered Score              0\nWHITE move:8 ║"), std::string::npos) << out;
    EXPECT_NE(out.find("        Turn   BLACK\n"), std::string::npos);
    EXPECT_NE(out.find("Tapered Score            -54\nBLACK move:"), std::string::npos) << out;
    // End of input in the middle of the game: no result line, clean exit.
    EXPECT_EQ(afterLast(out, "\n"), "BLACK move:");
}

TEST(ConsoleGame, MalformedAndIllegalWords) {
    const EngineRun run = runEngineWithFileInput("g\ne2e5 e9e4\ni2i4\ne2\ne2e4xx\ne2e4q\ne2e4\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(count(run.output, "WHITE move:Illegal move.\n"), 6) << run.output;
    EXPECT_EQ(count(run.output, "WHITE move:"), 7);
    EXPECT_EQ(count(run.output, "BLACK move:"), 1);
}

TEST(ConsoleGame, Endings) {
    const struct {
        const char* input;
        const char* result;
        int diagrams;
    } cases[] = {
        {"g\nf2f3 e7e5 g2g4 d8h4\n", "BLACK wins!\n", 5},
        {"position fen 7k/8/6K1/8/8/8/8/5Q2 w - - 0 1\ng\nf1f7\n", "Stalemate!\n", 2},
        {"position fen 4k3/8/8/8/8/8/8/4K3 w - - 100 1\ng\n", "Stalemate!\n", 1},
        {"position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\ng\n", "WHITE wins!\n", 1},
        {"g\ng1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8\n", "Stalemate!\n", 9},
    };
    for (const auto& c : cases) {
        const EngineRun run = runEngineWithFileInput(std::string(c.input) + "p\n");
        EXPECT_EQ(run.status, 0);
        const std::string& out = run.output;
        const std::size_t result = out.find(c.result);
        ASSERT_NE(result, std::string::npos) << c.input << out;
        // The game ends with its result; "p" then shows the position it started from.
        EXPECT_EQ(count(out.substr(0, result), "———a b c d e f g h\n"), c.diagrams) << c.input;
        const std::string after = out.substr(result + std::string(c.result).size());
        EXPECT_EQ(count(after, "———a b c d e f g h\n"), 1);
        EXPECT_EQ(out.substr(0, 200).substr(0, 60), after.substr(0, 60)) << c.input;
    }
}

// The prompt of a move must be visible on a terminal while the engine waits.
TEST(ConsoleGame, PromptShowsOnATerminal) {
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::execl(MARROWBY_BINARY, MARROWBY_BINARY, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto readUntil = [terminal](const std::string& wanted) {
        std::string seen;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (seen.find(wanted) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd request{terminal, POLLIN, 0};
            if (::poll(&request, 1, 100) <= 0) continue;
            char chunk[4096];
            const ssize_t got = ::read(terminal, chunk, sizeof chunk);
            if (got <= 0) break;
            seen.append(chunk, static_cast<std::size_t>(got));
        }
        return seen;
    };
    ASSERT_EQ(::write(terminal, "g\n", 2), 2);
    EXPECT_NE(readUntil("WHITE move:").find("WHITE move:"), std::string::npos);
    ASSERT_EQ(::write(terminal, "e2e4\n", 5), 5);
    EXPECT_NE(readUntil("BLACK move:").find("BLACK move:"), std::string::npos);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(terminal);
}

}  // namespace

namespace {

TEST(ConsoleAIPlayer, SearchesEachPositionItIsGiven) {
    Board board;
    AIPlayer player(WHITE, board, 3);
    testing::internal::CaptureStdout();
    const Move first = player.getAMove();
    ASSERT_TRUE(board.moveIsLegal(first));
    ASSERT_TRUE(board.executeMove(first));
    AIPlayer reply(BLACK, board, 3);
    const Move second = reply.getAMove();
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(board.moveIsLegal(second));
    EXPECT_NE(output.find("info depth 3 "), std::string::npos);
    EXPECT_NE(output.find("ms\n"), std::string::npos);

    Board mate = Board("6k1/5ppp/8/8/8/8/8/3R2K1 w - - 0 1");
    AIPlayer mater(WHITE, mate, 2);
    testing::internal::CaptureStdout();
    EXPECT_EQ(moveText(mater.getAMove()), "d1d8");
    static_cast<void>(testing::internal::GetCapturedStdout());
}

}  // namespace

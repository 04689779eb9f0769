// What the transcripts cannot show: a last line without a line end, a
// prompt that must be visible while the engine waits for the move, and
// searches that end on time.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/engine_process.h"

namespace {

TEST(Pipes, LastLineWithoutLineEnd) {
    EngineProcess engine;
    engine.write("isready");
    engine.closeInput();
    EXPECT_EQ(engine.readLine(), "readyok");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Pipes, GamePromptShowsBeforeTheMoveIsTyped) {
    EngineProcess engine;
    engine.write("g\n");
    std::string shown;
    for (int wait = 0; wait < 100 && !shown.ends_with("WHITE move:"); ++wait)
        shown = engine.pendingText(std::chrono::milliseconds(100));
    EXPECT_TRUE(shown.ends_with("WHITE move:")) << shown;
}

// Reads up to the "bestmove" line; nothing when none comes in time.
std::optional<std::string> readBestMove(EngineProcess& engine) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto line = engine.readLine(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()));
        if (!line) break;
        if (line->starts_with("bestmove")) return line;
    }
    return std::nullopt;
}

// Every limit on a "go" line holds, whatever the order of the words and
// whichever other limit the line names: each of these searches answers on
// its own within a fraction of a second, where the depth alone would take
// hours. A timed ponder search answers only after "ponderhit".
TEST(Pipes, EveryLimitOnTheLineHolds) {
    EngineProcess engine;
    engine.write("position startpos moves e2e4\n");
    for (const char* go : {"go wtime 1000 btime 1000 winc 0 binc 0 depth 40", "go depth 40 movetime 300",
                           "go movetime 1000 wtime 5000 btime 5000", "go wtime 99999999999 btime 1000"}) {
        engine.write(std::string(go) + "\n");
        EXPECT_TRUE(readBestMove(engine)) << go;
    }
    engine.write("go ponder wtime 1000 btime 1000\n");
    EXPECT_EQ(engine.pendingText(std::chrono::milliseconds(500)).find("bestmove"), std::string::npos);
    engine.write("ponderhit\n");
    EXPECT_TRUE(readBestMove(engine));
}

}  // namespace

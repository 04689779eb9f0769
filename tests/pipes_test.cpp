// What the transcripts cannot show: a last line without a line end, and a
// prompt that must be visible while the engine waits for the move.
#include <gtest/gtest.h>

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

}  // namespace

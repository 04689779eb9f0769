// What the transcripts cannot show: a last line without a line end, bytes
// that are no text, huge lines and floods of input, a prompt that must be
// visible while the engine waits for the move, and searches that end on time.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

// Everything the engine writes until it exits at the end of its input,
// which reaches it in the given pieces, each read on its own once the
// engine has answered its first line.
std::string outputFor(const std::vector<std::string>& pieces) {
    constexpr auto PIECE_GAP = std::chrono::milliseconds(100);
    EngineProcess engine;
    engine.write("isready\n");
    EXPECT_EQ(engine.readLine(), "readyok");
    for (const std::string& piece : pieces) {
        engine.write(piece);
        static_cast<void>(engine.pendingText(PIECE_GAP));
    }
    engine.closeInput();
    std::string output;
    while (const auto line = engine.readLine(std::chrono::seconds(60))) output += *line + "\n";
    EXPECT_EQ(engine.waitExit(), 0);
    return output;
}

// The engine reads bytes, whatever they are: a NUL byte is part of its line,
// bytes that are not UTF-8 come back as they came, a character split between
// two reads stays whole, and a line of a million bytes is read whole.
TEST(Pipes, EveryByteReachesTheEngine) {
    using namespace std::string_literals;
    const auto skipped = [](const std::string& move) {
        return "info string skipped move " + move + ": not a legal move in the position\n";
    };
    const struct {
        std::vector<std::string> pieces;
        std::string output;
    } cases[] = {
        {{"isready\n\0\nisready\n"s}, "readyok\nreadyok\n"},
        {{"position startpos moves \xe9t\xff\nposition startpos moves a\0b\n"s},
         skipped("\xe9t\xff") + skipped("a\0b"s)},
        {{"position startpos moves \xc3", "\xa9\n"}, skipped("\xc3\xa9")},
        {{"position startpos moves" + std::string(1'000'000, ' ') + "e9e9\n"}, skipped("e9e9")},
    };
    for (const auto& [pieces, output] : cases) EXPECT_EQ(outputFor(pieces), output);
}

// A line of 16 MiB, and 128 MiB of lines sent faster than the engine reads
// them: the engine answers after both. The WebAssembly build, whose memory
// is fixed, skips the line with an info string (it reads lines of up to
// 1 MiB); the others read it.
TEST(Pipes, HugeLinesAndFloodsOfInputAreRead) {
    constexpr std::size_t MIB = std::size_t{1} << 20;
    constexpr int FLOOD_MIB = 128;
    EngineProcess engine;
    engine.write(std::string(16 * MIB, 'x') + "\nisready\n");
    auto line = engine.readLine(std::chrono::seconds(60));
    if (line == "info string skipped a line of 16777216 bytes: the engine reads lines of up to 1048576 bytes")
        line = engine.readLine(std::chrono::seconds(60));
    EXPECT_EQ(line, "readyok");

    std::string lines;
    while (lines.size() < MIB) lines += std::string(1000, 'x') + "\n";
    for (int written = 0; written < FLOOD_MIB; ++written) engine.write(lines);
    engine.write("isready\n");
    EXPECT_EQ(engine.readLine(std::chrono::seconds(60)), "readyok");
    engine.closeInput();
    EXPECT_EQ(engine.waitExit(std::chrono::seconds(60)), 0);
}

// Reads up to the first line that starts with the prefix; nothing when none
// comes in time.
std::optional<std::string> readUpTo(EngineProcess& engine, const std::string& prefix) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto line = engine.readLine(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()));
        if (!line) break;
        if (line->starts_with(prefix)) return line;
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
        EXPECT_TRUE(readUpTo(engine, "bestmove")) << go;
    }
    engine.write("go ponder wtime 1000 btime 1000\n");
    EXPECT_EQ(engine.pendingText(std::chrono::milliseconds(500)).find("bestmove"), std::string::npos);
    engine.write("ponderhit\n");
    EXPECT_TRUE(readUpTo(engine, "bestmove"));
}

// A match runner that starts a fresh engine for each game sends its first
// "go" right after "uciok", and a quit right after it ends the process: the
// engine's start-up work holds up neither. The bounds are many times what
// either takes, and far below the stalls of a table mapped in at start-up.
TEST(Pipes, AFreshEngineSearchesAtOnceAndQuitsAtOnce) {
    constexpr int FRESH_ENGINES = 20;
    constexpr auto BOUND = std::chrono::milliseconds(150);
    for (int run = 0; run < FRESH_ENGINES; ++run) {
        EngineProcess engine;
        engine.write("uci\n");
        ASSERT_TRUE(readUpTo(engine, "uciok"));
        const auto sent = std::chrono::steady_clock::now();
        engine.write(run % 2 == 0 ? "position startpos\ngo movetime 40\n" : "quit\n");
        const bool answered = run % 2 == 0 ? readUpTo(engine, "bestmove").has_value() : engine.waitExit() == 0;
        const auto took = std::chrono::steady_clock::now() - sent;
        ASSERT_TRUE(answered && took < BOUND) << (run % 2 == 0 ? "go movetime 40" : "quit") << " took "
                                              << std::chrono::duration<double, std::milli>(took).count() << " ms";
    }
}

}  // namespace

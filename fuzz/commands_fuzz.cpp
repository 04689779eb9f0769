// Any lines through the command loop, with searches held to depth 2 and perft
// walks to depth 2 so that a run stays short. After every line the board is
// sound and every "bestmove" (and its ponder move) is legal, or 0000 where the
// side to move has no legal move; after the last line "isready" is answered.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <iostream>
#include <sstream>

#include "fuzz/fuzz.h"
#include "uci/time_control.h"
#include "uci/uci.h"

namespace {

// The line, or a short stand-in for a search or perft walk that could run long.
std::string tamed(const std::string& line, const std::string& command, const std::string& argument, int side) {
    if (command == "perft" && std::strtol(argument.c_str(), nullptr, 10) > 2) return "perft 2";
    if (command != "go") return line;
    const TimeControl control = readTimeControl(line, side);
    return control.untilStopped || (control.budget >= -2 && control.budget < 0) ? line : "go depth 2";
}

void requireLegalAnswer(Board position, const std::string& output) {
    const std::size_t at = output.rfind("bestmove ");
    require(at != std::string::npos, "no bestmove in " + output);
    std::istringstream words(output.substr(at + 9));
    std::string best, word, ponder;
    words >> best >> word >> ponder;
    const Move move = position.strToMove(best);
    const bool legal =
        position.firstLegalMove() == NOMOVE ? best == "0000" : isMoveText(best) && position.moveIsLegal(move);
    require(legal, "bestmove " + best + " in " + position.toFen());
    if (ponder.empty()) return;
    position.executeMove(move);
    require(isMoveText(ponder) && position.moveIsLegal(position.strToMove(ponder)),
            "ponder " + ponder + " after " + best + " in " + position.toFen());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One engine for every input, since building one fills a large table; its
    // input is switched to a file holding this input's bytes.
    static LineReader input(-1);
    static UCI engine(input);
    const int fd = ::memfd_create("commands", 0);
    require(fd >= 0 && ::write(fd, data, size) == static_cast<ssize_t>(size) && ::lseek(fd, 0, SEEK_SET) == 0,
            "cannot stage the input");
    input = LineReader(fd);

    std::ostringstream output;
    std::streambuf* const console = std::cout.rdbuf(output.rdbuf());
    engine.execute("position startpos");
    for (std::string line; input.readLine(line);) {
        std::istringstream words(line);
        std::string command, argument;
        words >> command >> argument;
        const Board before = engine.getBoard();
        output.str("");
        const bool more = engine.execute(tamed(line, command, argument, before.getTurn()));
        requireSound(engine.getBoard());
        if (command == "go") requireLegalAnswer(before, output.str());
        if (!more) break;
    }
    output.str("");
    engine.execute("isready");
    std::cout.rdbuf(console);
    ::close(fd);
    require(output.str() == "readyok\n", "isready answered " + output.str());
    return 0;
}

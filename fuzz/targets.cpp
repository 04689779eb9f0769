// The fuzz targets. CMake builds one binary for each, MARROWBY_FUZZ_TARGET
// naming its function. A broken check prints what broke and aborts, which
// libFuzzer reports as a crash, saving the input.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "console/game.h"
#include "tests/board_checks.h"
#include "uci/time_control.h"
#include "uci/uci.h"

void require(bool holds, const std::string& what) {
    if (holds) return;
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

void requireSound(const Board& board) {
    if (const std::string problem = boardProblem(board); !problem.empty())
        require(false, problem + " in " + board.toFen());
}

// One engine for every input, since building one fills a large table; its
// standard input is a file in memory holding the input.
LineReader input;
UCI& engineReading(const std::string& text) {
    static UCI engine(input, [](const Board& position) { return Game(position, input).run(); });
    const int fd = ::memfd_create("input", 0);
    require(::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
                ::lseek(fd, 0, SEEK_SET) == 0 && ::dup2(fd, STDIN_FILENO) == STDIN_FILENO && ::close(fd) == 0,
            "no file in memory");
    input = LineReader();
    return engine;
}

void requireRoundTrip(const Board& board) {
    requireSound(board);
    const auto again = boardFromFen(board.toFen());
    require(again && again->getZobristKey() == board.getZobristKey() && again->toFen() == board.toFen(),
            "the FEN " + board.toFen() + " does not read back");
}

// Any bytes as FEN text, and their first line as the words after "position":
// the board stays sound whatever it is given, and the FEN it writes reads back
// to the same key.
void fuzzFen(const std::string& text) {
    UCI& engine = engineReading("");
    std::cout.setstate(std::ios::badbit);  // no reports of refused FENs
    if (const auto board = boardFromFen(text)) requireRoundTrip(*board);
    engine.execute("position startpos");
    engine.execute("position " + text.substr(0, text.find('\n')));
    requireRoundTrip(engine.getBoard());
}

// The line, with a search or perft walk deeper than depth 2 cut to depth 2.
std::string tamed(const std::string& line, const std::string& command, int side) {
    if (command == "perft" && std::strtol(line.c_str() + line.find("perft") + 5, nullptr, 10) > 2) return "perft 2";
    const TimeControl control = readTimeControl(line, side);
    const bool shallow = control.untilStopped || (control.limits.moveTime == 0 && control.limits.depth <= 2);
    return command != "go" || shallow ? line : "go depth 2";
}

// The last bestmove of the output and its ponder move are legal in the
// position, or 0000 where it has no legal move.
void requireLegalAnswer(Board position, const std::string& output) {
    std::istringstream words(output.substr(std::min(output.rfind("bestmove "), output.size())));
    std::string word, best, ponder;
    words >> word >> best >> word >> ponder;
    const Move move = position.strToMove(best);
    require(position.firstLegalMove() == NOMOVE ? best == "0000" : isMoveText(best) && position.moveIsLegal(move),
            "bestmove " + best + " in " + position.toFen());
    require(ponder.empty() ||
                (position.executeMove(move) && isMoveText(ponder) && position.moveIsLegal(position.strToMove(ponder))),
            "ponder " + ponder + " after " + best + " in " + position.toFen());
}

// Any lines through the command loop, deep searches and perft walks cut short:
// after every line the board is sound and a bestmove legal; after the last
// line isready is still answered.
void fuzzCommands(const std::string& text) {
    UCI& engine = engineReading(text);
    std::ostringstream output;
    std::streambuf* const console = std::cout.rdbuf(output.rdbuf());
    engine.execute("position startpos");
    for (std::string line; input.readLine(line);) {
        std::string command;
        std::istringstream(line) >> command;
        const Board before = engine.getBoard();
        output.str("");
        const bool more = engine.execute(tamed(line, command, before.getTurn()));
        requireSound(engine.getBoard());
        if (command == "go") requireLegalAnswer(before, output.str());
        if (!more) break;
    }
    output.str("");
    engine.execute("isready");
    std::cout.rdbuf(console);
    require(output.str() == "readyok\n", "isready answered " + output.str());
}

// Move text in positions reached by legal moves: the bytes before the first
// line end pick legal moves from the start position, one byte each, and the
// words after it are offered as moves, as the position command and the console
// game read them. A word is accepted exactly when it names a legal move, and
// playing it and taking it back restores the position exactly.
void fuzzMoves(const std::string& text) {
    const std::size_t split = std::min(text.find('\n'), text.size());
    Board board;
    for (std::size_t i = 0; i < split; ++i) {
        const MoveList legal = legalMoves(board);
        if (legal.empty()) break;
        require(board.executeMove(legal[static_cast<unsigned char>(text[i]) % legal.size()]), "a legal move refused");
    }
    std::istringstream words(text.substr(split));
    // The generator gives nothing where a rule draws, so the words stop there.
    for (std::string word; words >> word && !board.isDraw();) {
        std::ostringstream names;
        for (const Move& legal : legalMoves(board)) names << ' ' << legal << ' ';
        const bool named = names.str().find(' ' + word + ' ') != std::string::npos;
        const std::string where = word + " in " + board.toFen();
        const BoardState before = boardState(board);
        const Move move = board.strToMove(word);
        const bool form = isMoveText(word);
        require(form ? board.moveIsLegal(move) == named : !named, "moveIsLegal is wrong about " + where);
        const bool played = form && board.moveIsPseudo(move) && board.executeMove(move);
        require(played == named, (played ? "played an illegal move " : "refused a legal move ") + where);
        if (played) {
            requireSound(board);
            board.undoMove();
        }
        require(boardState(board) == before, "the board is not restored after " + where);
        if (played) board.executeMove(move);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MARROWBY_FUZZ_TARGET(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}

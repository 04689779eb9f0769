// Any bytes as FEN text, and their first line as the words after "position".
// A FEN the board accepts gives a sound board, and so does any position
// command; the FEN the board writes reads back to the same key.
#include <cstdint>
#include <iostream>

#include "fuzz/fuzz.h"
#include "uci/uci.h"

namespace {

void requireRoundTrip(const Board& board) {
    requireSound(board);
    const std::string fen = board.toFen();
    const auto again = boardFromFen(fen);
    require(again && again->getZobristKey() == board.getZobristKey() && again->toFen() == fen,
            "the board's FEN " + fen + " does not read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One engine for every input: building one fills a large table. Its
    // replies (refused FENs) are not wanted.
    static LineReader noInput(-1);
    static UCI engine(noInput);
    std::cout.setstate(std::ios::badbit);

    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto board = boardFromFen(text)) requireRoundTrip(*board);
    engine.execute("position startpos");
    engine.execute("position " + text.substr(0, text.find('\n')));
    requireRoundTrip(engine.getBoard());
    return 0;
}

// Move text in positions reached by legal moves. The bytes before the first
// line end pick legal moves from the start position, one byte each; the words
// after it are offered as moves, as the position command and the console game
// read them. A word of move form is accepted exactly when it names a legal
// move, and playing it and taking it back restores the position exactly.
#include <algorithm>
#include <cstdint>
#include <sstream>

#include "fuzz/fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
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
        const MoveList legal = legalMoves(board);
        const bool named = std::any_of(legal.begin(), legal.end(), [&word](const Move& move) {
            std::ostringstream text;
            text << move;
            return text.str() == word;
        });
        const std::string where = word + " in " + board.toFen();
        const Move move = board.strToMove(word);
        if (!isMoveText(word)) {
            require(!named, "a legal move's text has no move form: " + where);
            continue;
        }
        require(board.moveIsLegal(move) == named, "moveIsLegal is wrong about " + where);
        const BoardState before = boardState(board);
        const bool played = board.moveIsPseudo(move) && board.executeMove(move);
        require(played == named, (played ? "played an illegal move " : "refused a legal move ") + where);
        if (!played) {
            require(boardState(board) == before, "a refused move changed the board: " + where);
            continue;
        }
        requireSound(board);
        board.undoMove();
        require(boardState(board) == before, "the take-back does not restore the position: " + where);
        board.executeMove(move);
    }
    return 0;
}

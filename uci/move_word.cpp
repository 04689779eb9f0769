#include "uci/move_word.h"

#include <cctype>

namespace {

[[nodiscard]] std::string lowerCase(std::string word) {
    for (char& ch : word) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return word;
}

}  // namespace

bool isMoveTextInAnyCase(const std::string& word) { return isMoveText(lowerCase(word)); }

Move readPseudoMoveInAnyCase(const Board& board, const std::string& word) {
    const std::string text = lowerCase(word);
    if (!isMoveText(text)) return NOMOVE;
    const Move move = board.strToMove(text);
    return board.moveIsPseudo(move) ? move : NOMOVE;
}

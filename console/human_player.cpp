#include "console/human_player.h"

#include <iostream>
#include <string>

namespace {

// Four or five characters: file a-h, rank 1-8, file a-h, rank 1-8; the fifth
// character names a promotion piece and is judged with the move.
bool hasMoveForm(const std::string& word) {
    if (word.size() != 4 && word.size() != 5) return false;
    const auto isFile = [](char ch) { return ch >= 'a' && ch <= 'h'; };
    const auto isRank = [](char ch) { return ch >= '1' && ch <= '8'; };
    return isFile(word[0]) && isRank(word[1]) && isFile(word[2]) && isRank(word[3]);
}

}  // namespace

Move HumanPlayer::getAMove() {
    for (;;) {
        std::cout << (color == WHITE ? "WHITE" : "BLACK") << " move:" << std::flush;
        std::string word;
        if (!input.readWord(word)) return NOMOVE;
        if (hasMoveForm(word)) {
            const Move move = board.strToMove(word);
            if (board.moveIsLegal(move)) return move;
        }
        std::cout << "Illegal move." << std::endl;
    }
}

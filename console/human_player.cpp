#include "console/human_player.h"

#include <iostream>
#include <string>

namespace {

// Four or five characters whose first four name two squares; the fifth names
// a promotion piece and is judged with the move.
bool hasMoveForm(const std::string& word) {
    return (word.size() == 4 || word.size() == 5) && isMoveText(word.substr(0, 4));
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

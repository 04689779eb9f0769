#include "console/human_player.h"

#include <iostream>
#include <string>

Move HumanPlayer::getAMove() {
    for (;;) {
        std::cout << (color == WHITE ? "WHITE" : "BLACK") << " move:" << std::flush;
        std::string word;
        if (!input.readWord(word)) return NOMOVE;
        if (isMoveText(word)) {
            const Move move = board.strToMove(word);
            if (board.moveIsLegal(move)) return move;
        }
        std::cout << "Illegal move." << std::endl;
    }
}

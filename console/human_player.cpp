#include "console/human_player.h"

#include <iostream>
#include <string>

Move HumanPlayer::getAMove() {
    for (;;) {
        std::cout << (color == WHITE ? "WHITE" : "BLACK") << " move:" << std::flush;
        std::string word;
        if (!input.readWord(word) || word == QUIT_WORD) return NOMOVE;
        if (const Move move = board.strToMove(word); move != NOMOVE && board.moveIsLegal(move)) return move;
        std::cout << "Illegal move." << std::endl;
    }
}

#include "console/game.h"

#include <iostream>

#include "console/human_player.h"
#include "eval/evaluator.h"

Game::Game(const Board& start, LineReader& input) : board(start) {
    players[WHITE] = std::make_unique<HumanPlayer>(WHITE, board, input);
    players[BLACK] = std::make_unique<HumanPlayer>(BLACK, board, input);
}

bool Game::run() {
    Evaluator evaluator(board);
    board.print(std::cout);
    while (!board.isGameOver()) {
        const int side = board.getTurn();
        evaluator.print(std::cout);
        const Move move = players[side]->getAMove();
        // The input has ended, or "quit": the game stops without a result.
        if (move == NOMOVE) return false;
        board.executeMove(move);
        board.print(std::cout);
    }
    const int side = board.getTurn();
    if (board.isCheckmate())
        std::cout << (side == WHITE ? "BLACK" : "WHITE") << " wins!" << std::endl;
    else
        std::cout << "Stalemate!" << std::endl;
    return true;
}

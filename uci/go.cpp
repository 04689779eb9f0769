#include <chrono>
#include <iostream>
#include <mutex>
#include <system_error>
#include <thread>

#include "search/search.h"
#include "search/signals.h"
#include "uci/time_control.h"
#include "uci/uci.h"

namespace {

// The first legal move in generation order, or NOMOVE when the side to move
// has none or the position is drawn by rule. Works on a copy: testing moves
// reorders piece lists.
Move firstLegalMove(const Board& position) {
    Board board = position;
    for (const Move& move : board.getAllMoves())
        if (board.pseudoIsLegal(move)) return move;
    return NOMOVE;
}

}  // namespace

void UCI::go(const std::string& line) {
    const int side = board.getTurn();
    const TimeControl control = readTimeControl(line, side);

    search.stop.exchange(false);
    std::thread worker;
    try {
        worker = std::thread([this, side, budget = control.budget] { search.iterativeDeepening(side, budget); });
    } catch (const std::system_error& error) {
        std::cout << "info string cannot start the search: " << error.what() << std::endl;
        std::cout << "bestmove " << NOMOVE << std::endl;
        return;
    }

    // Sleep on the condition variable, waking at least every 100 ms to see
    // whether input has arrived; any input line ends the search, and so does
    // the end of input when nothing else would.
    while (!search.stop.load()) {
        std::unique_lock lock(mtx);
        cv.wait_for(lock, std::chrono::milliseconds(100));
        if (input.inputWaiting() || (control.untilStopped && input.exhausted())) search.stop.exchange(true);
    }
    worker.join();

    Move best = search.bestMove;
    Move ponder = search.ponderMove;
    if (best == NOMOVE) {
        best = firstLegalMove(board);
        ponder = NOMOVE;
    }
    std::cout << "bestmove " << best;
    if (ponder != NOMOVE) std::cout << " ponder " << ponder;
    std::cout << std::endl;
}

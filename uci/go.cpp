#include <chrono>
#include <iostream>
#include <mutex>
#include <system_error>
#include <thread>

#include "search/search.h"
#include "uci/time_control.h"
#include "uci/uci.h"

namespace {

// The move to answer when the search reports none: the first legal move in
// the position as given, worked out on a copy because testing moves reorders
// piece lists.
Move fallbackMove(const Board& position) {
    Board board = position;
    return board.firstLegalMove();
}

// "bestmove" with the move and its expected reply; a side without a legal
// move answers the protocol's null move.
void sendBestMove(Move best, Move ponder) {
    std::cout << "bestmove ";
    if (best == NOMOVE)
        std::cout << "0000";
    else
        std::cout << best;
    if (ponder != NOMOVE) std::cout << " ponder " << ponder;
    std::cout << std::endl;
}

}  // namespace

void UCI::go(const std::string& line) {
    const int side = board.getTurn();
    const TimeControl control = readTimeControl(line, side);
    const Move fallback = fallbackMove(board);

    search.stop.exchange(false);
    searchFinished = false;
    std::thread worker;
    try {
        worker = std::thread([this, side, limits = control.limits] {
            search.iterativeDeepening(side, limits);
            {
                const std::lock_guard lock(searchMutex);
                searchFinished = true;
            }
            searchEnded.notify_one();
        });
    } catch (const std::system_error& error) {
        std::cout << "info string cannot start the search: " << error.what() << std::endl;
        sendBestMove(fallback, NOMOVE);
        return;
    }

    // Sleep on the condition variable, waking at least every 100 ms to see
    // whether input has arrived. Any input line ends the search, and so does
    // the end of input when nothing else would. A search without a limit
    // answers only then, even when it has finished before.
    {
        std::unique_lock lock(searchMutex);
        for (;;) {
            if (searchFinished && !control.untilStopped) break;
            if (input.inputWaiting() || (control.untilStopped && input.exhausted())) {
                search.stop.exchange(true);
                break;
            }
            searchEnded.wait_for(lock, std::chrono::milliseconds(100));
        }
    }
    worker.join();

    if (search.bestMove == NOMOVE)
        sendBestMove(fallback, NOMOVE);
    else
        sendBestMove(search.bestMove, search.ponderMove);
}

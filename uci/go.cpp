#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "search/search.h"
#include "uci/move_word.h"
#include "uci/time_control.h"
#include "uci/uci.h"

namespace {

// The legal moves among the words after "searchmoves", in their order; none
// when no word names one, and the root then searches every move.
std::vector<Move> legalRootMoves(const Board& position, const std::vector<std::string>& words) {
    Board board = position;
    std::vector<Move> moves;
    for (const std::string& word : words) {
        const Move move = readPseudoMoveInAnyCase(board, word);
        if (move != NOMOVE && board.moveIsLegal(move) && std::find(moves.begin(), moves.end(), move) == moves.end())
            moves.push_back(move);
    }
    return moves;
}

// The move to answer when the search reports none: the first legal move in
// the position as given (the first of the root's moves, when they are
// listed), worked out on a copy because testing moves reorders piece lists.
Move fallbackMove(const Board& position, const std::vector<Move>& rootMoves) {
    if (!rootMoves.empty()) return rootMoves.front();
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

[[nodiscard]] bool isPonderHit(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    return words >> command && command == "ponderhit";
}

}  // namespace

void UCI::go(const std::string& line) {
    const int side = board.getTurn();
    const TimeControl control = readTimeControl(line, side);
    searchSide = side;
    searchLimits = control.limits;
    searchLimits.rootMoves = legalRootMoves(board, control.searchMoves);
    const Move fallback = fallbackMove(board, searchLimits.rootMoves);

    search.stop.exchange(false);
    search.clearClock();
    // A timed search's budget counts from here, not from the start of its
    // run on the search thread.
    if (searchLimits.moveTime > 0) search.startClock(searchLimits.moveTime);
    searchFinished = false;
    searchThread.run();

    // Wait on the input and the search at once. Any input line ends the
    // search, except "ponderhit" during a ponder search, which starts its
    // clock. A search without a limit, and a ponder search, answer only when
    // a line ends them, even when finished before. The end of input ends
    // every search, whatever its limits: nobody is left to wait for it.
    bool pondering = control.ponder;
    for (;;) {
        const bool waitsForLine = control.untilStopped || pondering;
        if (searchFinished && !waitsForLine) break;
        if (input.exhausted()) {
            search.stop.exchange(true);
            break;
        }
        const LineReader::Wake wake = input.waitForLine();
        if (wake != LineReader::Wake::LINE) continue;
        std::string next;
        if (pondering && input.peekLine(next) && isPonderHit(next)) {
            input.readLine(next);
            pondering = false;
            if (control.moveTime > 0) search.startClock(control.moveTime);
            continue;
        }
        search.stop.exchange(true);
        break;
    }
    searchThread.wait();

    if (search.bestMove == NOMOVE)
        sendBestMove(fallback, NOMOVE);
    else
        sendBestMove(search.bestMove, search.ponderMove);
}

#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "board/board.h"
#include "core/line_reader.h"
#include "search/search.h"
#include "uci/search_thread.h"

// The command loop: reads one line at a time and runs the command its first
// word names. Unknown words are ignored without a reply.
class UCI {
public:
    // Plays a game at the console from a copy of the given position; "g"
    // calls it. False when the game ends the engine ("quit" at its prompt).
    using GameStarter = std::function<bool(const Board&)>;

    // Throws std::bad_alloc when the tables find no memory, and
    // std::system_error when the system gives no search thread.
    UCI(LineReader& input, GameStarter startGame);
    UCI(const UCI&) = delete;
    UCI& operator=(const UCI&) = delete;

    // Runs until "quit" or the end of input.
    void run();
    // Runs the command of one input line; false after "quit".
    bool execute(const std::string& line);
    [[nodiscard]] const Board& getBoard() const { return board; }

    void uci(const std::string& line);
    void isready(const std::string& line);
    void ucinewgame(const std::string& line);
    void position(const std::string& line);
    void go(const std::string& line);
    void perft(const std::string& line);
    void evaluate(const std::string& line);

private:
    LineReader& input;
    GameStarter startGame;
    Board board;
    Search search;
    // The search thread sets searchFinished and wakes the input reader; go
    // waits for the input and the search at once.
    std::atomic<bool> searchFinished{false};
    // What the search thread's next run searches: go sets them before it
    // starts the run.
    int searchSide = WHITE;
    SearchLimits searchLimits;
    SearchThread searchThread;
};

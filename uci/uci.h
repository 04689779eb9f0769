#pragma once

#include <string>

#include "board/board.h"
#include "search/search.h"
#include "uci/line_reader.h"

// The command loop: reads one line at a time and runs the command its first
// word names. Unknown words are ignored without a reply.
class UCI {
public:
    explicit UCI(LineReader& input);
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

private:
    LineReader& input;
    Board board;
    Search search;
};

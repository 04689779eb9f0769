#include "uci/uci.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <utility>

#include "board/perft.h"
#include "core/version.h"
#include "eval/evaluator.h"
#include "uci/move_word.h"

UCI::UCI(LineReader& input, GameStarter startGame)
    : input(input), startGame(std::move(startGame)), search(board), searchThread([this] {
          search.iterativeDeepening(searchSide, searchLimits);
          searchFinished = true;
          this->input.wake();
      }) {}

void UCI::run() {
    std::string line;
    while (input.readLine(line) && execute(line)) {}
}

bool UCI::execute(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "uci")
        uci(line);
    else if (command == "isready")
        isready(line);
    else if (command == "ucinewgame")
        ucinewgame(line);
    else if (command == "position")
        position(line);
    else if (command == "go")
        go(line);
    else if (command == "quit")
        return false;
    else if (command == "p")
        board.print(std::cout);
    else if (command == "eval")
        evaluate(line);
    else if (command == "g")
        return startGame(board);
    else if (command == "perft")
        perft(line);
    return true;
}

void UCI::uci(const std::string&) {
    std::cout << "id name Marrowby " << ENGINE_VERSION << std::endl;
    std::cout << "id author Pellowen" << std::endl;
    std::cout << "uciok" << std::endl;
}

// A GUI sends "isready" before its first search and waits for the answer:
// the time to map the table's memory in, which a search would otherwise
// spend on its first touches of it.
void UCI::isready(const std::string&) {
    search.mapInTable();
    std::cout << "readyok" << std::endl;
}

// The report the console game prints before each move, for the current
// position and its side to move.
void UCI::evaluate(const std::string&) {
    Evaluator evaluator(board);
    evaluator.print(std::cout);
}

void UCI::ucinewgame(const std::string&) { search.clear(); }

void UCI::position(const std::string& line) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (!(words >> word)) return;

    std::string fen;
    if (word == "startpos") {
        fen = START_FEN;
    } else {
        // Up to six FEN fields; a shorter FEN ends at the word "moves".
        for (int field = 0; field < 6; ++field) {
            const auto mark = words.tellg();
            if (!(words >> word)) break;
            if (word == "moves") {
                words.seekg(mark);
                break;
            }
            fen += (field > 0 ? " " : "") + word;
        }
        words.clear();
    }
    if (const std::string problem = board.setFen(fen); !problem.empty()) {
        std::cout << "info string invalid FEN: " << problem << std::endl;
        return;
    }

    // The word after the position is "moves"; it is passed over unread. A
    // word that is not a move of the position is skipped. The first one is
    // named, with the count of all, in one line, so that an interface's log
    // shows why the games differ without a line for every later move.
    words >> word;
    std::string firstSkipped;
    long skipped = 0;
    while (words >> word) {
        const Move move = readPseudoMoveInAnyCase(board, word);
        if (move != NOMOVE && board.executeMove(move)) continue;
        if (skipped++ == 0) firstSkipped = word;
    }
    if (skipped == 0) return;
    std::cout << "info string skipped move " << firstSkipped << ": not a legal move in the position";
    if (skipped > 1) std::cout << " (" << skipped << " moves skipped)";
    std::cout << std::endl;
}

void UCI::perft(const std::string& line) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    words >> word;

    // A depth of 0 or less counts the root alone.
    errno = 0;
    char* end = nullptr;
    const long depth = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str() || errno == ERANGE || depth < INT_MIN || depth > Perft::MAX_DEPTH) {
        std::cout << "info string perft needs a depth of at most " << Perft::MAX_DEPTH << " plies" << std::endl;
        return;
    }

    runPerft(board, static_cast<int>(depth), std::cout);
}

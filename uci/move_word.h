#pragma once

#include <string>

#include "board/board.h"

// Move words as interfaces send them: coordinate text whose letters may be
// written in either case ("e7e8q", "e7e8Q").

// Whether the word has the form of a move.
[[nodiscard]] bool isMoveWord(const std::string& word);
// The pseudo-legal move of the position the word names; NOMOVE when the word
// names none.
[[nodiscard]] Move readMoveWord(const Board& board, const std::string& word);

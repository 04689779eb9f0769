#pragma once

#include <string>

#include "board/board.h"

// Move words as interfaces send them: coordinate text whose letters may be
// written in either case ("e7e8q", "e7e8Q").

// isMoveText with the letters in either case.
[[nodiscard]] bool isMoveTextInAnyCase(const std::string& word);
// The pseudo-legal move of the position that a word passing
// isMoveTextInAnyCase names; NOMOVE for any other word.
[[nodiscard]] Move readPseudoMoveInAnyCase(const Board& board, const std::string& word);

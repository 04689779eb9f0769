#pragma once

#include <cstdint>
#include <vector>

#include "board/board.h"
#include "core/types.h"
#include "search/history.h"

// The lists a picker fills. The search owns one set per ply and lends it to
// each node's picker, so that no node allocates.
struct PickerBuffers {
    MoveList moves;
    std::vector<ScoredMove> scored;

    PickerBuffers();
};

// Which generated moves a picker hands out. Captures and promotions come out
// in the same order either way, since every one ranks above every quiet move.
// The root's moves are all moves even where a draw by rule could be claimed.
enum class PickerScope : std::uint8_t { ALL_MOVES, CAPTURES_AND_PROMOTIONS, ROOT };

// Hands out the moves of one node best first: the hash move before anything
// is generated, then captures and promotions, the two killers, and the other
// quiet moves by history value. Moves are pseudo-legal; the caller finds out
// whether they leave its king in check.
class MovePicker {
public:
    MovePicker(const Move& hashMove, const Move& killer1, const Move& killer2, HistoryTable& history,
               const Board& board, PickerBuffers& buffers, PickerScope scope = PickerScope::ALL_MOVES);

    // The next move, or NOMOVE once the node has no more.
    [[nodiscard]] Move getNextMove();
    // Lowers the history value of every quiet move handed out here other than
    // best, the hash move included.
    void penalizeHist(const Move& best, int depth);

private:
    enum Stage : std::uint8_t { HASH_MOVE, GENERATE, PICK, EXHAUSTED };

    // Fills the scored list with the generated moves in scope, all but the
    // hash move.
    void scoreMoves();
    [[nodiscard]] int orderingKey(const Move& move) const;

    Move hashMove;
    Move killer1;
    Move killer2;
    HistoryTable& history;
    const Board& board;
    PickerScope scope;
    Stage stage = HASH_MOVE;
    MoveList& moves;
    std::vector<ScoredMove>& scored;
    std::size_t next = 0;
};

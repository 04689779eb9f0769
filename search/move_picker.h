#pragma once

#include <cassert>
#include <cstdint>
#include <vector>

#include "board/board.h"
#include "core/types.h"
#include "eval/square_sets.h"
#include "search/history.h"

// A move and its ordering key in one number that orders as the picker hands
// moves out: the key in the high half, then the lower from-square, then the
// lower to-square; the promotion and flags fill the last bits, so that the
// number holds the whole move.
using RankedMove = std::int64_t;

// Squares are stored as their distance below this, so that lower squares
// rank higher.
inline constexpr int RANKED_SQUARE_LIMIT = 127;

// The units of the fields of a ranked move. No field reaches into the next,
// so that the number is the sum of its fields, each times its unit.
inline constexpr RankedMove KEY_UNIT = RankedMove{1} << 32;
inline constexpr RankedMove FROM_UNIT = RankedMove{1} << 24;
inline constexpr RankedMove TO_UNIT = RankedMove{1} << 16;
inline constexpr RankedMove PROMOTION_UNIT = RankedMove{1} << 8;

[[nodiscard]] constexpr RankedMove rankMove(const Move& move, int key) {
    return key * KEY_UNIT + (RANKED_SQUARE_LIMIT - move.from) * FROM_UNIT + (RANKED_SQUARE_LIMIT - move.to) * TO_UNIT +
           static_cast<std::uint8_t>(move.promotion) * PROMOTION_UNIT + move.flags;
}

// The low half of a ranked move, which holds the whole move: two ranked
// moves stand for the same move exactly when these are equal.
[[nodiscard]] constexpr std::uint32_t rankedBits(RankedMove ranked) { return static_cast<std::uint32_t>(ranked); }

// The move of a ranked number. Flipping the bits of a square below
// RANKED_SQUARE_LIMIT, all of whose bits are set, gives its distance below
// the limit and back; the low half then holds the move's bytes from first
// to last, the most significant first.
[[nodiscard]] constexpr Move rankedMove(RankedMove ranked) {
    static_assert((RANKED_SQUARE_LIMIT & (RANKED_SQUARE_LIMIT + 1)) == 0);
    constexpr auto SQUARE_BITS = static_cast<std::uint32_t>(RANKED_SQUARE_LIMIT * (FROM_UNIT + TO_UNIT));
    const std::uint32_t bytes = rankedBits(ranked) ^ SQUARE_BITS;
    return {static_cast<std::int8_t>(bytes >> 24), static_cast<std::int8_t>(bytes >> 16),
            static_cast<std::int8_t>(bytes >> 8), static_cast<std::uint8_t>(bytes)};
}

// The lists a picker fills. The search owns one per ply and lends it to each
// node's picker, so that no node allocates.
struct PickerBuffers {
    // Room for the captures and promotions, and for the quiet moves, of any
    // position, written in place.
    std::vector<RankedMove> ranked;
    std::vector<RankedMove> quiets;

    PickerBuffers();
};

// Moves the best of the ranked moves from first to end to first.
inline void selectNext(RankedMove* first, RankedMove* end) {
    RankedMove* chosen = first;
    RankedMove best = *first;
    for (RankedMove* move = first + 1; move < end; ++move) {
        if (*move > best) {
            best = *move;
            chosen = move;
        }
    }
    *chosen = *first;
    *first = best;
}

// Which generated moves a picker hands out: those of an inner node, or the
// root's. A picker other than the root's expects the caller to have ruled out
// a draw by rule, in which the generator offers no move. The root's moves are
// all moves even where a draw by rule could be claimed.
enum class PickerScope : std::uint8_t { ALL_MOVES, ROOT };

// Hands out the captures and promotions of a quiescence node best first: the
// moves a MovePicker without a hash move hands out before its quiet moves, in
// the same order. It ranks them as it is made, out of line, and selects each
// inline, with none of a MovePicker's stages to pass: most quiescence nodes
// that get this far cut off at their first capture. The caller makes one
// only in a position not drawn by rule.
class CapturePicker {
public:
    [[gnu::noinline]] CapturePicker(const Board& board, PickerBuffers& buffers);

    [[nodiscard]] bool empty() const { return next == end; }
    // The best move not yet handed out; only while not empty.
    [[nodiscard]] Move pickNext() {
        selectNext(next, end);
        return rankedMove(*next++);
    }

private:
    RankedMove* next;
    RankedMove* end;
};

// Hands out the moves of one node best first: the hash move before anything
// is generated, then captures and promotions, the two killers, and the other
// quiet moves by history value. Moves are pseudo-legal; the caller finds out
// whether they leave its king in check.
//
// The quiet moves are ranked by the history values of the moment the
// captures are generated, after the hash move. Many nodes cut off before
// their quiet moves, so the picker ranks them only when they are asked for,
// from the squares it saved then; a caller about to change history values
// while the picker's node is still searched first has it rank them
// (rankPendingQuiets).
class MovePicker {
public:
    MovePicker(const Move& hashMove, const Move& killer1, const Move& killer2, HistoryTable& history,
               const Board& board, PickerBuffers& buffers, PickerScope scope = PickerScope::ALL_MOVES)
        : hashMove(hashMove),
          killer1(killer1),
          killer2(killer2),
          history(history),
          board(board),
          scope(scope),
          ranked(buffers.ranked.data()),
          quiets(buffers.quiets.data()) {}

    // The next move, or NOMOVE once the node has no more.
    [[nodiscard]] Move getNextMove();
    // Ranks the quiet moves by the current history values if the captures
    // are generated and the quiet moves not yet ranked.
    void rankPendingQuiets() {
        if (quietsPending) rankQuiets();
    }
    // Whether every move still to come is a quiet move: the hash move and
    // the captures and promotions are handed out. The moves are generated
    // here if the next getNextMove would generate them.
    [[nodiscard]] bool onlyQuietsLeft() {
        if (stage == GENERATE) {
            stage = PICK_CAPTURES;
            generateMoves();
        }
        return capturesHandedOut();
    }
    // Ends the node's moves where only quiet moves are left, which the
    // caller will not try. They still count as handed out for penalizeHist,
    // ranked by the history values of the moment they were due, so the
    // caller has them ranked (rankPendingQuiets) before it changes any.
    void skipQuiets() {
        assert(capturesHandedOut());
        stage = EXHAUSTED;
        quietsSkipped = true;
    }
    // Lowers the history value of every quiet move handed out here other than
    // best, the hash move included.
    void penalizeHist(const Move& best, int depth);

private:
    enum Stage : std::uint8_t { HASH_MOVE, GENERATE, PICK_CAPTURES, PICK_QUIETS, EXHAUSTED };

    // What ranking the quiet moves reads of the position, saved when the
    // captures are generated: the side to move's pieces by type, the squares
    // of all pieces, and the castling moves whose right stands and path is
    // empty.
    struct QuietSources {
        eval::SquareSet own[KING + 1];
        eval::SquareSet all;
        Move castling[Board::MAX_CASTLING_MOVES];
        std::uint8_t castlingCount;
        std::uint8_t color;
    };

    // Whether the moves are generated and every capture and promotion is
    // handed out.
    [[nodiscard]] bool capturesHandedOut() const {
        return stage == PICK_QUIETS || stage == EXHAUSTED || (stage == PICK_CAPTURES && next >= count);
    }
    // Ranks the captures and promotions, all but the hash move, and saves the
    // quiet moves' sources. The position is not drawn by rule, but at the
    // root.
    void generateMoves();
    // Sorts the moves, best first.
    static void sortMoves(RankedMove* first, RankedMove* end);
    // Ranks the other moves of the side to move the same way from the saved
    // sources, all but the hash move, each by its killer bonus or history
    // value.
    void rankQuiets();
    // Takes the hash move, handed out before the others, out of the ranked
    // moves from first to end, if it is among them; the end of those left.
    [[nodiscard]] RankedMove* withoutHashMove(RankedMove* first, RankedMove* end) const;

    Move hashMove;
    Move killer1;
    Move killer2;
    HistoryTable& history;
    const Board& board;
    PickerScope scope;
    Stage stage = HASH_MOVE;
    // The ranked captures and promotions, and the quiet moves; how many of
    // each there are and how many were handed out.
    RankedMove* ranked;
    RankedMove* quiets;
    std::size_t count = 0;
    std::size_t next = 0;
    std::size_t quietCount = 0;
    std::size_t nextQuiet = 0;
    bool quietsPending = false;
    bool quietsSkipped = false;
    QuietSources sources;
};

#include "search/move_picker.h"

namespace {

// Piece values for ordering captures, by piece code; EMPTY is worth nothing.
constexpr int PIECE_VALUE[7] = {20, 65, 67, 100, 195, 256, 0};

// Key bands: every capture or promotion ranks above both killers, and the
// killers rank above every history value.
constexpr int CAPTURE_BASE = 1'000'000;
constexpr int PROMOTION_BONUS = 990'000;
constexpr int KILLER1_BONUS = 970'000;
constexpr int KILLER2_BONUS = 960'000;
constexpr int EN_PASSANT_KEY = PIECE_VALUE[PAWN] * 256 + CAPTURE_BASE - PIECE_VALUE[PAWN];

}  // namespace

PickerBuffers::PickerBuffers() { scored.reserve(MoveList::CAPACITY); }

MovePicker::MovePicker(const Move& hashMove, const Move& killer1, const Move& killer2, HistoryTable& history,
                       const Board& board, PickerBuffers& buffers, PickerScope scope)
    : hashMove(hashMove),
      killer1(killer1),
      killer2(killer2),
      history(history),
      board(board),
      scope(scope),
      moves(buffers.moves),
      scored(buffers.scored) {}

Move MovePicker::getNextMove() {
    switch (stage) {
        case HASH_MOVE:
            stage = GENERATE;
            if (hashMove != NOMOVE && board.moveIsPseudo(hashMove)) return hashMove;
            [[fallthrough]];
        case GENERATE:
            stage = PICK;
            moves.clear();
            if (scope == PickerScope::CAPTURES_AND_PROMOTIONS)
                board.genCaptures(moves);
            else if (scope == PickerScope::ROOT)
                board.genIgnoringDraw(moves);
            else
                board.gen(moves);
            scoreMoves();
            [[fallthrough]];
        case PICK: {
            if (next >= scored.size()) {
                stage = EXHAUSTED;
                return NOMOVE;
            }
            // Selection instead of a full sort: a node that cuts off early
            // never pays for ordering the moves it does not reach.
            std::size_t chosen = next;
            for (std::size_t i = next + 1; i < scored.size(); ++i)
                if (scored[chosen] < scored[i]) chosen = i;
            std::swap(scored[chosen], scored[next]);
            return scored[next++].first;
        }
        case EXHAUSTED: break;
    }
    return NOMOVE;
}

int MovePicker::orderingKey(const Move& move) const {
    int key = 0;
    // Most valuable victim first, then least valuable attacker.
    if (move.has(ENPASSANT))
        key = EN_PASSANT_KEY;
    else if (move.has(CAPTURE))
        key = PIECE_VALUE[board.pieceAt(move.to)] * 256 + CAPTURE_BASE - PIECE_VALUE[board.pieceAt(move.from)];
    if (move.has(PROMOTION)) key += PIECE_VALUE[move.promotion] + PROMOTION_BONUS;

    if (move == killer1)
        key += KILLER1_BONUS;
    else if (move == killer2)
        key += KILLER2_BONUS;
    else if (move.isQuiet())
        key += history.getScore(move);
    return key;
}

void MovePicker::scoreMoves() {
    scored.clear();
    for (const Move& move : moves) {
        if (move == hashMove) continue;
        scored.emplace_back(move, orderingKey(move));
    }
}

void MovePicker::penalizeHist(const Move& best, int depth) {
    const int penalty = -depth * depth;
    // A hash move whose from-square is empty belongs to another position that
    // shares the key; it has no history slot here.
    if (hashMove != NOMOVE && hashMove != best && hashMove.isQuiet() && board.pieceAt(hashMove.from) != EMPTY)
        history.addScore(hashMove, penalty);
    for (std::size_t i = 0; i < next; ++i) {
        const Move& move = scored[i].first;
        if (move != best && move.isQuiet()) history.addScore(move, penalty);
    }
}

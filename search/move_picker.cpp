#include "search/move_picker.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <functional>
#include <iterator>

#include "eval/tables.h"

namespace {

// Piece values for ordering captures, by piece code: a fifth of the
// evaluator's material, whose values are all multiples of five. The king,
// which counts nothing there, ranks as the dearest attacker, so that its
// captures come last among those of one victim; EMPTY is worth nothing.
constexpr int ORDERING_VALUE_DIVISOR = 5;
constexpr int KING_ORDERING_VALUE = 256;
constexpr auto PIECE_VALUE = [] {
    std::array<int, 7> values{};
    for (int type = PAWN; type < KING; ++type) values[type] = eval::MATERIAL_VALUE[type] / ORDERING_VALUE_DIVISOR;
    values[KING] = KING_ORDERING_VALUE;
    return values;
}();
static_assert(std::all_of(std::begin(eval::MATERIAL_VALUE), std::end(eval::MATERIAL_VALUE),
                          [](int value) { return value % ORDERING_VALUE_DIVISOR == 0; }));

// How many moves a picker of all moves selects before it sorts the rest; a
// picker of captures, whose lists are short, only selects.
constexpr std::size_t SELECTED_MOVES = 3;

// Key bands: every capture or promotion ranks above both killers, and the
// killers rank above every history value.
constexpr int CAPTURE_BASE = 1'000'000;
constexpr int PROMOTION_BONUS = 990'000;
constexpr int KILLER1_BONUS = 970'000;
constexpr int KILLER2_BONUS = 960'000;

// Most valuable victim first, then least valuable attacker: one point of
// victim value outweighs any difference between attackers.
constexpr int VICTIM_WEIGHT = 256;
static_assert(VICTIM_WEIGHT >= KING_ORDERING_VALUE);
[[nodiscard]] constexpr int captureKey(int victim, int attacker) {
    return PIECE_VALUE[victim] * VICTIM_WEIGHT + CAPTURE_BASE - PIECE_VALUE[attacker];
}
constexpr int EN_PASSANT_KEY = captureKey(PAWN, PAWN);

// A capture's ranked number is the victim's share of its key, looked up by
// the piece code on the target square, plus the attacker's share with the
// move's squares and flags.
constexpr auto VICTIM_SHARE = [] {
    std::array<RankedMove, EMPTY + 1> shares{};
    for (int victim = PAWN; victim <= EMPTY; ++victim) shares[victim] = PIECE_VALUE[victim] * VICTIM_WEIGHT * KEY_UNIT;
    return shares;
}();
[[nodiscard]] constexpr RankedMove attackerShare(int attacker) {
    return (CAPTURE_BASE - PIECE_VALUE[attacker]) * KEY_UNIT;
}
static_assert(VICTIM_SHARE[QUEEN] + attackerShare(KNIGHT) == captureKey(QUEEN, KNIGHT) * KEY_UNIT);

// A pawn move onto the last row is four promotions, knight to queen.
RankedMove* rankPromotions(const Board& board, RankedMove* out, int from, int to, std::uint8_t flags) {
    const int capture = (flags & CAPTURE) != 0 ? captureKey(board.pieceAt(to), PAWN) : 0;
    for (const int piece : {KNIGHT, BISHOP, ROOK, QUEEN})
        *out++ = rankMove(makeMove(from, to, flags | PROMOTION, piece), capture + PIECE_VALUE[piece] + PROMOTION_BONUS);
    return out;
}

// The share of a move's from-square (unit FROM_UNIT) or to-square (TO_UNIT)
// in its ranked number, by the square's bit: looked up in the loops that
// rank moves, which have the bit at hand.
template <RankedMove unit>
constexpr auto SQUARE_SHARE = [] {
    std::array<RankedMove, 64> shares{};
    for (int bit = 0; bit < 64; ++bit) shares[bit] = (RANKED_SQUARE_LIMIT - eval::squareOfBit(bit)) * unit;
    return shares;
}();
static_assert(SQUARE_SHARE<FROM_UNIT>[9] + SQUARE_SHARE<TO_UNIT>[0] + CAPTURE == rankMove(makeMove(17, 0, CAPTURE), 0));

// The pawns that capture towards the file step land on the targets.
template <int fileStep>
[[gnu::always_inline]] inline RankedMove* rankPawnCaptures(const Board& board, RankedMove* out, eval::SquareSet targets,
                                                           int us) {
    constexpr RankedMove SHARE = attackerShare(PAWN) + (PAWNMOVE | CAPTURE);
    const int backwards = (us == WHITE ? ROW_BITS : -ROW_BITS) - fileStep;
    for (eval::SquareSet left = targets; left != 0; left &= left - 1) {
        const int bit = std::countr_zero(left);
        *out++ = VICTIM_SHARE[board.pieceAt(eval::squareOfBit(bit))] + SHARE +
                 SQUARE_SHARE<FROM_UNIT>[bit + backwards] + SQUARE_SHARE<TO_UNIT>[bit];
    }
    return out;
}

// The pieces come by their squares' bits, an order that ranking makes
// irrelevant. A slider none of whose lines holds an enemy piece captures
// nothing, whatever blocks them.
template <int type>
[[gnu::always_inline]] inline RankedMove* rankPieceCaptures(const Board& board, RankedMove* out, eval::SquareSet pieces,
                                                            eval::SquareSet all, eval::SquareSet enemy) {
    for (eval::SquareSet left = pieces; left != 0; left &= left - 1) {
        const int bit = std::countr_zero(left);
        if constexpr (isSlider(type))
            if ((LINES<type>[bit] & enemy) == 0) continue;
        const eval::SquareSet reach = pieceReach<type>(bit, all);
        const RankedMove share = attackerShare(type) + SQUARE_SHARE<FROM_UNIT>[bit] + CAPTURE;
        for (eval::SquareSet targets = reach & enemy; targets != 0; targets &= targets - 1) {
            const int to = std::countr_zero(targets);
            *out++ = VICTIM_SHARE[board.pieceAt(eval::squareOfBit(to))] + share + SQUARE_SHARE<TO_UNIT>[to];
        }
    }
    return out;
}

// Writes at out the captures and promotions of the side to move, ranked,
// straight from the squares its pieces reach: the same moves the generator
// offers, in another order, which ranking makes irrelevant. Answers the end
// of what it wrote.
[[gnu::always_inline]] inline RankedMove* rankCaptures(const Board& board, RankedMove* out) {
    const int us = board.getTurn();
    const int them = us ^ 1;
    const PieceSets& sets = board.pieceSets();
    const eval::SquareSet enemy = sets.all[them];
    const eval::SquareSet all = sets.occupied();

    // Pawns capture towards either file; those a step from the last row
    // promote, by capturing or by a step onto an empty square.
    const eval::SquareSet pawns = sets.byType[us][PAWN];
    const eval::SquareSet promoting = pawns & rowSet(us == WHITE ? 1 : 6);
    const eval::SquareSet capturing = pawns & ~promoting;
    out = rankPawnCaptures<-1>(board, out, pawnStep(capturing & ~FILE_A, us, -1) & enemy, us);
    out = rankPawnCaptures<1>(board, out, pawnStep(capturing & ~FILE_H, us, 1) & enemy, us);
    const int forward = pawnForward(us);
    for (eval::SquareSet left = promoting; left != 0; left &= left - 1) {
        const int from = eval::squareOfBit(std::countr_zero(left));
        const int file = fileOf(from);
        if (file != 0 && board.colorAt(from + forward - 1) == them)
            out = rankPromotions(board, out, from, from + forward - 1, PAWNMOVE | CAPTURE);
        if (file != 7 && board.colorAt(from + forward + 1) == them)
            out = rankPromotions(board, out, from, from + forward + 1, PAWNMOVE | CAPTURE);
        if (board.colorAt(from + forward) == EMPTY) out = rankPromotions(board, out, from, from + forward, PAWNMOVE);
    }

    out = rankPieceCaptures<KNIGHT>(board, out, sets.byType[us][KNIGHT], all, enemy);
    out = rankPieceCaptures<BISHOP>(board, out, sets.byType[us][BISHOP], all, enemy);
    out = rankPieceCaptures<ROOK>(board, out, sets.byType[us][ROOK], all, enemy);
    out = rankPieceCaptures<QUEEN>(board, out, sets.byType[us][QUEEN], all, enemy);
    out = rankPieceCaptures<KING>(board, out, sets.byType[us][KING], all, enemy);

    Move enPassant[Board::MAX_EN_PASSANT_CAPTURES];
    const Move* const enPassantEnd = board.addEnPassantCaptures(enPassant);
    for (const Move* capture = enPassant; capture != enPassantEnd; ++capture)
        *out++ = rankMove(*capture, EN_PASSANT_KEY);
    return out;
}

}  // namespace

PickerBuffers::PickerBuffers() : ranked(MoveList::CAPACITY), quiets(MoveList::CAPACITY) {}

CapturePicker::CapturePicker(const Board& board, PickerBuffers& buffers)
    : next(buffers.ranked.data()), end(rankCaptures(board, next)) {
    assert(!board.isDraw());
}

Move MovePicker::getNextMove() {
    switch (stage) {
        case HASH_MOVE:
            stage = GENERATE;
            if (hashMove != NOMOVE && board.moveIsPseudo(hashMove)) return hashMove;
            [[fallthrough]];
        case GENERATE:
            stage = PICK_CAPTURES;
            generateMoves();
            [[fallthrough]];
        case PICK_CAPTURES:
            // Capture lists are short: each move is selected.
            if (next < count) {
                selectNext(ranked + next, ranked + count);
                return rankedMove(ranked[next++]);
            }
            stage = PICK_QUIETS;
            rankPendingQuiets();
            [[fallthrough]];
        case PICK_QUIETS:
            if (nextQuiet >= quietCount) {
                stage = EXHAUSTED;
                return NOMOVE;
            }
            // The first quiet moves are selected one by one, so that a node
            // that cuts off early never pays for ordering the moves it does
            // not reach; a node that goes on sorts the rest once. Ranked
            // moves are all different, so either way gives the same order.
            if (nextQuiet < SELECTED_MOVES)
                selectNext(quiets + nextQuiet, quiets + quietCount);
            else if (nextQuiet == SELECTED_MOVES)
                sortMoves(quiets + nextQuiet, quiets + quietCount);
            return rankedMove(quiets[nextQuiet++]);
        case EXHAUSTED: break;
    }
    return NOMOVE;
}

// Out of line, so that handing out a move from the list saves no more
// registers than the selection needs.
[[gnu::noinline]] void MovePicker::generateMoves() {
    // Only the root is played on in a position drawn by rule; elsewhere the
    // search has returned the draw before it asks for moves.
    assert(scope == PickerScope::ROOT || !board.isDraw());
    RankedMove* end = rankCaptures(board, ranked);
    // Only a capture or promotion can be the hash move here.
    if (!hashMove.isQuiet()) end = withoutHashMove(ranked, end);
    count = static_cast<std::size_t>(end - ranked);
    const int us = board.getTurn();
    const PieceSets& sets = board.pieceSets();
    std::copy(std::begin(sets.byType[us]), std::end(sets.byType[us]), sources.own);
    sources.all = sets.occupied();
    sources.color = static_cast<std::uint8_t>(us);
    sources.castlingCount = static_cast<std::uint8_t>(board.addCastlingMoves(sources.castling) - sources.castling);
    quietsPending = true;
}

[[gnu::noinline]] void MovePicker::sortMoves(RankedMove* first, RankedMove* end) {
    std::sort(first, end, std::greater<>());
}

namespace {

// The quiet moves that do not rank by their history values: the hash move,
// handed out before the others, and the killers, which take their bonuses;
// each as the low half of its ranked number. Only moves onto the squares
// they go to are compared with them.
struct QuietExceptions {
    eval::SquareSet targets;
    std::uint32_t hashMove;
    std::uint32_t killer1;
    std::uint32_t killer2;

    QuietExceptions(const Move& hash, const Move& first, const Move& second)
        : targets(eval::bitOf(hash.to) | eval::bitOf(first.to) | eval::bitOf(second.to)),
          hashMove(rankedBits(rankMove(hash, 0))),
          killer1(rankedBits(rankMove(first, 0))),
          killer2(rankedBits(rankMove(second, 0))) {}

    // Writes the move at out unless it is the hash move, with a killer's
    // bonus or its history value as key; the end of what was written.
    [[nodiscard]] RankedMove* add(RankedMove* out, RankedMove unkeyed, int historyValue) const {
        const std::uint32_t bits = rankedBits(unkeyed);
        if (bits == hashMove) return out;
        const int key = bits == killer1 ? KILLER1_BONUS : bits == killer2 ? KILLER2_BONUS : historyValue;
        *out++ = key * KEY_UNIT + unkeyed;
        return out;
    }
};

// Writes at out the quiet moves onto the targets, ranked by the history
// values of their to-squares, unkeyed giving the rest of each one's number
// from the to-square's bit.
template <typename Unkeyed>
[[gnu::always_inline]] inline RankedMove* rankQuietTargets(RankedMove* out, eval::SquareSet targets, const int* scores,
                                                           const QuietExceptions& exceptions, Unkeyed unkeyed) {
    for (eval::SquareSet left = targets & ~exceptions.targets; left != 0; left &= left - 1) {
        const int to = std::countr_zero(left);
        *out++ = scores[eval::squareOfBit(to)] * KEY_UNIT + unkeyed(to);
    }
    for (eval::SquareSet left = targets & exceptions.targets; left != 0; left &= left - 1) {
        const int to = std::countr_zero(left);
        out = exceptions.add(out, unkeyed(to), scores[eval::squareOfBit(to)]);
    }
    return out;
}

template <int type>
[[gnu::always_inline]] inline RankedMove* rankPieceQuiets(RankedMove* out, eval::SquareSet pieces, eval::SquareSet all,
                                                          const int* scores, const QuietExceptions& exceptions) {
    for (eval::SquareSet left = pieces; left != 0; left &= left - 1) {
        const int bit = std::countr_zero(left);
        const RankedMove fromShare = SQUARE_SHARE<FROM_UNIT>[bit];
        out = rankQuietTargets(out, pieceReach<type>(bit, all) & ~all, scores, exceptions,
                               [fromShare](int to) { return fromShare + SQUARE_SHARE<TO_UNIT>[to]; });
    }
    return out;
}

}  // namespace

[[gnu::noinline]] void MovePicker::rankQuiets() {
    const int us = sources.color;
    const eval::SquareSet* const own = sources.own;
    const eval::SquareSet all = sources.all;
    const HistoryTable::ScoresByPiece& scores = history.scoresOf(us);
    const QuietExceptions exceptions(hashMove, killer1, killer2);
    RankedMove* out = quiets;

    // Pawns short of the last row but one step onto an empty square, and
    // from their first row two.
    const eval::SquareSet pawns = own[PAWN] & ~rowSet(us == WHITE ? 1 : 6);
    const eval::SquareSet steps = pawnStep(pawns, us, 0) & ~all;
    const eval::SquareSet doubleSteps = pawnStep(steps & rowSet(us == WHITE ? 5 : 2), us, 0) & ~all;
    // The bit a step back from a bit, for the side's pawns.
    const int backwards = us == WHITE ? ROW_BITS : -ROW_BITS;
    out = rankQuietTargets(out, steps, scores[PAWN], exceptions, [backwards](int to) {
        return SQUARE_SHARE<FROM_UNIT>[to + backwards] + SQUARE_SHARE<TO_UNIT>[to] + PAWNMOVE;
    });
    out = rankQuietTargets(out, doubleSteps, scores[PAWN], exceptions, [backwards](int to) {
        return SQUARE_SHARE<FROM_UNIT>[to + 2 * backwards] + SQUARE_SHARE<TO_UNIT>[to] + (PAWNMOVE | DOUBLEPUSH);
    });

    out = rankPieceQuiets<KNIGHT>(out, own[KNIGHT], all, scores[KNIGHT], exceptions);
    out = rankPieceQuiets<BISHOP>(out, own[BISHOP], all, scores[BISHOP], exceptions);
    out = rankPieceQuiets<ROOK>(out, own[ROOK], all, scores[ROOK], exceptions);
    out = rankPieceQuiets<QUEEN>(out, own[QUEEN], all, scores[QUEEN], exceptions);
    out = rankPieceQuiets<KING>(out, own[KING], all, scores[KING], exceptions);

    for (int i = 0; i < sources.castlingCount; ++i)
        out = exceptions.add(out, rankMove(sources.castling[i], 0), scores[KING][sources.castling[i].to]);
    quietCount = static_cast<std::size_t>(out - quiets);
    quietsPending = false;
}

// The order of the ranked moves is irrelevant: the last takes the hash
// move's place.
RankedMove* MovePicker::withoutHashMove(RankedMove* first, RankedMove* end) const {
    const std::uint32_t hashBits = rankedBits(rankMove(hashMove, 0));
    for (RankedMove* move = first; move != end; ++move)
        if (rankedBits(*move) == hashBits) {
            *move = *--end;
            break;
        }
    return end;
}

void MovePicker::penalizeHist(const Move& best, int depth) {
    const int penalty = -depth * depth;
    // Skipped quiet moves count as handed out, in the order the picker would
    // have handed them out.
    assert(!quietsPending);
    if (quietsSkipped) {
        sortMoves(quiets + nextQuiet, quiets + quietCount);
        nextQuiet = quietCount;
    }
    // A hash move whose from-square is empty belongs to another position that
    // shares the key; it has no history slot here.
    if (hashMove != NOMOVE && hashMove != best && hashMove.isQuiet() && board.pieceAt(hashMove.from) != EMPTY)
        history.addScore(hashMove, penalty);
    for (std::size_t i = 0; i < nextQuiet; ++i) {
        const Move move = rankedMove(quiets[i]);
        if (move != best) history.addScore(move, penalty);
    }
}

#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>

#include "board/castling.h"
#include "board/piece_square.h"
#include "board/square_set.h"
#include "board/zobrist.h"
#include "core/types.h"

// The squares of the pieces of one colour and type, in list order. The order
// decides the order of move generation, so every change is defined exactly;
// the board makes every change (Board::listInsert, listErase, listReplace).
struct PieceList {
    static constexpr int CAPACITY = 16;
    int squares[CAPACITY];
    int count = 0;

    PieceList();
};

// What a move changes of the position besides its pieces, kept as one block
// that an undo record saves as it is and undoMove copies back.
struct SavedState {
    Zobrist zobrist;
    // Out of check, the pieces pinned to the king of the side to move and
    // the king itself, whose moves may expose it. In check, the squares that
    // a move other than the king's must reach: the checker's and those
    // between it and the king; none in double check. Known with checkState.
    SquareSet guard = 0;
    // The sums of each colour's piece values and phase weights
    // (Board::pieceValueSum, Board::phaseSum).
    int pieceValueSums[2] = {};
    int fiftyCount = 0;
    std::int8_t castling = 0;
    std::int8_t epSquare = NO_SQUARE;
    // 1 in check, 0 not, -1 (CHECK_UNKNOWN) until worked out.
    std::int8_t checkState = -1;
};
static_assert(sizeof(SavedState) == 32);

// One undo record, pushed by every successful executeMove: the state before
// the move, the move and the piece it captured on its to square (EMPTY for
// none, and for an en passant capture).
struct UndoRecord {
    SavedState saved;
    Move move;
    std::int8_t captured;
};

// The undo records of the moves played, last on top. The records live in one
// block that grows by doubling and never shrinks. A push does not look for
// room: the board makes room before it may push, when it works out the
// threats to the king of a new position (Board::findKingThreats), so that
// allocation stays out of the hot path. A copy gets room for as many records
// as the original.
class UndoStack {
public:
    UndoStack() = default;
    UndoStack(const UndoStack& other) { *this = other; }
    UndoStack(UndoStack&& other) noexcept { *this = std::move(other); }
    UndoStack& operator=(const UndoStack& other);
    UndoStack& operator=(UndoStack&& other) noexcept {
        records = std::move(other.records);
        top = std::exchange(other.top, nullptr);
        end = std::exchange(other.end, nullptr);
        return *this;
    }
    ~UndoStack() = default;

    // The new top record, for the caller to fill; the stack is not full.
    [[nodiscard]] UndoRecord& push() {
        assert(!full());
        return *top++;
    }
    void pop() {
        assert(top != records.get());
        --top;
    }
    [[nodiscard]] const UndoRecord& back() const {
        assert(top != records.get());
        return top[-1];
    }
    // The record depth records below the top: 0 is the top.
    [[nodiscard]] const UndoRecord& fromTop(std::size_t depth) const {
        assert(depth < size());
        return top[-1 - static_cast<std::ptrdiff_t>(depth)];
    }
    [[nodiscard]] std::size_t size() const { return static_cast<std::size_t>(top - records.get()); }
    [[nodiscard]] bool empty() const { return top == records.get(); }
    [[nodiscard]] bool full() const { return top == end; }
    // Empties the stack, with room for INITIAL_ROOM records at least.
    void clear() {
        top = records.get();
        if (top == end) grow();
    }
    // Room for twice as many records, INITIAL_ROOM at first.
    void grow();

private:
    static constexpr std::size_t INITIAL_ROOM = 256;
    std::unique_ptr<UndoRecord[]> records;
    UndoRecord* top = nullptr;
    UndoRecord* end = nullptr;
};

// The steps of each piece type on the 0x88 board (16 squares to a rank) and
// how many it has; pawns move by rules of their own.
// clang-format off
constexpr int PIECE_STEP_COUNT[6] = {0, 8, 4, 4, 8, 8};
constexpr int PIECE_STEPS[6][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0},
    {2 * NORTH + WEST, 2 * NORTH + EAST, NORTH + 2 * WEST, NORTH + 2 * EAST,
     SOUTH + 2 * WEST, SOUTH + 2 * EAST, 2 * SOUTH + WEST, 2 * SOUTH + EAST},
    {SOUTH_WEST, SOUTH_EAST, NORTH_WEST, NORTH_EAST, 0, 0, 0, 0},
    {SOUTH, WEST, EAST, NORTH, 0, 0, 0, 0},
    {SOUTH_WEST, SOUTH, SOUTH_EAST, WEST, EAST, NORTH_WEST, NORTH, NORTH_EAST},
    {SOUTH_WEST, SOUTH, SOUTH_EAST, WEST, EAST, NORTH_WEST, NORTH, NORTH_EAST},
};
// clang-format on

// The unit step from one square towards another on the same rank, file or
// diagonal, indexed by other - square + SQUARE_DIFFERENCE_BIAS; 0 when they
// share none.
constexpr auto LINE_STEP = [] {
    std::array<std::int8_t, SQUARE_DIFFERENCES> line{};
    for (const int step : PIECE_STEPS[QUEEN])
        for (int distance = 1; distance < 8; ++distance)
            line[SQUARE_DIFFERENCE_BIAS + step * distance] = static_cast<std::int8_t>(step);
    return line;
}();

// Bishops, rooks and queens repeat their steps until blocked.
[[nodiscard]] constexpr bool isSlider(int type) { return type == BISHOP || type == ROOK || type == QUEEN; }

// The squares of each colour's pieces, one bit per square (row * 8 + file),
// all of them and by type. The board changes them with every square it
// changes, so that counting, ranking and evaluating read them at once.
struct PieceSets {
    SquareSet all[2] = {};
    SquareSet byType[2][6] = {};

    // Adds the piece on each square of the set where absent, removes it
    // where present.
    void toggle(int color, int type, SquareSet squares) {
        all[color] ^= squares;
        byType[color][type] ^= squares;
    }
    // The squares of both colours' pieces.
    [[nodiscard]] SquareSet occupied() const { return all[WHITE] | all[BLACK]; }
};

// The legal moves of a position, with the castling moves and en passant
// captures among them.
struct MoveCounts {
    int moves = 0;
    int castles = 0;
    int passants = 0;
};

constexpr const char* START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

class Board {
public:
    // The start position.
    Board();
    // The position of a FEN; std::invalid_argument when setFen refuses it.
    explicit Board(const std::string& fen);

    // Sets the position of a FEN (four to six fields). The FEN is parsed once
    // and checked completely; when this board can hold and play from it, the
    // pieces, side to move, castling rights, en passant square, fifty-move
    // count and key are set and the undo stack is emptied, and the answer is
    // empty. Otherwise the board is left as it was and the answer is the
    // reason.
    [[nodiscard]] std::string setFen(const std::string& fen);

    [[nodiscard]] int colorAt(int square) const { return colorBoard[square]; }
    [[nodiscard]] int pieceAt(int square) const { return pieceBoard[square]; }
    [[nodiscard]] int getTurn() const { return turn; }
    [[nodiscard]] int getCastling() const { return state.castling; }
    [[nodiscard]] int getEpSquare() const { return state.epSquare; }
    [[nodiscard]] int getFiftyCount() const { return state.fiftyCount; }
    [[nodiscard]] std::int64_t getZobristKey() const { return state.zobrist.getHash(); }
    [[nodiscard]] const PieceList& pieces(int color, int type) const { return pieceList[pieceCode(color, type)]; }
    [[nodiscard]] int kingSquare(int color) const { return pieceList[pieceCode(color, KING)].squares[0]; }
    // The key composed from scratch; equals getZobristKey() between moves.
    [[nodiscard]] std::int64_t computeKey() const;

    // Whether a piece of byColor attacks the on-board square.
    [[nodiscard]] bool attack(int square, int byColor) const;
    [[nodiscard]] bool inCheck(int color) const { return attack(kingSquare(color), color ^ 1); }

    // Appends the pseudo-legal moves of the side to move to out, in the
    // fixed generation order; nothing in a position drawn by rule.
    void gen(MoveList& out) const;
    // The same moves even in a position drawn by rule, where play goes on
    // until a player claims the draw.
    void genIgnoringDraw(MoveList& out) const;
    // Writes the en passant captures of the side to move at the cursor (at
    // most MAX_EN_PASSANT_CAPTURES), in generation order; the cursor after them.
    // Most positions have no en passant square and answer without a call.
    Move* addEnPassantCaptures(Move* cursor) const {
        return state.epSquare == NO_SQUARE ? cursor : addEnPassantCapturesOnto(state.epSquare, cursor);
    }
    static constexpr int MAX_EN_PASSANT_CAPTURES = 2;
    // Writes the castling moves of the side to move whose right stands and
    // whose path is empty at the cursor (at most MAX_CASTLING_MOVES), in
    // generation order; the cursor after them. Most positions have no
    // castling right left for the side to move and answer without a call.
    Move* addCastlingMoves(Move* cursor) const {
        return (state.castling & CASTLING_RIGHTS_OF[turn]) == 0 ? cursor : addStandingCastlingMoves(cursor);
    }
    static constexpr int MAX_CASTLING_MOVES = 2;
    // The captures and promotions among those moves, in the same order.
    void genCaptures(MoveList& out) const;
    [[nodiscard]] MoveList getAllMoves() const;
    // Counts the legal moves of the side to move without making them; none
    // in a position drawn by rule. The piece lists end as making and taking
    // back every generated move would leave them: each captured piece, and
    // each pawn with a legal promotion, moves to the end of its list.
    [[nodiscard]] MoveCounts countLegalMoves();
    // The squares of each colour's pieces, kept by every change of a square.
    [[nodiscard]] const PieceSets& pieceSets() const { return sets; }
    // The sum of the material and piece-square values of the colour's pieces
    // but its king's square value, and the sum of their phase weights
    // (board/piece_square.h).
    [[nodiscard]] int pieceValueSum(int color) const { return state.pieceValueSums[color] & PIECE_VALUE_MASK; }
    [[nodiscard]] int phaseSum(int color) const { return state.pieceValueSums[color] >> PIECE_PHASE_SHIFT; }
    // The first legal move in generation order by the rules of play, even in
    // a position drawn by rule (such a draw is claimed, so play may go on);
    // NOMOVE when the side to move has none. Testing a capture moves the
    // captured piece to the end of its list.
    [[nodiscard]] Move firstLegalMove();

    // Plays a pseudo-legal move; false, with nothing changed, when it would
    // leave the mover's king attacked. NULLMOVE passes the turn.
    bool executeMove(const Move& move);
    void undoMove();

    // Drawn by the fifty-move rule or by a third occurrence of the position.
    // A position recurs at the earliest four plies later, both sides having
    // moved away and back (the search never passes twice in a row), so a
    // third occurrence needs earlier ones four and eight plies back; the scan
    // of the positions since the last capture or pawn move reaches the one
    // eight plies back only from THREEFOLD_MIN_PLIES such plies on.
    [[nodiscard]] bool isDraw() const {
        return state.fiftyCount > 99 || (state.fiftyCount >= THREEFOLD_MIN_PLIES && repetitionCountReaches(3));
    }
    static constexpr int THREEFOLD_MIN_PLIES = 7;
    // True when the side to move has no legal move (mate, stalemate or a
    // position drawn by rule).
    [[nodiscard]] bool isGameOver();
    // In check without a legal move. Checkmate takes precedence over the
    // fifty-move rule, so it stands where isDraw() holds too.
    [[nodiscard]] bool isCheckmate() { return sideToMoveInCheck() && firstLegalMove() == NOMOVE; }
    // Whether the side to move is in check, worked out once per position.
    [[nodiscard]] bool sideToMoveInCheck();

    [[nodiscard]] bool moveIsPseudo(const Move& move) const;
    // Leaves the board as it was, except that a tested capture moves the
    // captured piece to the end of its list.
    [[nodiscard]] bool pseudoIsLegal(const Move& move);
    [[nodiscard]] bool moveIsLegal(const Move& move);
    // Coordinate text to a move with the generator's flags; the caller checks
    // the move (moveIsPseudo). NOMOVE unless the text has four or five
    // characters and the first four name two squares; a fifth character
    // other than n, b, r or q names no promotion.
    [[nodiscard]] Move strToMove(const std::string& text) const;
    // Writes which quiet moves a lone piece of the given type could make on an
    // otherwise empty board, indexed by from - to + SQUARE_DIFFERENCE_BIAS: a developer's check of
    // the step tables.
    static void genAttackTable(int piece, std::ostream& out);

    // The Unicode diagram with castling rights, fifty-move counter, side to
    // move and key.
    void print(std::ostream& out) const;
    // The position as FEN. The board keeps no move number, so the last field
    // is always 1.
    [[nodiscard]] std::string toFen() const;

private:
    enum class GenerationScope { ALL_MOVES, CAPTURES_AND_PROMOTIONS };
    template <GenerationScope scope>
    void generate(MoveList& out) const;
    // Whether a piece of byColor attacks the square, the occupied squares
    // being those given.
    [[nodiscard]] bool attackedThrough(int square, int byColor, SquareSet occupied) const;
    template <int type, GenerationScope scope>
    [[nodiscard]] Move* generatePieceMoves(Move* cursor) const;
    // executeMove but for the common move.
    [[nodiscard, gnu::noinline]] bool executeOtherMove(const Move& move);
    // Plays a legal move other than the null move, a castling, a promotion
    // or an en passant capture; true. Its two cases are out of line, so that
    // executeMove reaches them, and every other case, through a tail call.
    [[gnu::always_inline]] inline bool playPlainMove(const Move& move);
    // The same for a quiet move or a capture: the move's CAPTURE flag tells
    // them apart, as a pseudo-legal move's flag matches its to square.
    template <bool capture>
    [[gnu::noinline]] bool playPieceMove(const Move& move);
    // Plays a legal castling, promotion or en passant capture.
    void playSpecialMove(const Move& move);
    // Pushes the undo record of a legal move that captures the piece given
    // on its to square and changes all but the pieces: the side to move,
    // the en passant square, the fifty-move count and the castling rights.
    // Answers the new key without the terms of the pieces that move. A plain
    // capture (CAPTURE without ENPASSANT) is no double step and resets the
    // fifty-move count, whatever its other flags.
    enum class MoveKind { PLAIN_QUIET, PLAIN_CAPTURE, SPECIAL };
    template <MoveKind kind>
    [[nodiscard, gnu::always_inline]] inline std::int64_t passStateOn(const Move& move, int captured);
    // executeMove's null move, once found legal.
    void passTurn(const Move& move);
    // The pieces of a castling, promotion or en passant capture move, the
    // turn already passed; returns the change of the key.
    [[nodiscard]] std::int64_t placeSpecialMove(const Move& move);
    // Takes those pieces back, the turn already restored; the captured piece
    // of a promotion is the caller's to put back.
    void takeBackSpecialMove(const Move& move);
    // undoMove of the null move and of castling, promotions and en passant
    // captures; of the other quiet moves and captures, out of line so that
    // undoMove reaches them through a tail call.
    void undoOtherMove();
    template <bool capture>
    [[gnu::noinline]] void undoPieceMove();
    [[nodiscard]] bool repetitionCountReaches(int count) const;
    // Whether the position of the undo record is the current one. The key
    // of a position after a double step holds its en passant square even
    // where no pawn can capture there; by the rules such a position is the
    // same as one without the square.
    [[nodiscard]] bool repeats(const UndoRecord& earlier) const;
    // Whether the side to move has a legal en passant capture onto the
    // square, as if the square were the position's en passant square.
    [[nodiscard]] bool hasEnPassantCaptureOnto(int square) const;
    // Writes the side to move's pawn captures onto the square as an en
    // passant square at the cursor; the cursor after them.
    Move* addEnPassantCapturesOnto(int square, Move* cursor) const;
    // addCastlingMoves where the side to move has a castling right.
    Move* addStandingCastlingMoves(Move* cursor) const;
    // Whether the king of the side to move is safe after the move, which
    // is no castling; worked out on the square sets alone. Inlined into its
    // two callers.
    [[nodiscard, gnu::always_inline]] inline bool kingSafeAfter(const Move& move) const;
    [[nodiscard]] bool castlingPathIsEmpty(const CastlingRight& right) const;
    // pseudoIsLegal, answered from the threats to the king (findKingThreats)
    // without playing the move, but for castling, en passant captures and
    // moves in check that take the checker or step between it and the king.
    [[nodiscard]] bool keepsKingSafe(const Move& move);
    // Whether the king of the side to move may step to the square.
    [[nodiscard]] bool kingStepIsSafe(int to) const;
    // Works out state.checkState and state.guard.
    void findKingThreats();

    // The three ways pieces change squares once place() has emptied the
    // board: the squares, the piece lists, the square sets and the sums of
    // piece values change together. The key is the caller's to update.
    void addPiece(int square, int type, int color) {
        colorBoard[square] = color;
        pieceBoard[square] = type;
        listInsert(pieceCode(color, type), square);
        sets.toggle(color, type, bitOf(square));
        state.pieceValueSums[color] += PIECE_VALUE_BY_SQUARE[pieceCode(color, type)][square];
    }
    void removePiece(int square, int type, int color) {
        listErase(pieceCode(color, type), square);
        colorBoard[square] = EMPTY;
        pieceBoard[square] = EMPTY;
        sets.toggle(color, type, bitOf(square));
        state.pieceValueSums[color] -= PIECE_VALUE_BY_SQUARE[pieceCode(color, type)][square];
    }
    void shiftPiece(int from, int to, int type, int color) {
        colorBoard[to] = color;
        pieceBoard[to] = type;
        colorBoard[from] = EMPTY;
        pieceBoard[from] = EMPTY;
        listReplace(from, to);
        sets.toggle(color, type, bitOf(from) | bitOf(to));
        state.pieceValueSums[color] +=
            PIECE_VALUE_BY_SQUARE[pieceCode(color, type)][to] - PIECE_VALUE_BY_SQUARE[pieceCode(color, type)][from];
    }
    // countLegalMoves's work, and the same built for processors with a
    // population-count instruction.
    [[nodiscard, gnu::always_inline]] inline MoveCounts count();
    [[nodiscard]] MoveCounts countWithPopulationCount();
    // What counting needs to know of the position. Both copies of the
    // counter, the only callers of these, have them inlined.
    struct CountingFacts;
    [[nodiscard, gnu::always_inline]] inline CountingFacts countingFacts() const;
    template <int type>
    [[nodiscard, gnu::always_inline]] inline int countPieceMoves(const CountingFacts& facts);
    [[nodiscard, gnu::always_inline]] inline int countPawnMoves(const CountingFacts& facts);
    [[nodiscard, gnu::always_inline]] inline int countKingMoves(const CountingFacts& facts);
    [[nodiscard]] int countCastlings(const CountingFacts& facts);

    // The piece-list changes. listEntry finds a square in its list at once.
    // The square's entry in its list, by its offset from the first list.
    [[nodiscard]] int& listEntryAt(unsigned offset) {
        return *reinterpret_cast<int*>(reinterpret_cast<char*>(pieceList) + offset);
    }
    [[nodiscard]] std::uint16_t listEntryOffset(const int* entry) const {
        return static_cast<std::uint16_t>(reinterpret_cast<const char*>(entry) -
                                          reinterpret_cast<const char*>(pieceList));
    }
    // Appends the square at the end of its list (by pieceCode).
    void listInsert(int code, int square) {
        PieceList& list = pieceList[code];
        int* const entry = &list.squares[list.count++];
        *entry = square;
        listEntry[square] = listEntryOffset(entry);
    }
    // Moves the list's last square into the hole left by the erased one.
    void listErase(int code, int square) {
        PieceList& list = pieceList[code];
        const unsigned hole = listEntry[square];
        assert(listEntryAt(hole) == square);
        int* const lastEntry = &list.squares[--list.count];
        const int last = *lastEntry;
        listEntryAt(hole) = last;
        listEntry[last] = static_cast<std::uint16_t>(hole);
        *lastEntry = NO_SQUARE;
    }
    // Moves a square to the end of its list, as erasing and inserting it
    // again does; the piece stays on its square.
    void listSendToEnd(int square) {
        const int color = colorBoard[square];
        const int type = pieceBoard[square];
        const int code = pieceCode(color, type);
        const PieceList& list = pieceList[code];
        if (listEntry[square] == listEntryOffset(&list.squares[list.count - 1])) return;
        listErase(code, square);
        listInsert(code, square);
    }
    // Replaces a square in place.
    void listReplace(int from, int to) {
        const unsigned entry = listEntry[from];
        assert(listEntryAt(entry) == from);
        listEntryAt(entry) = to;
        listEntry[to] = static_cast<std::uint16_t>(entry);
    }

    // A board whose members place() sets; only setFen builds one.
    struct Blank {};
    explicit Board(Blank) {}
    // Sets every member from a checked FEN: pieces as the placement lists
    // them (rank 8 first, 'P' white, 'p' black, '.' empty).
    void place(const char (&squares)[8][8], int sideToMove, int rights, int enPassant, int fifty);

    // By pieceCode.
    PieceList pieceList[PIECE_CODES];
    // For every occupied square, where its entry in its piece list is: the
    // entry's offset in bytes from the start of pieceList.
    std::uint16_t listEntry[128] = {};
    int colorBoard[128];
    int pieceBoard[128];
    PieceSets sets;
    SavedState state;
    UndoStack undoStack;
    int turn = WHITE;
    // state.checkState until findKingThreats works it out for the position.
    static constexpr std::int8_t CHECK_UNKNOWN = -1;
};

// Four or five characters: file a-h, rank 1-8, file a-h, rank 1-8 and an
// optional promotion letter n, b, r or q. Stricter than strToMove, which
// passes over any fifth character.
[[nodiscard]] bool isMoveText(const std::string& text);

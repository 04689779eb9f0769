#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <limits>
#include <vector>

#include "board/board.h"
#include "core/types.h"
#include "eval/evaluator.h"
#include "search/history.h"
#include "search/killers.h"
#include "search/move_picker.h"
#include "search/transposition.h"

// The deepest iteration any search runs.
inline constexpr int MAX_SEARCH_DEPTH = 64;

// What a search may spend; it ends at the first limit reached. Iterations up
// to depth; a time limit in milliseconds when moveTime is positive; a node
// count; and, when mate is positive, the first report of a mate in at most
// that many moves. With rootMoves given, the root searches only those.
struct SearchLimits {
    int depth = MAX_SEARCH_DEPTH;
    int moveTime = 0;
    std::int64_t nodes = std::numeric_limits<std::int64_t>::max();
    int mate = 0;
    std::vector<Move> rootMoves;

    // Iterations up to depth and nothing else.
    [[nodiscard]] static SearchLimits toDepth(int depth) {
        SearchLimits limits;
        limits.depth = depth;
        return limits;
    }
};

// Principal variation search with quiescence under iterative deepening. The
// search is deterministic: from a given position, depth and table contents it
// visits the same nodes in the same order every time.
class Search {
public:
    // Info lines and the diagnostics report go to out.
    explicit Search(Board& board, std::ostream& out = std::cout);
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    // Searches depth 1, 2, ... for color, the side to move, within the
    // limits. The caller clears stop first; the search sets it when it ends.
    void iterativeDeepening(int color, const SearchLimits& limits);
    // Gives a search started without a time limit one, counted from now, as
    // "ponderhit" does. Safe from another thread while the search runs; a
    // caller that may call it after the search ended calls clearClock
    // before the next search.
    void startClock(int moveTime);
    void clearClock() { deadline.store(NO_DEADLINE); }

    // Negamax score of the board for color, the side to move, searched depth
    // plies deep at distance ply from the root, within the window alpha..beta.
    int pvs(int depth, int ply, int alpha, int beta, int color, bool allowNull);
    // Score of the board for color once captures and promotions have settled.
    int quiesce(int ply, int alpha, int beta, int color);

    // Prints the per-ply statistics, the table counters and the ordinals of
    // best moves, and resets what it printed.
    void diagnostics();
    // Empties the transposition table.
    void clear();
    // Maps the transposition table's memory in, so that the next search
    // does not wait for it page by page.
    void mapInTable() { tt.mapIn(); }

    [[nodiscard]] std::int64_t getNodes() const { return nodes; }
    // The bytes of the search's two large tables, the transposition table
    // and the evaluation cache, allocated when it is built.
    [[nodiscard]] static constexpr std::size_t tableBytes() {
        return TTable::TT_SIZE * sizeof(TTEntry) + EVAL_CACHE_ENTRIES * sizeof(EvalCacheEntry);
    }

    // The first move of the last reported principal variation, and the
    // expected reply to it; NOMOVE when there is none.
    Move bestMove = NOMOVE;
    Move ponderMove = NOMOVE;
    std::atomic<bool> stop{false};

private:
    using Clock = std::chrono::steady_clock;
    static constexpr int BEST_MOVE_ORDINALS = 30;

    // Records the root's new best line and writes its info line.
    void showPv(int score);
    // Whether the root may play the move: every move unless the limits list
    // the root's moves.
    [[nodiscard]] bool rootMoveAllowed(const Move& move) const;
    // The clock's reading, in ticks, that long after start.
    [[nodiscard]] static Clock::rep ticksAfter(Clock::time_point start, std::chrono::nanoseconds span);
    [[nodiscard]] bool deadlinePassed() const {
        return Clock::now().time_since_epoch().count() > deadline.load(std::memory_order_relaxed);
    }
    // The evaluator's score for color, remembered by position key: the
    // search asks for the same positions again and again (each iteration,
    // futility and quiescence at one node, transpositions).
    [[nodiscard]] int staticScore(int color);
    // Starts loading what the node just reached reads first, while its
    // earliest steps run: a quiescence node its evaluation cache entry, a
    // full-width node also its table slot. Both tables are far larger than
    // the processor's nearer caches.
    void prefetchEvaluation() const { __builtin_prefetch(&evalCache[evalCacheIndex(board.getZobristKey())]); }
    void prefetchEvaluationAndTable() const {
        prefetchEvaluation();
        tt.prefetch(board.getZobristKey());
    }
    [[nodiscard]] static std::size_t evalCacheIndex(std::int64_t key) {
        return static_cast<std::uint64_t>(key) & (EVAL_CACHE_ENTRIES - 1);
    }
    // Has the pickers of the nodes from the root to ply, included, rank
    // their quiet moves before history values change.
    void rankPendingQuiets(int ply);
    // The picker of the node being searched at a ply, for as long as it
    // lives; nullptr while the node has none.
    class PickerOfPly {
    public:
        PickerOfPly(MovePicker*& slot, MovePicker& picker) : slot(slot) { slot = &picker; }
        ~PickerOfPly() { slot = nullptr; }
        PickerOfPly(const PickerOfPly&) = delete;
        PickerOfPly& operator=(const PickerOfPly&) = delete;

    private:
        MovePicker*& slot;
    };

    Board& board;
    std::ostream& out;
    Evaluator evaluator;
    std::array<MoveList, MAX_PLY> pvLines;
    std::array<PickerBuffers, MAX_PLY> pickerBuffers;
    std::array<MovePicker*, MAX_PLY> pickers{};
    KillerTable killers;
    HistoryTable historyTable;
    TTable tt;

    // 2^14 entries of 16 bytes: 256 KiB, which stays in the processor's
    // second-level cache. A larger cache finds more positions, but each of
    // its misses waits for memory longer than an evaluation takes.
    static constexpr std::size_t EVAL_CACHE_ENTRIES = std::size_t{1} << 14;
    struct EvalCacheEntry {
        std::uint64_t key = 0;
        int whiteScore = 0;
    };
    std::vector<EvalCacheEntry> evalCache;

    std::int64_t nodesPly[MAX_PLY] = {};
    std::int64_t cutPly[MAX_PLY] = {};
    std::int64_t pvPly[MAX_PLY] = {};
    std::int64_t allPly[MAX_PLY] = {};
    std::int64_t nullCutPly[MAX_PLY] = {};
    std::int64_t ttHitPly[MAX_PLY] = {};
    std::int64_t cutByMove[BEST_MOVE_ORDINALS] = {};
    std::int64_t pvByMove[BEST_MOVE_ORDINALS] = {};

    std::int64_t nodes = 0;
    // Full-width nodes searched, counted only to space the clock's readings.
    std::uint32_t fullWidthNodes = 0;
    int currentDepth = 0;
    int selDepth = 0;
    Clock::time_point startTime{};
    // The deadline in ticks of the clock. Between searches there is none, so
    // that pvs can be called directly; each search sets its own unless
    // startClock came first, from the command thread.
    static constexpr Clock::rep NO_DEADLINE = std::numeric_limits<Clock::rep>::max();
    std::atomic<Clock::rep> deadline{NO_DEADLINE};
    // The current search's limits beyond depth and time.
    std::int64_t nodeLimit = std::numeric_limits<std::int64_t>::max();
    int mateLimit = 0;
    std::vector<Move> rootMoves;
};

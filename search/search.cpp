#include "search/search.h"

#include <algorithm>
#include <cassert>
#include <iomanip>
#include <optional>
#include <ostream>

namespace {

// The search's tunables, each with what it does and, where that is known,
// why it has its value.

// Above every score a search can return, mates included.
constexpr int INFINITE_SCORE = 32767;

// Null move: only with depth to spare, reduced by three plies (four from
// depth 7 on, where the saving matters more), and only with at least two
// pieces, since with fewer a pass may be the only good move (zugzwang).
constexpr int NULL_MOVE_MIN_DEPTH = 2;
constexpr int NULL_MOVE_DEEP_FROM = 7;
constexpr int NULL_MOVE_REDUCTION = 3;
constexpr int NULL_MOVE_DEEP_REDUCTION = 4;
constexpr int NULL_MOVE_MIN_PIECES = 2;

// Futility: within four plies of the horizon, the margin by remaining depth
// below which a quiet move cannot lift the static score back to alpha; depth
// 0 never reaches the test. In centipawns: two pawns one ply from the
// horizon, growing to eight at four plies, since every ply left is one more
// chance for the score to move.
constexpr int FUTILITY_MAX_DEPTH = 4;
constexpr int FUTILITY_MARGIN[FUTILITY_MAX_DEPTH + 1] = {0, 200, 300, 500, 800};

// Late-move reductions: a second and third ply come off from depth 4 on,
// once the quiet moves tried reach divisor / depth + 2 and three times that.
// The divisor sets how long a node waits: at depth 4, a null-window node
// takes a second ply off from its 4th reducible quiet move and a PV node,
// whose line is the one reported, only from its 10th; deeper nodes wait
// less, down to 2 moves.
constexpr int LMR_DEEP_MIN_DEPTH = 4;
constexpr int LMR_DIVISOR_PV = 32;
constexpr int LMR_DIVISOR_NON_PV = 8;
constexpr int LMR_THRESHOLD_BASE = 2;
constexpr int LMR_THIRD_PLY_FACTOR = 3;

// Composed positions with dozens of queens can evaluate beyond any ordinary
// score; static scores stay below the mate scores and inside the table's
// 16-bit score.
constexpr int MAX_STATIC_SCORE = MATE_THRESHOLD - 1;

// A search without a time limit still needs a deadline to compare with.
constexpr std::chrono::nanoseconds NO_TIME_LIMIT = std::chrono::hours(24);

// Quiescence reads the clock once per this many nodes, and full-width nodes
// other than the root once per this many of theirs (powers of two): a
// reading costs more than most nodes. A full-width node near a cold table
// can take long, so they read it often.
constexpr std::int64_t DEADLINE_CHECK_INTERVAL = 1024;
constexpr std::uint32_t FULL_WIDTH_CHECK_INTERVAL = 8;

}  // namespace

Search::Search(Board& board, std::ostream& out) : board(board), out(out), evaluator(board), historyTable(board) {
    evalCache.resize(EVAL_CACHE_ENTRIES);
}

void Search::iterativeDeepening(int color, const SearchLimits& limits) {
    startTime = Clock::now();
    const std::chrono::nanoseconds budget =
        limits.moveTime > 0 ? std::chrono::nanoseconds(std::chrono::milliseconds(limits.moveTime)) : NO_TIME_LIMIT;
    // A clock started before this search got going (by "go" as it read its
    // line, or by "ponderhit") stands.
    Clock::rep unset = NO_DEADLINE;
    deadline.compare_exchange_strong(unset, ticksAfter(startTime, budget));
    nodeLimit = limits.nodes;
    mateLimit = limits.mate;
    rootMoves = limits.rootMoves;
    for (MoveList& line : pvLines) line.clear();
    killers.clear();
    historyTable.clear();
    bestMove = NOMOVE;
    ponderMove = NOMOVE;
    selDepth = 0;
    nodes = 0;

    // Every iteration searches the full window; the previous iteration's best
    // move comes first only through the table's hash move.
    for (currentDepth = 1; currentDepth <= limits.depth; ++currentDepth) {
        pvs(currentDepth, 0, -INFINITE_SCORE - 1, INFINITE_SCORE, color, true);
        if (stop.load()) break;
    }

    deadline.store(NO_DEADLINE);
    stop.exchange(true);
}

void Search::startClock(int moveTime) { deadline.store(ticksAfter(Clock::now(), std::chrono::milliseconds(moveTime))); }

Search::Clock::rep Search::ticksAfter(Clock::time_point start, std::chrono::nanoseconds span) {
    return (start + std::chrono::duration_cast<Clock::duration>(span)).time_since_epoch().count();
}

bool Search::rootMoveAllowed(const Move& move) const {
    return rootMoves.empty() || std::find(rootMoves.begin(), rootMoves.end(), move) != rootMoves.end();
}

int Search::pvs(int depth, int ply, int alpha, int beta, int color, bool allowNull) {
    // Step 1. Deepest ply reached in this search, for the info line.
    selDepth = std::max(selDepth, ply);

    // Step 2. This node's line is rebuilt from scratch.
    pvLines[ply].clear();

    // Step 3. Ply guard: the per-ply tables end at MAX_PLY, so the last ply
    // answers with the static score.
    if (ply >= MAX_PLY - 1) return staticScore(color);

    const bool pvNode = beta - 1 != alpha;

    // Step 4. Mate distance pruning: no line from here can beat a mate
    // already found nearer the root.
    alpha = std::max(alpha, ply - MATE);
    beta = std::min(beta, MATE - 1 - ply);
    if (alpha >= beta) return alpha;

    // Step 5. Check extension: a side in check is searched one ply deeper,
    // and the raised depth governs every later step of this node.
    assert(color == board.getTurn());
    const bool inCheck = board.sideToMoveInCheck();
    if (inCheck) {
        ++depth;
        assert(depth > 0);
    }

    // Step 6. At the horizon, settle captures and promotions.
    if (depth <= 0) return quiesce(ply, alpha, beta, color);

    // Step 7. Deadline or node limit: stop the whole search.
    const bool readsClock = ply == 0 || (++fullWidthNodes & (FULL_WIDTH_CHECK_INTERVAL - 1)) == 0;
    if (nodes >= nodeLimit || (readsClock && deadlinePassed())) {
        stop.exchange(true);
        return 0;
    }

    // Step 8. Count the node.
    ++nodesPly[ply];
    ++nodes;

    // Step 9. Fifty-move rule and repetition; a checkmate on the move that
    // completes the fifty moves still wins. The root is played on: its draw
    // is the opponent's to claim.
    if (ply > 0 && board.isDraw()) return inCheck && board.isCheckmate() ? -MATE + ply : 0;

    // Step 10. Table probe: the stored move is tried first.
    const std::int64_t key = board.getZobristKey();
    const TTEntry entry = tt.probe(key, ply);
    if (entry.flag != 0) ++ttHitPly[ply];
    const Move hashMove = entry.move;

    if (!pvNode) {
        // Step 11. Table cut-off: a result of enough depth that settles this
        // null window is returned as it is. PV nodes always search, so that
        // they keep their line.
        if (entry.depth >= depth) {
            if (entry.flag == EXACT) return entry.score;
            if (entry.flag == LOWERBOUND && entry.score >= beta) return entry.score;
            if (entry.flag == UPPERBOUND && entry.score <= alpha) return entry.score;
        }

        // Step 12. Null move pruning: if passing the turn still holds beta
        // after a reduced search, a real move would too. Not in check, where
        // passing is illegal, not twice in a row, and not with fewer than two
        // pieces, where zugzwang makes passing a false friend.
        if (allowNull && depth >= NULL_MOVE_MIN_DEPTH && !inCheck &&
            evaluator.numMajorMinor(color) >= NULL_MOVE_MIN_PIECES) {
            [[maybe_unused]] const bool passed = board.executeMove(NULLMOVE);
            assert(passed);
            prefetchEvaluationAndTable();
            const int nullDepth =
                depth - (depth < NULL_MOVE_DEEP_FROM ? NULL_MOVE_REDUCTION : NULL_MOVE_DEEP_REDUCTION);
            const int value = -pvs(nullDepth, ply + 1, -beta, -beta + 1, color ^ 1, false);
            board.undoMove();
            if (stop.load()) return 0;
            if (value >= beta) {
                ++nullCutPly[ply];
                return value;
            }
        }
    }

    // Step 13. Moves come from a picker that tries the hash move, captures and
    // promotions, the killers of this ply, then quiet moves by history.
    const Move killer1 = killers.get1(ply);
    const Move killer2 = killers.get2(ply);
    MovePicker picker(hashMove, killer1, killer2, historyTable, board, pickerBuffers[ply],
                      ply == 0 ? PickerScope::ROOT : PickerScope::ALL_MOVES);
    const PickerOfPly pickerOfPly(pickers[ply], picker);

    // Step 14. Futility: near the horizon, a static score far below alpha
    // means quiet moves are not worth searching. The score is taken when a
    // quiet move first asks, so nodes that cut off earlier never evaluate.
    const bool futilityApplies = depth <= FUTILITY_MAX_DEPTH && !inCheck;
    std::optional<bool> futile;
    const auto isFutile = [&] {
        if (!futile) futile = staticScore(color) <= alpha - FUTILITY_MARGIN[depth];
        return *futile;
    };

    // Step 15. Reductions beyond one ply need depth to spare and no check.
    const bool deepReductions = depth >= LMR_DEEP_MIN_DEPTH && !inCheck;
    const int lmrDivisor = pvNode ? LMR_DIVISOR_PV : LMR_DIVISOR_NON_PV;

    int best = alpha;
    Move bestMoveHere = NOMOVE;
    int searched = 0;
    int bestOrdinal = 0;
    int lateQuietCount = 0;

    // Step 16. Move loop.
    for (;;) {
        // Step 16a. Futility pruning: skip quiet moves once one move has
        // been searched. They come last, so the node ends where they begin.
        if (searched > 0 && futilityApplies && picker.onlyQuietsLeft() && isFutile()) {
            picker.skipQuiets();
            break;
        }
        const Move move = picker.getNextMove();
        if (move == NOMOVE) break;
        assert(board.pieceAt(move.to) != KING);
        if (ply == 0 && !rootMoveAllowed(move)) continue;

        if (!board.executeMove(move)) continue;
        prefetchEvaluationAndTable();

        // Step 16b. Late-move reduction: quiet moves after the first, other
        // than the hash move and the killers, are searched shallower, the
        // more so the later they come.
        int reduction = 0;
        if (searched > 0 && move.isQuiet() && move != hashMove && move != killer1) {
            reduction = depth > 1 && move != killer2 ? 1 : 0;
            if (reduction == 1 && deepReductions) {
                ++lateQuietCount;
                const int threshold = lmrDivisor / depth + LMR_THRESHOLD_BASE;
                if (lateQuietCount >= threshold) ++reduction;
                if (lateQuietCount >= LMR_THIRD_PLY_FACTOR * threshold) ++reduction;
            }
        }

        // Step 16c. Principal variation search: the first move gets the full
        // window, later ones a null window around best, searched again at
        // full depth when a reduced search beats best, and with the full
        // window at PV nodes when the null window is beaten.
        int value = 0;
        if (searched == 0) {
            value = -pvs(depth - 1, ply + 1, -beta, -alpha, color ^ 1, true);
        } else {
            value = -pvs(depth - 1 - reduction, ply + 1, -best - 1, -best, color ^ 1, true);
            if (reduction > 0 && value > best) value = -pvs(depth - 1, ply + 1, -best - 1, -best, color ^ 1, true);
            if (pvNode && value > best) value = -pvs(depth - 1, ply + 1, -beta, -best, color ^ 1, true);
        }

        board.undoMove();
        if (stop.load()) return 0;
        ++searched;

        if (value > best) {
            best = value;
            bestMoveHere = move;
            MoveList& line = pvLines[ply];
            line.clear();
            line.push_back(move);
            line.append(pvLines[ply + 1]);
            if (ply == 0) {
                showPv(value);
                // A mate close enough for "go mate" ends the search.
                if (mateLimit > 0 && value >= MATE_THRESHOLD && (MATE + 1 - value) / 2 <= mateLimit) {
                    stop.exchange(true);
                    return 0;
                }
            }
            bestOrdinal = searched;
        }
        if (best >= beta) break;
    }

    // Step 17. No legal move: mated, or stalemate.
    if (searched == 0) return inCheck ? -MATE + ply : 0;

    // Step 18. Store the result with the depth this node searched.
    const std::int8_t flag = best >= beta ? LOWERBOUND : best > alpha ? EXACT : UPPERBOUND;
    tt.save(key, bestMoveHere, flag, depth, best, ply);

    // Step 19. A quiet move that raised alpha becomes a killer and gains
    // history; the quiet moves tried before it lose some. The nodes nearer
    // the root, and this one where it skipped its quiet moves, rank them by
    // the history they began with.
    if (best > alpha && bestMoveHere.isQuiet()) {
        rankPendingQuiets(ply);
        killers.insert(bestMoveHere, ply);
        historyTable.addScore(bestMoveHere, depth * depth);
        picker.penalizeHist(bestMoveHere, depth);
    }

    // Step 20. Statistics for the diagnostics report.
    const int ordinalIndex = std::min(bestOrdinal, BEST_MOVE_ORDINALS) - 1;
    if (best >= beta) {
        ++cutPly[ply];
        ++cutByMove[ordinalIndex];
    } else if (best > alpha) {
        ++pvPly[ply];
        ++pvByMove[ordinalIndex];
    } else {
        ++allPly[ply];
    }
    return best;
}

int Search::quiesce(int ply, int alpha, int beta, int color) {
    // Step 1. Node limit, then count the node.
    if (nodes >= nodeLimit) {
        stop.exchange(true);
        return 0;
    }
    ++nodes;

    // Step 2. Deadline, read every 1,024 nodes: with many pieces en prise
    // the captures alone can outlast any time limit.
    if ((nodes & (DEADLINE_CHECK_INTERVAL - 1)) == 0 && deadlinePassed()) {
        stop.exchange(true);
        return 0;
    }

    // Step 3. Stand pat: the side to move may decline every capture.
    const int stand = staticScore(color);
    if (stand >= beta) return stand;

    // Step 4. Fifty-move rule and repetition.
    if (board.isDraw()) return 0;

    // Step 5. Ply guard, as in pvs.
    if (ply >= MAX_PLY - 1) return stand;

    alpha = std::max(alpha, stand);
    if (alpha >= beta) return alpha;

    // Step 6. Captures and promotions only, best victim first. A stopped
    // search unwinds at once.
    CapturePicker picker(board, pickerBuffers[ply]);
    int best = alpha;
    while (!picker.empty()) {
        const Move move = picker.pickNext();
        assert(!move.isQuiet());
        if (!board.executeMove(move)) continue;
        prefetchEvaluation();
        const int value = -quiesce(ply + 1, -beta, -best, color ^ 1);
        board.undoMove();
        if (stop.load()) return 0;
        best = std::max(best, value);
        if (best >= beta) break;
    }
    return best;
}

void Search::rankPendingQuiets(int ply) {
    for (int earlier = 0; earlier <= ply; ++earlier)
        if (pickers[earlier] != nullptr) pickers[earlier]->rankPendingQuiets();
}

int Search::staticScore(int color) {
    const auto key = static_cast<std::uint64_t>(board.getZobristKey());
    EvalCacheEntry& entry = evalCache[evalCacheIndex(board.getZobristKey())];
    if (entry.key != key) {
        entry.key = key;
        entry.whiteScore = std::clamp(evaluator.getRating(WHITE), -MAX_STATIC_SCORE, MAX_STATIC_SCORE);
    }
    return color == WHITE ? entry.whiteScore : -entry.whiteScore;
}

void Search::showPv(int score) {
    const MoveList& line = pvLines[0];
    assert(!line.empty());

    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - startTime);
    const auto milliseconds = static_cast<std::int64_t>(static_cast<double>(elapsed.count()) / 1'000'000.0);
    const std::int64_t time = std::max<std::int64_t>(1, milliseconds);

    // The ponder move must answer the best move: a new best move with a
    // one-move line has no expected reply.
    const Move previousBest = bestMove;
    bestMove = line[0];
    if (line.size() >= 2)
        ponderMove = line[1];
    else if (bestMove != previousBest)
        ponderMove = NOMOVE;

    out << "info depth " << currentDepth << " seldepth " << selDepth << " score ";
    if (score >= MATE_THRESHOLD)
        out << "mate " << (MATE + 1 - score) / 2;
    else if (score <= -MATE_THRESHOLD)
        out << "mate " << (-MATE - 1 - score) / 2;
    else
        out << "cp " << score;
    out << " nodes " << nodes << " nps " << nodes / time * 1000 << " time " << time << " multipv 1 pv " << line
        << std::endl;
}

void Search::diagnostics() {
    const auto cell = [this](auto value) { out << std::right << std::setw(12) << value; };
    const auto label = [this](auto value) { out << std::left << std::setw(4) << value; };

    out << "======================== DIAGNOSTICS ======================" << std::endl;
    label("Ply");
    for (const char* heading : {"Nodes", "Null", "Cut", "PV", "All", "TT Hit"}) cell(heading);
    out << std::endl;
    for (int ply = 0; ply < MAX_PLY && nodesPly[ply] != 0; ++ply) {
        label(ply);
        for (const std::int64_t count : {nodesPly[ply], nullCutPly[ply], cutPly[ply], pvPly[ply], allPly[ply]})
            cell(count);
        cell(ttHitPly[ply] * 100 / nodesPly[ply]);
        out << std::endl;
        nodesPly[ply] = nullCutPly[ply] = cutPly[ply] = pvPly[ply] = allPly[ply] = ttHitPly[ply] = 0;
    }
    out << std::endl;

    out << tt.getCollisions() << " TT Collisions" << std::endl;
    out << tt.getEntries() << " TT Entries" << std::endl;
    tt.resetCollisions();
    out << std::endl;

    label("#");
    for (const char* heading : {"PV", "Pct", "Cut", "Pct"}) cell(heading);
    out << std::endl;
    std::int64_t totalPv = 0;
    std::int64_t totalCut = 0;
    for (int i = 0; i < BEST_MOVE_ORDINALS; ++i) {
        totalPv += pvByMove[i];
        totalCut += cutByMove[i];
    }
    for (int i = 0; i < BEST_MOVE_ORDINALS; ++i) {
        label(i + 1);
        cell(pvByMove[i]);
        cell(totalPv > 0 ? pvByMove[i] * 100 / totalPv : 0);
        cell(cutByMove[i]);
        cell(totalCut > 0 ? cutByMove[i] * 100 / totalCut : 0);
        out << std::endl;
        pvByMove[i] = cutByMove[i] = 0;
    }
    out << "============================ END ==========================" << std::endl;
}

void Search::clear() {
    tt.clear();
    std::fill(evalCache.begin(), evalCache.end(), EvalCacheEntry{});
}

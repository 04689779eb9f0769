#include "uci/time_control.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>
#include <string_view>
#include <utility>

#include "core/types.h"
#include "uci/move_word.h"

namespace {

// The clock's share of the move when "movestogo" is not given.
constexpr int DEFAULT_MOVES_TO_GO = 24;
// Time kept in hand on every move, and the budget at or below which half the
// time is kept instead.
constexpr std::int64_t RESERVE_MS = 100;
constexpr std::int64_t HALVED_UP_TO_MS = 2 * RESERVE_MS;

// Reads the number after a keyword as a stream does: it stops at the first
// character that cannot continue the number, so "600xyz" gives 600 and
// leaves "xyz" as the next word. A value out of range reads as the nearest
// one, a word that is not a number as 0 (and stays to be read as a word).
// Nothing at the end of the line.
std::optional<std::int64_t> readNumber(std::istringstream& words) {
    words >> std::ws;
    if (words.eof()) return std::nullopt;
    std::int64_t value = 0;
    words >> value;
    words.clear();
    return value;
}

[[nodiscard]] int toInt(std::int64_t value) {
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The budget of a move that may take up to the given milliseconds.
[[nodiscard]] int budgetOf(std::int64_t moveTime) {
    if (moveTime <= 0) return 1;
    if (moveTime > HALVED_UP_TO_MS) return toInt(moveTime - RESERVE_MS);
    return static_cast<int>(std::max<std::int64_t>(moveTime / 2, 1));
}

}  // namespace

TimeControl readTimeControl(const std::string& line, int side) {
    TimeControl control;
    using Number = std::optional<std::int64_t>;
    Number wtime, btime, winc, binc, movesToGo, moveTime, depth, nodes, mate;
    const std::pair<std::string_view, Number*> numberWords[] = {
        {"wtime", &wtime},       {"btime", &btime}, {"winc", &winc},   {"binc", &binc}, {"movestogo", &movesToGo},
        {"movetime", &moveTime}, {"depth", &depth}, {"nodes", &nodes}, {"mate", &mate}};
    bool depthWord = false;
    bool infinite = false;

    std::istringstream words(line);
    std::string word;
    words >> word;
    // unread: word holds a word that ended a list of search moves.
    for (bool unread = false; unread || words >> word;) {
        unread = false;
        if (word == "infinite") infinite = true;
        if (word == "ponder") control.ponder = true;
        // "depth" at the end of the line, without its value, still asks for
        // the deepest search.
        if (word == "depth") depthWord = true;
        if (word == "searchmoves") {
            while ((unread = static_cast<bool>(words >> word)) && isMoveTextInAnyCase(word))
                control.searchMoves.push_back(word);
            continue;
        }
        for (const auto& [keyword, target] : numberWords)
            if (word == keyword)
                if (const Number value = readNumber(words)) *target = value;
    }

    SearchLimits& limits = control.limits;
    if (depth) limits.depth = toInt(std::clamp<std::int64_t>(*depth, 1, MAX_SEARCH_DEPTH));
    if (nodes) limits.nodes = std::max<std::int64_t>(*nodes, 1);
    // Pruning and reductions can hide a mate in N moves from an iteration of
    // 2N plies, so "mate" sets no depth of its own.
    if (mate) limits.mate = toInt(std::clamp<std::int64_t>(*mate, 1, MAX_SEARCH_DEPTH));

    // Times are milliseconds in the range of an int.
    const auto milliseconds = [](const Number& value) { return toInt(value.value_or(0)); };
    std::optional<int> budget;
    if (const Number& clock = side == WHITE ? wtime : btime; clock) {
        const std::int64_t remaining = milliseconds(clock);
        const std::int64_t share = remaining / std::max<std::int64_t>(movesToGo.value_or(DEFAULT_MOVES_TO_GO), 1) +
                                   milliseconds(side == WHITE ? winc : binc);
        budget = budgetOf(std::min(share, remaining));
    }
    if (moveTime) budget = std::min(budget.value_or(std::numeric_limits<int>::max()), budgetOf(milliseconds(moveTime)));
    control.moveTime = budget.value_or(0);
    if (!control.ponder) limits.moveTime = control.moveTime;

    // Without any limit nothing but new input ends the search.
    control.untilStopped = infinite || !(budget || depthWord || nodes || mate);
    return control;
}

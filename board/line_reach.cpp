#include "board/line_reach.h"

#include <bit>
#include <cassert>

namespace line_reach {

namespace {

// The squares along one step from every bit, to the edge.
using Rays = std::array<SquareSet, 64>;

[[nodiscard]] constexpr Rays raysOf(const LineStep& step) {
    const LineStep single[4] = {step, step, step, step};
    Rays rays{};
    for (int bit = 0; bit < 64; ++bit) rays[bit] = walk(bit, single, 0, false);
    return rays;
}

// The reach along the steps, from the rays: each ray up to its nearest
// occupied square, the lowest bit along a step to higher bits.
[[nodiscard]] SquareSet reachAlong(int bit, const std::array<Rays, 4>& rays, const LineStep (&steps)[4],
                                   SquareSet occupied) {
    SquareSet reached = 0;
    for (int d = 0; d < 4; ++d) {
        const SquareSet ray = rays[d][bit];
        const SquareSet blockers = ray & occupied;
        if (blockers == 0) {
            reached |= ray;
            continue;
        }
        const bool upwards = steps[d].rows * 8 + steps[d].files > 0;
        const int nearest = upwards ? std::countr_zero(blockers) : 63 - std::countl_zero(blockers);
        reached |= ray & ~rays[d][nearest];
    }
    return reached;
}

// Fills each square's slice: every subset of its blockers, counted through
// from empty to full, gets the reach it leaves.
void fill(std::array<SquareSet, TABLE_SIZE>& reach, const std::array<SquareLines, 64>& slices,
          const LineStep (&steps)[4]) {
    const std::array<Rays, 4> rays = {raysOf(steps[0]), raysOf(steps[1]), raysOf(steps[2]), raysOf(steps[3])};
    for (int bit = 0; bit < 64; ++bit) {
        const SquareLines& lines = slices[bit];
        SquareSet occupied = 0;
        do {
            const SquareSet reached = reachAlong(bit, rays, steps, occupied);
            assert(reached == walk(bit, steps, occupied, false));
            SquareSet& slot = reach[lines.offset + ((occupied * lines.multiplier) >> lines.shift)];
            // A multiplier must not map two occupancies of different reach to one slot.
            assert(slot == 0 || slot == reached);
            slot = reached;
            occupied = (occupied - lines.blockers) & lines.blockers;
        } while (occupied != 0);
    }
}

}  // namespace

ReachTable::ReachTable() : reach{} {
    fill(reach, BISHOP_LINES, DIAGONAL_STEPS);
    fill(reach, ROOK_LINES, STRAIGHT_STEPS);
}

const ReachTable TABLE;

}  // namespace line_reach

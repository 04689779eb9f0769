#!/usr/bin/env bash
# Instructions per node of the engine's bench searches, as valgrind's
# callgrind counts them (a count the machine's load does not change; table
# clears between the positions are left out), and the shares of the
# evaluation, the move picker (its move generation included) and make/undo:
#   bench/instructions.sh ENGINE [DEPTH]
# DEPTH is that of "marrowby bench DEPTH"; the default 8 runs about a quarter
# of the full bench's nodes, some minutes under callgrind.
set -euo pipefail
engine=${1:?usage: $0 ENGINE [DEPTH]}
depth=${2:-8}
for tool in valgrind callgrind_annotate; do
    command -v "$tool" >/dev/null 2>&1 || { echo "instructions: $tool is missing (apt-get install valgrind)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

valgrind --tool=callgrind --callgrind-out-file="$work/out" --toggle-collect='Search::iterativeDeepening*' \
    "$engine" bench "$depth" >"$work/bench" 2>"$work/valgrind"
nodes=$(sed -n 's/^Nodes searched: //p' "$work/bench")
callgrind_annotate --inclusive=yes --threshold=100 "$work/out" >"$work/annotated"

# The largest inclusive count among the functions whose names match: the
# outermost of them, whatever the compiler cloned or inlined; 0 where none
# does, as in a build from before the function.
inclusive() { { grep -E "$1" "$work/annotated" || true; } | awk '{ gsub(",", "", $1); if ($1 + 0 > max + 0) max = $1 + 0 } END { print max + 0 }'; }
total=$(inclusive 'PROGRAM TOTALS')
evaluation=$(inclusive ':Evaluator::')
# The quiescence search's picker ranks its moves as it is made.
picker=$(( $(inclusive ':MovePicker::getNextMove') + $(inclusive ':CapturePicker::CapturePicker') ))
make_undo=$(( $(inclusive ':Board::executeMove') + $(inclusive ':Board::undoMove') ))
awk -v total="$total" -v nodes="$nodes" -v evaluation="$evaluation" -v picker="$picker" -v make_undo="$make_undo" \
    -v depth="$depth" 'BEGIN {
    printf "bench %s: %d nodes, %.0f instructions in the searches, %.1f per node\n", depth, nodes, total, total / nodes
    printf "  evaluation %.1f%%, picker %.1f%%, make/undo %.1f%% (%.0f, %.0f, %.0f per node)\n",
        100 * evaluation / total, 100 * picker / total, 100 * make_undo / total,
        evaluation / nodes, picker / nodes, make_undo / nodes
}'

#!/usr/bin/env bash
# A short engine session under valgrind's memcheck: a search to depth 8 (the
# next lines wait for its bestmove, since any input line ends a search), a
# console game of four moves, perft 4 and quit. Exits non-zero on any memory
# error or leak.
#   scripts/valgrind-session.sh [engine binary]
set -euo pipefail
engine=${1:-build/test/marrowby}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkfifo "$dir/in"

valgrind --error-exitcode=1 --leak-check=full --show-leak-kinds=all --errors-for-leak-kinds=all \
    "$engine" <"$dir/in" >"$dir/out" 2>"$dir/memcheck" &
pid=$!
exec 3>"$dir/in"
printf '%s\n' 'position startpos' 'go depth 8' >&3
until grep -q '^bestmove' "$dir/out" || ! kill -0 "$pid" 2>/dev/null; do sleep 0.2; done
printf '%s\n' g f2f3 e7e5 g2g4 d8h4 'perft 4' quit >&3
exec 3>&-
status=0
wait "$pid" || status=$?

grep -E '^(info depth 8|bestmove|BLACK wins|Ply 4)' "$dir/out" || true
grep -E 'ERROR SUMMARY|definitely|indirectly|possibly|still reachable|All heap blocks' "$dir/memcheck" || true
[ "$status" -eq 0 ] || { cat "$dir/memcheck"; echo "valgrind found errors (status $status)" >&2; }
exit "$status"

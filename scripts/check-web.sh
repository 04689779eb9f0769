#!/usr/bin/env bash
# Checks the browser build: builds it (make web), plays the transcripts and
# the pipe tests through the WebAssembly module under node with the native
# test binary, checks the bench signature under node, then runs the tests of
# web/test: the page's server, and the page in headless Chromium. The
# screenshot lands in build/web.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-deps.sh web test
make --no-print-directory web

module=$PWD/build/wasm/marrowby.js
runner=(/usr/bin/node --no-experimental-fetch "$PWD/web/node-runner.js" "$module")
test_dir=build/test
generator=$(command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
cmake -S . -B "$test_dir" -G "$generator" -DCMAKE_BUILD_TYPE=Checked >/dev/null
cmake --build "$test_dir" -j "${JOBS:-2}" --target marrowby_tests marrowby >/dev/null

echo "Transcripts and pipe tests through the WebAssembly module under node"
MARROWBY_ENGINE="${runner[*]}" ctest --test-dir "$test_dir" --output-on-failure -R '^Pipes\.|Transcript'

echo "Bench signature under node"
expected="Nodes searched: $(head -n 1 bench/signature)"
output=$("${runner[@]}" bench </dev/null)
echo "$output" | tail -n 2
echo "$output" | grep -qx "$expected" || { echo "expected: $expected" >&2; exit 1; }

echo "The page's server, and the page in headless Chromium"
node --test web/test/

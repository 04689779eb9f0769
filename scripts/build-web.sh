#!/usr/bin/env bash
# Builds the engine's WebAssembly module with emscripten and lays out the page
# in one folder of static files:
#   scripts/build-web.sh [FOLDER]   (default build/web)
# The page's packages come from web/package-lock.json (npm ci); nothing else
# is downloaded.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/web}
module_dir=build/wasm

# Debian's emscripten finds its JavaScript parser among Debian's node modules.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S . -B "$module_dir" -DCMAKE_BUILD_TYPE=Release -DMARROWBY_TESTS=OFF >/dev/null
MAKEFLAGS= cmake --build "$module_dir" -j "${JOBS:-2}" --target marrowby

# npm ci only when the lock file changed since the last install.
if ! [ web/node_modules/.installed -nt web/package-lock.json ]; then
    (cd web && npm ci --no-audit --no-fund --loglevel=error)
    touch web/node_modules/.installed
fi

rm -rf "$out"
mkdir -p "$out/vendor/chess.js" "$out/vendor/cm-chessboard/assets/pieces"
cp -r web/page/. "$out/"
cp "$module_dir"/marrowby.js "$module_dir"/marrowby.wasm "$module_dir"/marrowby.worker.js "$out/"

modules=web/node_modules
cp $modules/chess.js/dist/esm/chess.js $modules/chess.js/LICENSE "$out/vendor/chess.js/"
board=$modules/cm-chessboard
cp -r $board/src $board/LICENSE "$out/vendor/cm-chessboard/"
cp $board/assets/chessboard.css "$out/vendor/cm-chessboard/assets/"
# The Wikimedia standard pieces (CC BY-SA 3.0); the package's other set is
# licensed for non-commercial use only and stays out.
cp $board/assets/pieces/standard.svg "$out/vendor/cm-chessboard/assets/pieces/"
for extension in markers arrows promotion-dialog; do
    mkdir -p "$out/vendor/cm-chessboard/assets/extensions/$extension"
    cp $board/assets/extensions/$extension/*.css "$out/vendor/cm-chessboard/assets/extensions/$extension/"
    cp $board/assets/extensions/$extension/*.svg "$out/vendor/cm-chessboard/assets/extensions/$extension/" 2>/dev/null || true
done
echo "Page: $out/index.html (serve it with make serve)"

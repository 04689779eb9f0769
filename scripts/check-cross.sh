#!/usr/bin/env bash
# Builds the engine for 64-bit Windows and for 64-bit and 32-bit ARM Linux
# with Debian's cross compilers (make windows, make arm64, make armhf) and
# tests each under its runner, wine64, qemu-aarch64 and qemu-arm:
#   - the unit and protocol tests, cross-built: ctest runs them under the
#     runner, the transcripts and pipe tests start the cross-built engine
#     through pipes of the target system, the bench signature runs it;
#   - the transcripts and pipe tests of the native test binary, with the
#     engine under its runner at the other end of this machine's pipes;
#   - the perft suites with the cross-built perft_suite, under qemu up to
#     QEMU_PERFT_LIMIT nodes a count (the whole suites take minutes there);
#   - the time from "stop" to "bestmove" through a pipe (marrowby_bench
#     stop), whose median must stay below STOP_BOUND_MS;
#   - marrowby.exe needs no DLL but the system's;
#   - make package-arm64 writes the arm64 package, which depends on nothing.
# scripts/check-release.sh checks the release archives.
# Every step reads an empty standard input. Wine keeps its prefix in
# build/wine unless WINEPREFIX names another.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
scripts/ensure-deps.sh cross dist package
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
QEMU_PERFT_LIMIT=20000000
STOP_BOUND_MS=50
export WINEPREFIX=${WINEPREFIX:-$PWD/build/wine} WINEDEBUG=-all
unset MARROWBY_ENGINE
fail() { echo "check-cross: $*" >&2; exit 1; }
step() { echo "== [${SECONDS} s] $*"; }
exec </dev/null

step "Wine prefix $WINEPREFIX"
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wine64 wineboot --init
/usr/lib/wine/wineserver -w

step "native test binary (build/test)"
cmake -S . -B build/test -G "$(command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")" \
    -DCMAKE_BUILD_TYPE=Checked >/dev/null
cmake --build build/test -j "$JOBS" --target marrowby_tests

declare -A runner=([windows]=/usr/lib/wine/wine64 [arm64]="/usr/bin/qemu-aarch64 -L /usr/aarch64-linux-gnu"
    [armhf]="/usr/bin/qemu-arm -L /usr/arm-linux-gnueabihf")
declare -A suffix=([windows]=.exe [arm64]= [armhf]=)
declare -A perft_limit=([windows]= [arm64]=$QEMU_PERFT_LIMIT [armhf]=$QEMU_PERFT_LIMIT)
# How the programs that start the engine reach it: marrowby_tests.exe and
# marrowby_bench.exe start marrowby.exe themselves; under qemu a program
# starts the engine through qemu again.
declare -A engine_under_runner=([windows]= [arm64]="${runner[arm64]} $PWD/build/arm64/marrowby"
    [armhf]="${runner[armhf]} $PWD/build/armhf/marrowby")

for target in windows arm64 armhf; do
    dir=build/$target
    run=${runner[$target]}
    engine="$run $PWD/$dir/marrowby${suffix[$target]}"

    step "make $target CROSS_TESTS=ON"
    make --no-print-directory "$target" CROSS_TESTS=ON
    cmake --build "$dir" -j "$JOBS"

    step "$target: unit and protocol tests under $run"
    ctest --test-dir "$dir" --output-on-failure -j "$JOBS"

    step "$target: transcripts and pipe tests of the native test binary, engine: $engine"
    MARROWBY_ENGINE=$engine build/test/marrowby_tests --gtest_filter='Files/Transcript.*:Pipes.*' --gtest_brief=1

    step "$target: perft suites${perft_limit[$target]:+ up to ${perft_limit[$target]} nodes a count}"
    for suite in tests/data/perftsuite.epd tests/data/perft-edge.epd; do
        # shellcheck disable=SC2086
        $run "$dir/perft_suite${suffix[$target]}" "$suite" ${perft_limit[$target]}
    done

    step "$target: stop through a pipe"
    stop=$(MARROWBY_ENGINE=${engine_under_runner[$target]} $run "$dir/marrowby_bench${suffix[$target]}" stop | tr -d '\r')
    echo "$stop"
    median=$(echo "$stop" | sed -n 's/.*median \([0-9]*\)\..*/\1/p')
    [ -n "$median" ] && [ "$median" -lt "$STOP_BOUND_MS" ] || fail "$target: stop answered in a median of $median ms"
done

step "marrowby.exe: only system DLLs"
dlls=$(x86_64-w64-mingw32-objdump -p build/windows/marrowby.exe | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
echo "$dlls"
[ "$dlls" = "advapi32.dll kernel32.dll msvcrt.dll " ] || fail "marrowby.exe needs other DLLs: $dlls"

version=$(sed -n 's/.*ENGINE_VERSION = "\(.*\)".*/\1/p' core/version.h)
step "make package-arm64"
rm -rf build/package-arm64
make --no-print-directory package-arm64
package=build/package-arm64/marrowby_${version}_arm64.deb
[ "$(dpkg-deb -f "$package" Architecture)" = arm64 ] || fail "$package is not of architecture arm64"
[ -z "$(dpkg-deb -f "$package" Depends)" ] || fail "$package depends on $(dpkg-deb -f "$package" Depends)"
rm -rf build/package-arm64/unpacked
dpkg-deb -x "$package" build/package-arm64/unpacked
[ "$(${runner[arm64]} build/package-arm64/unpacked/usr/games/marrowby --version)" = "Marrowby $version" ] ||
    fail "the packaged arm64 engine does not run"

echo "check-cross: all passed in ${SECONDS} s"

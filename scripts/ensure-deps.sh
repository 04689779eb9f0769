#!/usr/bin/env bash
# Installs on Debian what a make target needs and the machine lacks, with
# apt-get as root or through sudo. Without either, names the apt-get command to
# run and fails. Asks for nothing already present.
#   scripts/ensure-deps.sh engine     a C++20 compiler (CXX, else g++), CMake and make
#   scripts/ensure-deps.sh format     clang-format
#   scripts/ensure-deps.sh test       the engine's and GoogleTest, clang-format and
#                                     polyglot (the xboard adapter a test plays through)
#   scripts/ensure-deps.sh fuzz       the engine's and clang with libFuzzer
#   scripts/ensure-deps.sh valgrind   the engine's and GoogleTest and valgrind
#   scripts/ensure-deps.sh package    the engine's, dpkg-dev (dependencies of the package)
#                                     and file (CPack's Debian generator runs it)
#   scripts/ensure-deps.sh fresh-debian  debootstrap (scripts/check-fresh-debian.sh)
#   scripts/ensure-deps.sh web        emscripten, node and npm (the WebAssembly build and
#                                     its page) and chromium (the page's tests)
#   scripts/ensure-deps.sh windows    CMake, make and the MinGW-w64 cross compiler (posix threads)
#   scripts/ensure-deps.sh arm64      CMake, make and the aarch64 Linux cross compiler
#   scripts/ensure-deps.sh armhf      CMake, make and the 32-bit ARM (armhf) Linux cross compiler
#   scripts/ensure-deps.sh dist       zip, groff (the manual page as text) and the strip tools
#                                     of the cross targets
#   scripts/ensure-deps.sh cross      the cross builds' and their runners (wine64, qemu-user),
#                                     GoogleTest's sources and the native tests'
#   scripts/ensure-deps.sh release    what the release check runs: unzip, file, wrestool
#                                     (icoutils), polyglot and the runners
# Several targets may be given at once.
set -euo pipefail

missing=()
need() { [[ " ${missing[*]} " == *" $1 "* ]] || missing+=("$1"); }

# The Debian package of a compiler command: g++-12 comes with g++-12, clang++-16
# with clang-16.
compiler_package() {
    case "$1" in
        *clang++*) local name=${1##*/}; echo "clang${name#clang++}" ;;
        *g++*) echo "${1##*/}" ;;
        *) echo g++ ;;
    esac
}

build_tools() {
    command -v cmake >/dev/null 2>&1 || need cmake
    command -v make >/dev/null 2>&1 || need make
}
engine() {
    local compiler=${CXX:-g++}
    command -v "${compiler%% *}" >/dev/null 2>&1 || need "$(compiler_package "$compiler")"
    build_tools
}
gtest() { [ -f /usr/include/gtest/gtest.h ] || need libgtest-dev; }
format() { command -v clang-format >/dev/null 2>&1 || need clang-format; }
windows() {
    build_tools
    command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need g++-mingw-w64-x86-64-posix
}
arm64() {
    build_tools
    command -v aarch64-linux-gnu-g++ >/dev/null 2>&1 || need g++-aarch64-linux-gnu
}
armhf() {
    build_tools
    command -v arm-linux-gnueabihf-g++ >/dev/null 2>&1 || need g++-arm-linux-gnueabihf
}
runners() {
    [ -x /usr/lib/wine/wine64 ] || need wine64
    command -v wineboot >/dev/null 2>&1 || need wine
    command -v qemu-aarch64 >/dev/null 2>&1 || need qemu-user
}

[ $# -gt 0 ] || { echo "usage: $0 engine|format|test|fuzz|valgrind|package|fresh-debian|web|windows|arm64|armhf|dist|cross|release ..." >&2; exit 2; }
for target in "$@"; do
    case "$target" in
        engine) engine ;;
        format) format ;;
        test)
            engine
            gtest
            format
            [ -x /usr/games/polyglot ] || [ -x /usr/bin/polyglot ] || need polyglot
            ;;
        fuzz)
            engine
            command -v clang++ >/dev/null 2>&1 || need clang
            # libFuzzer comes with clang's runtime libraries.
            compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-$(uname -m).a" >/dev/null ||
                need libclang-rt-dev
            ;;
        valgrind)
            engine
            gtest
            command -v valgrind >/dev/null 2>&1 || need valgrind
            ;;
        package)
            engine
            command -v dpkg-shlibdeps >/dev/null 2>&1 || need dpkg-dev
            command -v file >/dev/null 2>&1 || need file
            ;;
        fresh-debian) command -v debootstrap >/dev/null 2>&1 || need debootstrap ;;
        web)
            engine
            command -v emcc >/dev/null 2>&1 || need emscripten
            command -v node >/dev/null 2>&1 || need nodejs
            command -v npm >/dev/null 2>&1 || need npm
            command -v chromium >/dev/null 2>&1 || need chromium
            ;;
        windows) windows ;;
        arm64) arm64 ;;
        armhf) armhf ;;
        dist)
            windows
            arm64
            armhf
            command -v zip >/dev/null 2>&1 || need zip
            command -v groff >/dev/null 2>&1 || need groff-base
            command -v strip >/dev/null 2>&1 || need binutils
            ;;
        cross)
            windows
            arm64
            armhf
            engine
            gtest
            runners
            [ -f /usr/src/googletest/CMakeLists.txt ] || need googletest
            ;;
        release)
            runners
            command -v unzip >/dev/null 2>&1 || need unzip
            command -v file >/dev/null 2>&1 || need file
            command -v wrestool >/dev/null 2>&1 || need icoutils
            [ -x /usr/games/polyglot ] || [ -x /usr/bin/polyglot ] || need polyglot
            ;;
        *) echo "unknown target: $target (engine, format, test, fuzz, valgrind, package, fresh-debian, web, windows, arm64, armhf, dist, cross or release)" >&2; exit 2 ;;
    esac
done

[ ${#missing[@]} -eq 0 ] && exit 0

# Without recommended packages: polyglot recommends chess engines, which the
# build neither needs nor wants. The line to paste refreshes the package lists
# first (a new Debian root has none) and asks no question.
install_command="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if ! command -v apt-get >/dev/null 2>&1; then
    echo "Missing: ${missing[*]} (Debian package names; on Debian: $install_command)" >&2
    exit 1
fi
if [ "$(id -u)" -eq 0 ]; then
    apt_get=(apt-get)
elif command -v sudo >/dev/null 2>&1 && { sudo -n true 2>/dev/null || [ -t 0 ]; }; then
    # sudo asks for a password only where someone can type it.
    apt_get=(sudo apt-get)
else
    echo "Missing: ${missing[*]}. As root, run: $install_command" >&2
    exit 1
fi
echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${apt_get[@]}" update -q
"${apt_get[@]}" install -y -q --no-install-recommends "${missing[@]}" </dev/null

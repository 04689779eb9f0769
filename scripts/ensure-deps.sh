#!/usr/bin/env bash
# Installs what the build needs on Debian when it is missing: a C++20 compiler,
# CMake, Ninja, GoogleTest, clang-format and polyglot (the xboard adapter the
# tests play a game through). Uses apt-get as root, or sudo when available.
#   scripts/ensure-deps.sh            what the build and the tests need
#   scripts/ensure-deps.sh fuzz       and clang with libFuzzer, for make fuzz
#   scripts/ensure-deps.sh valgrind   and valgrind, for make valgrind
set -euo pipefail

missing=()
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v ninja >/dev/null 2>&1 || missing+=(ninja-build)
command -v make >/dev/null 2>&1 || missing+=(make)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
command -v clang-format >/dev/null 2>&1 || missing+=(clang-format)
[ -x /usr/games/polyglot ] || [ -x /usr/bin/polyglot ] || missing+=(polyglot)
for extra in "$@"; do
    case "$extra" in
        fuzz)
            command -v clang++ >/dev/null 2>&1 || missing+=(clang)
            # libFuzzer comes with clang's runtime libraries.
            compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-$(uname -m).a" >/dev/null ||
                missing+=(libclang-rt-dev)
            ;;
        valgrind) command -v valgrind >/dev/null 2>&1 || missing+=(valgrind) ;;
        *) echo "unknown extra: $extra (fuzz or valgrind)" >&2; exit 2 ;;
    esac
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    apt_get=(apt-get)
elif command -v sudo >/dev/null 2>&1; then
    apt_get=(sudo apt-get)
else
    echo "Please install as root: apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${apt_get[@]}" update -q
# Without recommended packages: polyglot recommends chess engines, which the
# build neither needs nor wants.
"${apt_get[@]}" install -y -q --no-install-recommends "${missing[@]}"

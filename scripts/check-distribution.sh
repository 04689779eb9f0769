#!/usr/bin/env bash
# Builds Marrowby as engine-testing frameworks and packagers do, from a copy of
# the committed tree without .git (as git archive gives it):
#   - make -j EXE=<path> CXX=g++ writes the engine there, and "<engine> bench"
#     ends with the two lines frameworks read, its node count that of
#     bench/signature;
#   - --version and --help answer and exit 0;
#   - the format check lists its sources without git;
#   - make install and make uninstall under a PREFIX leave nothing behind but
#     the folder that was there before;
#   - make package builds a Debian package holding exactly the engine in
#     /usr/games, the polyglot configuration and the manual page.
# Every step reads an empty standard input, so one that waits on it fails.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/marrowby
mkdir "$tree"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git archive HEAD | tar -x -C "$tree"
else
    tar -c --exclude=./build . | tar -x -C "$tree"
fi
fail() { echo "check-distribution: $*" >&2; exit 1; }
step() { echo "== $*"; }

step "make -j EXE=$work/out/marrowby CXX=g++ (no .git)"
(cd "$tree" && make -j EXE="$work/out/marrowby" CXX=g++ </dev/null)
engine=$work/out/marrowby
[ -x "$engine" ] || fail "make EXE=... wrote no engine"

step "$engine bench"
"$engine" bench </dev/null >"$work/bench" 2>&1 || fail "bench failed: $(cat "$work/bench")"
tail -n 2 "$work/bench" | tee "$work/bench-tail"
signature=$(head -n 1 bench/signature)
head -n 1 "$work/bench-tail" | grep -qx "Nodes searched: $signature" ||
    fail "the first of the last two lines is not 'Nodes searched: $signature'"
tail -n 1 "$work/bench-tail" | grep -qxE 'Nodes/second: [0-9]+' || fail "the last line is not 'Nodes/second: N'"

step "--version, --help"
version=$(sed -n 's/.*ENGINE_VERSION = "\(.*\)".*/\1/p' core/version.h)
[ "$("$engine" --version </dev/null)" = "Marrowby $version" ] || fail "--version does not print 'Marrowby $version'"
"$engine" --help </dev/null | grep -q '^Usage: marrowby' || fail "--help prints no usage"

step "make format-check (no .git)"
(cd "$tree" && timeout 120 make format-check </dev/null) || fail "the format check failed or waited"

step "make install / uninstall PREFIX=$work/prefix"
mkdir -p "$work/prefix/bin"
(cd "$tree" && make install PREFIX="$work/prefix" </dev/null)
(cd "$work/prefix" && find . ! -type d | sort) >"$work/installed"
printf '%s\n' ./bin/marrowby ./share/man/man6/marrowby.6.gz ./share/marrowby/marrowby.ini | diff - "$work/installed" ||
    fail "make install put other files"
(cd "$tree" && make uninstall PREFIX="$work/prefix" </dev/null)
left=$(find "$work/prefix" -mindepth 1 ! -path "$work/prefix/bin")
[ -z "$left" ] || fail "make uninstall left: $left"
[ -d "$work/prefix/bin" ] || fail "make uninstall removed the folder bin/ that was there before"

step "make package (no .git)"
(cd "$tree" && make package </dev/null)
package=$(echo "$tree"/build/package/marrowby_"$version"_*.deb)
[ -f "$package" ] || fail "no package marrowby_${version}_*.deb"
dpkg-deb -c "$package" | awk '$1 !~ /^d/ {print $6}' | sort >"$work/packaged"
printf '%s\n' ./usr/games/marrowby ./usr/share/man/man6/marrowby.6.gz ./usr/share/marrowby/marrowby.ini |
    diff - "$work/packaged" || fail "the package holds other files"
for field in Package:marrowby Version:"$version" Section:games; do
    [ "$(dpkg-deb -f "$package" "${field%%:*}")" = "${field#*:}" ] || fail "the package's ${field%%:*} is not ${field#*:}"
done
dpkg-deb -x "$package" "$work/unpacked"
[ "$("$work/unpacked/usr/games/marrowby" --version </dev/null)" = "Marrowby $version" ] ||
    fail "the packaged engine does not run"
zcat "$work/unpacked/usr/share/man/man6/marrowby.6.gz" | grep -q '^\.TH MARROWBY 6 .*'"$version" ||
    fail "the manual page is not marrowby(6) of version $version"
echo "check-distribution: all passed"

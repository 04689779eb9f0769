#!/usr/bin/env bash
# Writes the release archives a user downloads to the directory given (make
# dist builds the three engines first):
#   marrowby-<version>-windows-x86-64.zip    marrowby.exe, README.txt, marrowby.ini
#   marrowby-<version>-linux-x86-64.tar.gz   marrowby, README.md, marrowby.ini, marrowby.6
#   marrowby-<version>-linux-arm64.tar.gz    the same for 64-bit ARM
# Each unpacks into a directory of its own name. The engines are stripped of
# their symbols; the Windows files have CRLF line ends, as Notepad and
# polyglot there read them.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: $0 OUTPUT_DIRECTORY}
version=$(sed -n 's/.*ENGINE_VERSION = "\(.*\)".*/\1/p' core/version.h)
[ -n "$version" ] || { echo "make-dist: no version in core/version.h" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# stage NAME ENGINE STRIP: a directory NAME holding the stripped engine.
stage() {
    mkdir "$work/$1"
    cp "$2" "$work/$1/"
    "$3" "$work/$1/$(basename "$2")"
}
crlf() { sed 's/$/\r/' "$1" >"$2"; }

name=marrowby-$version-linux-x86-64
stage "$name" build/engine-g++/marrowby strip
cp README.md xboard/marrowby.ini build/engine-g++/marrowby.6 "$work/$name/"
tar -czf "$out/$name.tar.gz" -C "$work" --owner=0 --group=0 "$name"

name=marrowby-$version-linux-arm64
stage "$name" build/arm64/marrowby aarch64-linux-gnu-strip
cp README.md xboard/marrowby.ini build/arm64/marrowby.6 "$work/$name/"
tar -czf "$out/$name.tar.gz" -C "$work" --owner=0 --group=0 "$name"

name=marrowby-$version-windows-x86-64
stage "$name" build/windows/marrowby.exe x86_64-w64-mingw32-strip
crlf README.md "$work/$name/README.txt"
crlf xboard/marrowby.ini "$work/$name/marrowby.ini"
rm -f "$out/$name.zip"
(cd "$work" && zip -q -r "$out/$name.zip" "$name")

for archive in "$out"/marrowby-"$version"-*; do echo "Archive: $archive"; done

#!/usr/bin/env bash
# Writes the release archives a user downloads to the directory given (make
# dist builds the engines and the page first):
#   marrowby-<version>-windows-x86-64.zip    marrowby.exe, README.txt, MANUAL.txt, marrowby.ini
#   marrowby-<version>-linux-x86-64.tar.gz   marrowby, README.md, marrowby.6, marrowby.ini
#   marrowby-<version>-linux-arm64.tar.gz    the same for 64-bit ARM Linux and Android
#   marrowby-<version>-linux-armhf.tar.gz    the same for 32-bit ARM
#   marrowby-<version>-web.zip               the page's folder of make web, with README.txt
#   SHA256SUMS                               the checksums of the five, for sha256sum -c
# Each unpacks into a directory of its own name. The READMEs are made from
# packaging/release: each platform's own text, then the commands. The engines
# are stripped of their symbols; the Windows files have CRLF line ends, as
# Notepad and polyglot there read them, and the manual page comes as text.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: $0 OUTPUT_DIRECTORY}
version=$(sed -n 's/.*ENGINE_VERSION = "\(.*\)".*/\1/p' core/version.h)
[ -n "$version" ] || { echo "make-dist: no version in core/version.h" >&2; exit 1; }
signature=$(head -n 1 bench/signature)
texts=packaging/release
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/marrowby-*.tar.gz "$out"/marrowby-*.zip "$out/SHA256SUMS"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# stage NAME ENGINE STRIP: a directory NAME holding the stripped engine.
stage() {
    mkdir "$work/$1"
    cp "$2" "$work/$1/"
    "$3" "$work/$1/$(basename "$2")"
}
crlf() { sed 's/$/\r/' "$1" >"$2"; }
# fill TEMPLATE NAME [PROCESSOR PROCESSOR_NOTE ANDROID_SECTION]: the template
# filled in, the Android section (or nothing) in place of its @ANDROID@ line.
fill() {
    sed -e "s|@VERSION@|$version|g" -e "s|@NAME@|$2|g" -e "s|@SIGNATURE@|$signature|g" \
        -e "s|@PROCESSOR@|${3:-}|g" -e "s|@PROCESSOR_NOTE@|${4:-}|g" \
        -e "/^@ANDROID@$/{r ${5:-/dev/null}" -e 'd}' "$1"
}
# readme TEMPLATE NAME ...: the template filled in, then the commands.
readme() {
    fill "$@"
    echo
    cat "$texts/commands.txt"
}

# linux ARCHIVE_SUFFIX BUILD STRIP PROCESSOR PROCESSOR_NOTE ANDROID_SECTION
linux() {
    local name=marrowby-$version-linux-$1
    stage "$name" "build/$2/marrowby" "$3"
    readme "$texts/README-linux.md" "$name" "$4" "$5" "$6" >"$work/$name/README.md"
    cp "build/$2/marrowby.6" "$work/$name/"
    cp "$texts/marrowby-linux.ini" "$work/$name/marrowby.ini"
    tar -czf "$out/$name.tar.gz" -C "$work" --owner=0 --group=0 "$name"
}
linux x86-64 static strip "x86-64" "" ""
linux arm64 arm64 aarch64-linux-gnu-strip "64-bit ARM (arm64)" \
    ": Raspberry Pi 3, 4 and 5 with a 64-bit system, ARM servers and laptops, Android phones" "$texts/android.md"
linux armhf armhf arm-linux-gnueabihf-strip "32-bit ARM (armhf)" \
    ", ARMv7 or newer: Raspberry Pi OS 32-bit, older Android phones" "$texts/android.md"

name=marrowby-$version-windows-x86-64
stage "$name" build/windows/marrowby.exe x86_64-w64-mingw32-strip
readme "$texts/README-windows.txt" "$name" >"$work/README.txt"
crlf "$work/README.txt" "$work/$name/README.txt"
# The manual page as plain text: no bold or underlining by overstriking.
groff -man -Tascii -P-c -P-b -P-u build/windows/marrowby.6 >"$work/MANUAL.txt"
crlf "$work/MANUAL.txt" "$work/$name/MANUAL.txt"
crlf "$texts/marrowby-windows.ini" "$work/$name/marrowby.ini"
(cd "$work" && zip -q -r "$out/$name.zip" "$name")

name=marrowby-$version-web
cp -r build/web "$work/$name"
fill "$texts/README-web.txt" "$name" >"$work/$name/README.txt"
(cd "$work" && zip -q -r "$out/$name.zip" "$name")

(cd "$out" && sha256sum marrowby-"$version"-* >SHA256SUMS)
for archive in "$out"/marrowby-"$version"-* "$out/SHA256SUMS"; do
    echo "Archive: $archive ($(stat -c %s "$archive") bytes)"
done

#!/usr/bin/env bash
# Writes the release archives (make dist) and checks each as a user meets it,
# unpacked into an empty folder and used as its README says:
#   - the archive holds the files it should, every file its README names is
#     there, its text files have the line ends of its system;
#   - the engine answers uci under its runner, run from that folder: natively,
#     under qemu-aarch64 and qemu-arm with an empty folder as the system's root
#     (a phone without Linux's C library sees it so), under wine64; its bench
#     counts the nodes of bench/signature; file reports the Linux engines
#     statically linked;
#   - polyglot marrowby.ini, started in the folder, starts the engine there
#     (the ARM engines, which this machine cannot start by themselves, with
#     polyglot's -ec naming their emulator; their ini is the x86-64 one);
#   - marrowby.exe carries its version information and its --help names
#     README.txt;
#   - the page's archive holds the folder of make web;
#   - sha256sum -c SHA256SUMS verifies every archive.
# Every step reads an empty standard input unless it feeds one.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
scripts/ensure-deps.sh dist release
export WINEPREFIX=${WINEPREFIX:-$PWD/build/wine} WINEDEBUG=-all
wine=/usr/lib/wine/wine64
polyglot=$(command -v polyglot || echo /usr/games/polyglot)
fail() { echo "check-release: $*" >&2; exit 1; }
step() { echo "== [${SECONDS} s] $*"; }
exec </dev/null

step "make dist"
make --no-print-directory dist
version=$(sed -n 's/.*ENGINE_VERSION = "\(.*\)".*/\1/p' core/version.h)
signature=$(head -n 1 bench/signature)
dist=$PWD/build/dist
check=$PWD/build/release-check
rm -rf "$check" && mkdir -p "$check/empty-root"
empty_root=$check/empty-root
mkdir -p "$WINEPREFIX"

step "sha256sum -c SHA256SUMS"
(cd "$dist" && sha256sum -c SHA256SUMS)
[ "$(wc -l <"$dist/SHA256SUMS")" -eq 5 ] || fail "SHA256SUMS does not list the five archives"

# unpack ARCHIVE: unpacks it into an empty folder and prints the folder it
# holds, which must be the archive's own name.
unpack() {
    local archive=$dist/$1 into=$check/${1%%.tar.gz}
    into=${into%.zip}
    mkdir "$into"
    case "$1" in
        *.zip) unzip -q "$archive" -d "$into" ;;
        *) tar -xzf "$archive" -C "$into" ;;
    esac
    [ "$(ls "$into")" = "$2" ] || fail "$1 does not unpack into one folder $2"
    echo "$into/$2"
}
# holds FOLDER FILE...: the folder holds exactly these files.
holds() {
    local folder=$1
    shift
    [ "$(cd "$folder" && ls | sort | tr '\n' ' ')" = "$(printf '%s\n' "$@" | sort | tr '\n' ' ')" ] ||
        fail "$folder holds $(ls "$folder" | tr '\n' ' '), not $*"
}
# named FOLDER README: every file the README names is in the folder.
named() {
    local file
    for file in $(grep -oE '[A-Za-z0-9_.-]+\.(exe|ini|txt|md|6|html|js|wasm)\b' "$1/$2" | sort -u); do
        [ -e "$1/$file" ] || fail "$2 of $1 names $file, which is not there"
    done
}
# line_ends FOLDER crlf|lf FILE...: the text files end every line so.
line_ends() {
    local folder=$1 ends=$2 file
    shift 2
    for file in "$@"; do
        local lines crs
        lines=$(wc -l <"$folder/$file")
        crs=$(grep -c $'\r$' "$folder/$file" || true)
        if [ "$ends" = crlf ]; then
            [ "$crs" -eq "$lines" ] || fail "$file: $crs of $lines lines end in CRLF"
        else
            [ "$crs" -eq 0 ] || fail "$file: $crs lines end in CR"
        fi
    done
}
# answers FOLDER RUNNER...: the engine, run in the folder under its runner,
# answers uci and counts the bench's nodes.
answers() {
    local folder=$1
    shift
    (cd "$folder" && printf 'uci\nquit\n' | "$@") | tr -d '\r' >"$check/uci"
    if ! grep -qx "id name Marrowby $version" "$check/uci" || ! grep -qx uciok "$check/uci"; then
        fail "$* in $folder answers uci with: $(cat "$check/uci")"
    fi
    (cd "$folder" && "$@" bench) | tr -d '\r' | tail -n 2 >"$check/bench"
    grep -qx "Nodes searched: $signature" "$check/bench" || fail "$* bench: $(cat "$check/bench")"
}
# plays FOLDER [POLYGLOT ARGUMENTS...]: polyglot marrowby.ini, started in the
# folder, starts the engine there, which answers 1. e4 with a move.
plays() {
    local folder=$1 played=$check/polyglot
    shift
    : >"$played"
    {
        printf 'xboard\nprotover 2\nnew\nsd 4\nusermove e2e4\n'
        for _ in $(seq 600); do
            grep -q '^move ' "$played" && break
            sleep 0.1
        done
        echo quit
    } | (cd "$folder" && timeout 90 "$polyglot" marrowby.ini "$@" >"$played" 2>&1) || true
    grep -q '^move [a-h][1-8][a-h][1-8]' "$played" ||
        fail "polyglot marrowby.ini $* in $folder: $(tr -d '\r' <"$played")"
}

declare -A runner=([x86-64]="" [arm64]="qemu-aarch64 -L $empty_root" [armhf]="qemu-arm -L $empty_root")
for target in x86-64 arm64 armhf; do
    name=marrowby-$version-linux-$target
    step "$name.tar.gz"
    folder=$(unpack "$name.tar.gz" "$name")
    holds "$folder" README.md marrowby marrowby.6 marrowby.ini
    named "$folder" README.md
    line_ends "$folder" lf README.md marrowby.6 marrowby.ini
    description=$(file -b "$folder/marrowby")
    echo "marrowby: $description"
    [[ "$description" == *"statically linked"* || "$description" == *"static-pie linked"* ]] ||
        fail "the $target engine is not linked statically"
    # shellcheck disable=SC2086
    answers "$folder" ${runner[$target]} ./marrowby
    if [ "$target" = x86-64 ]; then
        plays "$folder"
        linux_ini=$folder/marrowby.ini
    else
        cmp "$folder/marrowby.ini" "$linux_ini" || fail "the $target ini is not the x86-64 one"
        plays "$folder" -ec "${runner[$target]} ./marrowby"
    fi
    grep -q '^## On Android' "$folder/README.md" || [ "$target" = x86-64 ] || fail "the $target README has no Android section"
done

name=marrowby-$version-windows-x86-64
step "$name.zip"
folder=$(unpack "$name.zip" "$name")
holds "$folder" README.txt MANUAL.txt marrowby.exe marrowby.ini
named "$folder" README.txt
line_ends "$folder" crlf README.txt MANUAL.txt marrowby.ini
answers "$folder" "$wine" marrowby.exe
"$wine" "$folder/marrowby.exe" --help | tr -d '\r' | grep -q 'See README.txt beside marrowby.exe' ||
    fail "marrowby.exe --help does not name README.txt"
# polyglot of this machine reads the Windows ini (CRLF) and starts the
# engine under wine from the folder.
plays "$folder" -ec "$wine marrowby.exe"
information=$(wrestool -x --raw --type=version "$folder/marrowby.exe" | strings -el | paste -sd '|')
echo "version information: $information"
for field in "ProductName|Marrowby" "ProductVersion|$version" "FileVersion|$version" \
    "FileDescription|Marrowby chess engine (UCI)"; do
    [[ "|$information|" == *"|$field|"* ]] || fail "marrowby.exe lacks the version information $field"
done

name=marrowby-$version-web
step "$name.zip"
folder=$(unpack "$name.zip" "$name")
named "$folder" README.txt
line_ends "$folder" lf README.txt
diff -r -x README.txt build/web "$folder" || fail "$name.zip does not hold the folder of make web"

rm -rf "$check"
echo "check-release: all passed in ${SECONDS} s"

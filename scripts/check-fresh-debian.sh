#!/usr/bin/env bash
# Sets Marrowby up as a new user of a fresh Debian does, in a minimal root of
# this machine's own Debian release (debootstrap --variant=minbase from the
# mirror that apt uses here) holding only git and make, with the committed tree
# cloned into it:
#   - as a user without root or sudo, make run, make test and make package each
#     stop with one line that names every package they need at once, as a
#     pasteable "apt-get update && apt-get install -y ..." line;
#   - as root: the README's two set-up commands (make run with its input from
#     printf, then make test after running the user's pasted line, which must
#     leave make test nothing to install), make package and installing the
#     package with dpkg, then make install and make uninstall under
#     PREFIX=$HOME/.local (without compiling again; the folders the install
#     created go again) and under the default PREFIX (/usr/local/bin stays).
# Needs root (debootstrap, chroot, mount). The root is removed afterwards; the
# logs of the steps stay in build/fresh-debian/. Every step reads an empty
# standard input, so one that asks a question fails.
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "check-fresh-debian: $*" >&2; exit 1; }
step() { printf '== [%d:%02d] %s\n' $((SECONDS / 60)) $((SECONDS % 60)) "$*"; }
[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot and mount)"
scripts/ensure-deps.sh fresh-debian

# The URI from which apt takes a suite here: deb822 .sources files, then
# one-line .list files.
mirror_of() {
    local suite=$1 file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" '
            function flush() {
                if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && enabled != "no" && uris != "") {
                    split(uris, uri, " "); print uri[1]; found = 1; exit
                }
                types = suites = uris = enabled = ""
            }
            /^#/ { next }
            /^[ \t]*$/ { flush(); next }
            /^[^ \t]/ {
                key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^ +/, "")
                if (key == "types") types = $0; else if (key == "uris") uris = $0
                else if (key == "suites") suites = $0; else if (key == "enabled") enabled = tolower($0)
            }
            END { if (!found) flush() }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" '
            $1 == "deb" { field = 2; if ($2 ~ /^\[/) { while ($field !~ /\]$/) field++; field++ }
                          if ($(field + 1) == suite) { print $field; exit } }' "$file"
    done
}
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$codename" ] || fail "this machine's Debian release has no code name in /etc/os-release"
mirror=$(mirror_of "$codename")
mirror=${mirror%%$'\n'*}
[ -n "$mirror" ] || fail "apt here takes no suite '$codename' from any mirror"

logs=$PWD/build/fresh-debian
rm -rf "$logs"
mkdir -p "$logs"
root=$(mktemp -d "${TMPDIR:-/tmp}/marrowby-fresh-debian.XXXXXX")
chmod 755 "$root"
mounts_under_root() { awk -v root="$root" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/mounts | sort -r; }
cleanup() {
    local mount
    step "removing $root"
    for mount in $(mounts_under_root); do umount "$mount" || umount -l "$mount"; done
    if [ -n "$(mounts_under_root)" ]; then
        echo "check-fresh-debian: $root is still mounted; left in place" >&2
    else
        rm -rf --one-file-system "$root"
        step "removed the root"
    fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Runs a step's command, its output in build/fresh-debian/NAME.log; on a
# failure shows the end of the log and stops.
logged() {
    local name=$1
    shift
    "$@" </dev/null >"$logs/$name.log" 2>&1 || { tail -n 60 "$logs/$name.log"; fail "$name failed (build/fresh-debian/$name.log)"; }
}
home=/home/player
inside() { chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    CI=true /bin/bash -c "$1"; }
as_root() { inside "cd /root/marrowby && $1"; }
as_user() { chroot --userspec=player:player "$root" /usr/bin/env -i HOME=$home PATH=/usr/local/bin:/usr/bin:/bin:/usr/games \
    CI=true /bin/bash -c "cd ~/marrowby && $1"; }

step "debootstrap --variant=minbase $codename (the mirror of apt's sources here) into $root"
logged debootstrap debootstrap --variant=minbase "$codename" "$root" "$mirror"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"

step "apt-get install -y git make (as a new user sets the root up)"
logged base inside "apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y git make"
inside "useradd --create-home --shell /bin/bash player"
commit=$(git rev-parse HEAD)
for home_dir in "$root/root" "$root$home"; do
    git clone --quiet --no-local "$PWD" "$home_dir/marrowby"
    git -C "$home_dir/marrowby" checkout --quiet --detach "$commit"
done
inside "chown -R player:player $home/marrowby"

# The one line of a target that stops for missing packages: it must name each
# of the packages given, in an "apt-get update && apt-get install -y" line.
missing_line() {
    local target=$1 line
    shift
    if as_user "make $target" </dev/null >"$logs/user-$target.log" 2>&1; then
        fail "make $target as a user without root passed in a bare root"
    fi
    [ "$(grep -c '^Missing: ' "$logs/user-$target.log")" -eq 1 ] ||
        fail "make $target as a user does not stop with one 'Missing:' line: $(tail -n 5 "$logs/user-$target.log")"
    line=$(sed -n 's/^Missing: .*As root, run: //p' "$logs/user-$target.log")
    [[ $line == "apt-get update && apt-get install -y "* ]] || fail "make $target names no pasteable line: $line"
    for package in "$@"; do
        [[ " $line " == *" $package "* ]] || fail "make $target does not name $package: $line"
    done
    echo "make $target: $line" >&2
    echo "$line"
}
step "as a user without root: what make run, make test and make package name"
missing_line run g++ cmake >/dev/null
test_line=$(missing_line test g++ cmake libgtest-dev clang-format polyglot)
missing_line package g++ cmake dpkg-dev file >/dev/null

step "as root: printf 'uci\\nquit\\n' | make run"
logged make-run as_root "printf 'uci\\nquit\\n' | make run"
grep -qx uciok "$logs/make-run.log" || fail "make run started no engine that answers uciok"

step "as root: the user's line: $test_line"
logged pasted-line inside "$test_line"

step "as root: make test"
logged make-test as_root "make test"
! grep -q '^Installing missing packages' "$logs/make-test.log" ||
    fail "make test installed packages that its line did not name: $(grep '^Installing missing' "$logs/make-test.log")"
grep -E 'tests passed' "$logs/make-test.log"

step "as root: make package, dpkg -i, dpkg -r"
logged make-package as_root "make package"
logged dpkg as_root 'dpkg -i build/package/marrowby_*.deb && /usr/games/marrowby --version && dpkg -r marrowby'
grep '^Marrowby ' "$logs/dpkg.log"
[ ! -e "$root/usr/games/marrowby" ] || fail "dpkg -r left /usr/games/marrowby"

step "as root: make install / uninstall PREFIX=\$HOME/.local, then with the default PREFIX"
logged make-install as_root 'make install PREFIX=$HOME/.local && $HOME/.local/bin/marrowby --version'
! grep -q 'Building CXX' "$logs/make-install.log" || fail "make install compiled the engine again after make package"
logged make-uninstall as_root 'make uninstall PREFIX=$HOME/.local'
[ ! -e "$root/root/.local" ] || fail "make uninstall left $(find "$root/root/.local")"
logged make-install-default as_root 'make install && marrowby --version && make uninstall'
[ -d "$root/usr/local/bin" ] || fail "make uninstall removed /usr/local/bin, which was there before"
left=$(find "$root/usr/local" -name 'marrowby*')
[ -z "$left" ] || fail "make uninstall left $left"
echo "check-fresh-debian: all passed"

#!/usr/bin/env bash
# make install and make uninstall: puts the files that the build directory's
# install rules name (the engine, its polyglot configuration, the manual page)
# under a prefix, or removes them again.
#   scripts/install.sh install BUILD_DIR PREFIX
#   scripts/install.sh uninstall BUILD_DIR PREFIX
# A directory is removed only when an install created it and it is empty: the
# install records the directories it creates in build/created-directories, and
# uninstall removes those, deepest first. Directories that were there before
# (~/.local/bin, say) stay, and so does everything without that record.
# share/marrowby belongs to the engine alone and goes once empty.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 install|uninstall BUILD_DIR PREFIX" >&2; exit 2; }
action=$1
build=$2
prefix=$(realpath -m "$3")
cd "$(dirname "$0")/.."
record=build/created-directories

# The install's files and directories, from an install into an empty staging
# directory: one absolute path a line.
staged=$(mktemp -d)
trap 'rm -rf "$staged"' EXIT
DESTDIR=$staged cmake --install "$build" --prefix "$prefix" >/dev/null
staged_paths() { (cd "$staged" && find . -mindepth 1 "$@") | sed 's|^\.||' | sort; }

case "$action" in
    install)
        created=$(staged_paths -type d | while read -r dir; do [ -d "$dir" ] || echo "$dir"; done)
        cmake --install "$build" --prefix "$prefix"
        if [ -n "$created" ]; then
            mkdir -p "$(dirname "$record")"
            { [ ! -f "$record" ] || cat "$record"; echo "$created"; } | sort -u >"$record.new"
            mv "$record.new" "$record"
        fi
        ;;
    uninstall)
        staged_paths ! -type d | while read -r file; do rm -fv "$file"; done
        owned=$(staged_paths -type d | grep -x -F -f <(printf '%s\n' "$prefix/share/marrowby"
            [ ! -f "$record" ] || cat "$record") || true)
        sort -r <<<"$owned" | while read -r dir; do
            [ -z "$(find "$dir" -maxdepth 0 -empty 2>/dev/null)" ] || rmdir -v "$dir"
        done
        if [ -f "$record" ]; then
            while read -r dir; do [ ! -d "$dir" ] || echo "$dir"; done <"$record" >"$record.new"
            if [ -s "$record.new" ]; then mv "$record.new" "$record"; else rm -f "$record.new" "$record"; fi
        fi
        ;;
    *) echo "usage: $0 install|uninstall BUILD_DIR PREFIX" >&2; exit 2 ;;
esac

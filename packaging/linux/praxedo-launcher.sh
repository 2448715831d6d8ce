#!/bin/sh
# Starts Praxedo (or praxedo-cli, after the name it is called by) for the current user.
#
# The program keeps its workspace beside its executable: Praxedo.xml, MASTER, PROJECTS,
# LANGUAGE, the update job file and the external tools. The packaged tree under /opt/praxedo
# belongs to root, so every user runs a private copy of the executables from a workspace of
# their own, ${XDG_DATA_HOME:-~/.local/share}/praxedo. The copy is refreshed when the package
# brings new executables; shipped language files and flags are added when missing and never
# replace a file the user changed.
set -eu

here=$(dirname "$(readlink -f "$0")")
tree=$(readlink -f "$here/../../opt/praxedo" 2>/dev/null || true)
[ -n "$tree" ] && [ -d "$tree" ] || tree=/opt/praxedo

name=$(basename "$0")
case "$name" in
praxedo-cli) ;;
*) name=praxedo ;;
esac

if [ -z "${HOME:-}" ]; then
    echo "$name: HOME is not set, so there is no place for the workspace" >&2
    exit 1
fi
workspace=${XDG_DATA_HOME:-$HOME/.local/share}/praxedo
mkdir -p "$workspace/MASTER" "$workspace/PROJECTS" "$workspace/LANGUAGE"

for exe in praxedo praxedo-cli; do
    [ -f "$tree/$exe" ] || continue
    if ! cmp -s "$tree/$exe" "$workspace/$exe"; then
        # Replaced by rename so that a running copy keeps its file.
        cp "$tree/$exe" "$workspace/.$exe.new"
        chmod 755 "$workspace/.$exe.new"
        mv -f "$workspace/.$exe.new" "$workspace/$exe"
    fi
done

if [ -d "$tree/LANGUAGE" ]; then
    for f in "$tree/LANGUAGE"/*; do
        [ -f "$f" ] || continue
        target="$workspace/LANGUAGE/$(basename "$f")"
        [ -e "$target" ] || cp "$f" "$target"
    done
fi

exec "$workspace/$name" "$@"

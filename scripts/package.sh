#!/usr/bin/env bash
# Builds the .deb from the build in ./build (or $BUILD_DIR), unpacks it into a scratch root
# and starts both programs from it, as a user with an empty home would.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
(cd "$build" && rm -f praxedo_*.deb && cpack -G DEB)
deb=$(ls "$build"/praxedo_*.deb)
dpkg-deb --info "$deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
mkdir "$scratch/home"

for f in opt/praxedo/praxedo opt/praxedo/praxedo-cli usr/bin/praxedo usr/bin/praxedo-cli \
         usr/share/applications/praxedo.desktop usr/share/icons/hicolor/scalable/apps/praxedo.svg; do
  [ -e "$scratch/root/$f" ] || { echo "package lacks $f" >&2; exit 1; }
done
for d in MASTER PROJECTS LANGUAGE; do
  [ -d "$scratch/root/opt/praxedo/$d" ] || { echo "package lacks opt/praxedo/$d" >&2; exit 1; }
done

"$scratch/root/opt/praxedo/praxedo-cli" --help

# Through the launcher: the per-user workspace is laid out and the copy runs.
HOME=$scratch/home XDG_DATA_HOME= "$scratch/root/usr/bin/praxedo-cli" --help > /dev/null
ws=$scratch/home/.local/share/praxedo
for f in praxedo praxedo-cli MASTER PROJECTS LANGUAGE; do
  [ -e "$ws/$f" ] || { echo "launcher did not lay out $ws/$f" >&2; exit 1; }
done
for f in "$scratch/root/opt/praxedo/LANGUAGE"/*; do
  [ -e "$f" ] || continue
  cmp -s "$f" "$ws/LANGUAGE/$(basename "$f")" || { echo "launcher did not copy $f" >&2; exit 1; }
done

# The configurator starts and keeps running until it is stopped.
set +e
HOME=$scratch/home XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen timeout 5 "$scratch/root/usr/bin/praxedo"
rc=$?
set -e
if [ $rc -ne 124 ]; then
  echo "the packaged configurator ended early (exit code $rc)" >&2
  exit 1
fi
echo "package check passed: $(basename "$deb")"

#!/usr/bin/env bash
# Renders the real windows headless into PNG files.
#   scripts/screenshots.sh            -> $BUILD_DIR/screenshots (default build/screenshots)
#   scripts/screenshots.sh OUTDIR     -> OUTDIR
#   scripts/screenshots.sh --docs     -> refreshes the pictures in docs/
#   scripts/screenshots.sh --lang Italiano OUTDIR -> the windows in another shipped language
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
lang=()
if [ "${1:-}" = --lang ]; then
  lang=(--lang "$2")
  shift 2
fi
case "${1:-}" in
  --docs) out=$root/docs ;;
  "") out=$build/screenshots ;;
  *) out=$1 ;;
esac
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
fi
cmake --build "$build" --target praxedo-screenshots praxedo-editor-screenshots
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/tools/praxedo-screenshots" "${lang[@]}" "$out"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/tools/praxedo-editor-screenshots" "${lang[@]}" "$out"

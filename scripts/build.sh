#!/usr/bin/env bash
# Configures and builds into ./build (or $BUILD_DIR): everything, or with --programs only the
# configurator, praxedo-cli and their language files. Other arguments go to CMake's configure.
# PRAXEDO_WERROR=ON (as CI sets it) makes every warning an error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
targets=()
if [ "${1:-}" = "--programs" ]; then
  shift
  targets=(--target praxedo praxedo-cli praxedo_language)
fi
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
# Build folders share cache entries (build-nobus reuses build/ entries).
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
  -DPRAXEDO_WERROR=${PRAXEDO_WERROR:-OFF} "$@"
cmake --build "$build" "${targets[@]}"

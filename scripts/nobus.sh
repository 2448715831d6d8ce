#!/usr/bin/env bash
# Builds without Qt SerialBus, as where Qt lacks that module, into ./build-nobus (or
# $NOBUS_BUILD_DIR): the programs and the test of what that build offers for the bus, which
# then runs. Everything else is the same source as the full build, whose ccache entries it
# reuses. ALL=1 builds and runs every test of that variant instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NOBUS_BUILD_DIR:-$root/build-nobus}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6SerialBus=ON -DPRAXEDO_WERROR=${PRAXEDO_WERROR:-OFF} "$@"
if [ "${ALL:-0}" = 1 ]; then
  cmake --build "$build"
  (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
else
  cmake --build "$build" --target praxedo praxedo-cli busentry_tst_busentry
  (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -R '^busentry_')
fi

#!/usr/bin/env bash
# Builds the whole tree with AddressSanitizer and UndefinedBehaviorSanitizer into ./build-asan
# (or $ASAN_BUILD_DIR) and runs every test, GUI tests included (offscreen). Any report fails
# the run: undefined behaviour aborts, and leaks are reported at each program's exit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ASAN_BUILD_DIR:-$root/build-asan}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPRAXEDO_SANITIZE=ON -DPRAXEDO_BUILD_BENCH=OFF \
  -DPRAXEDO_WERROR=${PRAXEDO_WERROR:-OFF} > /dev/null
cmake --build "$build"

supp=$root/scripts/sanitizers
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp
export LSAN_OPTIONS=suppressions=$supp/lsan.supp:print_suppressions=0
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 900

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into ./build-fuzz (or $FUZZ_BUILD_DIR) and runs each
# for $FUZZ_SECONDS seconds (default 25) from its seed corpus. Fails on any crash, leak,
# time-out (10 s for one input), memory blow-up (2 GB) or sanitizer report; the input that did
# it is left in build-fuzz/fuzz-artifacts/<target>/ and shown. Arguments name targets to run
# (default: all).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-25}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DPRAXEDO_FUZZ=ON -DPRAXEDO_BUILD_TESTS=OFF -DPRAXEDO_BUILD_BENCH=OFF -DPRAXEDO_WERROR=${PRAXEDO_WERROR:-OFF} > /dev/null
cmake --build "$build" --target fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/fuzz/fuzz_*.cpp; do
    t=$(basename "$f" .cpp)
    targets+=("${t#fuzz_}")
  done
fi

failed=()
for t in "${targets[@]}"; do
  corpus=$build/fuzz-run/$t
  artifacts=$build/fuzz-artifacts/$t
  rm -rf "$corpus" "$artifacts"
  mkdir -p "$corpus" "$artifacts"
  echo "== fuzz_$t for ${seconds}s"
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
       -artifact_prefix="$artifacts/" "$corpus" "$build/fuzz-corpus/$t" > "$build/fuzz-$t.log" 2>&1; then
    grep -E "^Done [0-9]+ runs" "$build/fuzz-$t.log" || true
  else
    failed+=("$t")
    tail -n 60 "$build/fuzz-$t.log"
    for a in "$artifacts"/*; do
      [ -e "$a" ] || continue
      echo "-- input kept as $a (keep it under fuzz/regressions/$t/ once fixed):"
      od -A d -c "$a" | head -n 40
    done
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets ran ${seconds}s each without a finding"

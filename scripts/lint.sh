#!/usr/bin/env bash
# Static analysis of the project's own sources (src, tests, bench, fuzz, tools): clang-tidy 14
# with the checks in .clang-tidy, and clazy at level 1. Configures ./build-lint (or
# $LINT_BUILD_DIR) for a compile database and runs Qt's code generators there (nothing is
# compiled), then analyses every project source of that database, $LINT_JOBS (2) at a time.
# Fails on any finding. Arguments, if any, are regular expressions that narrow the files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LINT_BUILD_DIR:-$root/build-lint}
jobs=${LINT_JOBS:-2}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
for tool in clang-tidy-14 run-clang-tidy-14 clazy-standalone; do
  command -v $tool > /dev/null || { echo "$tool not found (apt-get install clang-tidy-14 clazy)" >&2; exit 1; }
done

start=$(date +%s)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DCMAKE_GLOBAL_AUTOGEN_TARGET=ON > /dev/null
# The sources include what moc generates; the database alone does not make it.
cmake --build "$build" --target autogen > /dev/null

# The project's translation units, not the generated ones inside the build folder.
mapfile -t files < <(python3 - "$build/compile_commands.json" "$root" "$@" <<'PY'
import json, os, re, sys
db, root, patterns = sys.argv[1], sys.argv[2], sys.argv[3:]
own = re.compile(re.escape(root) + r'/(src|tests|bench|fuzz|tools)/')
seen = set()
for entry in json.load(open(db)):
    f = os.path.normpath(os.path.join(entry['directory'], entry['file']))
    if own.match(f) and f not in seen and all(re.search(p, f) for p in patterns):
        seen.add(f)
        print(f)
PY
)
[ ${#files[@]} -gt 0 ] || { echo "lint: no sources matched" >&2; exit 1; }
echo "lint: ${#files[@]} sources, $jobs at a time (set up in $(( $(date +%s) - start )) s)"

tidy_log=$build/clang-tidy.log
clazy_log=$build/clazy.log
start=$(date +%s)
# run-clang-tidy takes regular expressions; the list is exact paths.
run-clang-tidy-14 -p "$build" -j "$jobs" -quiet -clang-tidy-binary clang-tidy-14 \
  "${files[@]/#/^}" > "$tidy_log" 2>&1 || true
echo "clang-tidy: $(( $(date +%s) - start )) s"

start=$(date +%s)
# Headers of the project are checked where a source includes them; Qt's and the build's not.
# qstring-ref is left out: it asks for midRef() and the like, which Qt 6 no longer has.
printf '%s\0' "${files[@]}" | xargs -0 -P "$jobs" -n 4 clazy-standalone -p "$build" -checks=level1,no-qstring-ref \
  -header-filter="$root/(src|tests|bench|fuzz|tools)/" -ignore-dirs="^(/usr/|$build/)" > "$clazy_log" 2>&1 || true
echo "clazy: $(( $(date +%s) - start )) s"

# A finding is a "file:line:col: warning|error:" line; one in a header shows once per includer.
findings() { sed 's/\x1b\[[0-9;]*m//g' "$1" | grep -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error):' | sort -u || true; }
tidy=$(findings "$tidy_log")
clazy=$(findings "$clazy_log")
status=0
if [ -n "$tidy" ]; then
  echo "$tidy"
  echo "clang-tidy: $(wc -l <<< "$tidy") findings (full output: $tidy_log)" >&2
  status=1
fi
if [ -n "$clazy" ]; then
  echo "$clazy"
  echo "clazy: $(wc -l <<< "$clazy") findings (full output: $clazy_log)" >&2
  status=1
fi
[ $status = 0 ] && echo "lint: clang-tidy and clazy found nothing"
exit $status

#!/usr/bin/env bash
# Formats the project's C++ sources (src, tests, bench, fuzz, tools; not the fixtures in
# tests/data) with clang-format 14 and the .clang-format at the root.
#   scripts/format.sh          rewrites the files that differ
#   scripts/format.sh --check  changes nothing; lists the files that differ and fails if any do
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
clang_format=${CLANG_FORMAT:-clang-format-14}
command -v "$clang_format" > /dev/null || { echo "$clang_format not found (apt-get install clang-format-14)" >&2; exit 1; }
check=0
case "${1:-}" in
  --check) check=1 ;;
  "") ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

mapfile -t files < <(find src tests bench fuzz tools -path tests/data -prune -o -type f \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print | LC_ALL=C sort)
if [ $check = 0 ]; then
  printf '%s\0' "${files[@]}" | xargs -0 -P2 -n 20 "$clang_format" -i --style=file
  exit 0
fi
differ=()
for f in "${files[@]}"; do
  "$clang_format" --style=file "$f" | cmp -s - "$f" || differ+=("$f")
done
if [ ${#differ[@]} -gt 0 ]; then
  printf '%s\n' "${differ[@]}"
  echo "${#differ[@]} of ${#files[@]} files are not formatted: run scripts/format.sh" >&2
  exit 1
fi
echo "format: ${#files[@]} files as clang-format leaves them"

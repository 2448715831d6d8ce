#!/usr/bin/env bash
# Installs what Praxedo needs on Debian 12, skipping what is there: to build and start the
# programs, or with --test also what the tests, sanitizers, fuzz targets and checks need.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-serialbus-dev ccache)
if [ "${1:-}" = "--test" ]; then
  packages+=(srecord dpkg-dev file clang libclang-rt-14-dev python3 clang-format-14 clang-tidy-14 clazy)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

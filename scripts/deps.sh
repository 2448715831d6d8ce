#!/usr/bin/env bash
# Installs what building and testing Praxedo needs on Debian 12 (skips what is there).
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-serialbus-dev ccache srecord dpkg-dev file clang libclang-rt-14-dev
          clang-format-14 clang-tidy-14 clazy)
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

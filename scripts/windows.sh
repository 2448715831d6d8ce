#!/usr/bin/env bash
# Builds Praxedo for 64-bit Windows with mingw-w64 into ./build-win (or $WIN_BUILD_DIR), runs
# every test under wine, builds praxedo-<version>-win64.zip, unpacks it into a fresh folder and
# starts both programs from there under wine, so that a DLL or plugin missing from the package
# fails the run. Installs what is missing first (Debian 12).
#
# Qt for Windows comes from an archive of Qt built with the same compilers, unpacked into the
# build folder: $QT_MINGW_ARCHIVE, by default ../shared/windows/qt6.4.2-mingw64.tar.xz beside
# the checkout. Wine runs in a prefix of its own inside the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${WIN_BUILD_DIR:-$root/build-win}
archive=${QT_MINGW_ARCHIVE:-$root/../shared/windows/qt6.4.2-mingw64.tar.xz}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}

step() { echo "== windows: $* ($(date -u +%T))"; }

packages=(cmake ninja-build ccache g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          qt6-base-dev qt6-base-dev-tools wine64 fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

[ -f "$archive" ] || { echo "Qt for Windows not found: $archive (set QT_MINGW_ARCHIVE)" >&2; exit 1; }
mkdir -p "$build"
qt=$build/qt6-mingw64
stamp="$(stat -c '%s %Y' "$archive") $archive"
if [ ! -d "$qt" ] || [ "$(cat "$build/qt6-mingw64.unpacked" 2>/dev/null)" != "$stamp" ]; then
  step "unpacking $(basename "$archive")"
  rm -rf "$qt"
  tar -xJf "$archive" -C "$build"
  [ -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ] || { echo "$archive does not hold qt6-mingw64/" >&2; exit 1; }
  echo "$stamp" > "$build/qt6-mingw64.unpacked"
fi

step "configure"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${WIN_BUILD_TYPE:-Release} \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DPRAXEDO_BUILD_BENCH=OFF > /dev/null
step "build"
cmake --build "$build"

wine=$(sed -n 's/^PRAXEDO_WINE:FILEPATH=//p' "$build/CMakeCache.txt")
wineserver=$(sed -n 's/^PRAXEDO_WINESERVER:FILEPATH=//p' "$build/CMakeCache.txt")
export WINEPREFIX=$build/wineprefix
# Whatever happens, no wine process of this prefix outlives the run.
trap '"$wineserver" -k 2> /dev/null || true' EXIT

step "tests under wine"
"$build/wine-run.sh" cmd /c exit # the first start creates the prefix; the tests then start quickly
# A bare prefix has none of the fonts the windows ask for; the offscreen platform takes DejaVu
# Sans from this folder, so captions are measured with the font the Linux runs use.
fonts=/usr/share/fonts/truetype/dejavu
[ -f "$fonts/DejaVuSans.ttf" ] && export QT_QPA_FONTDIR="Z:${fonts//\//\\}"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 900)

step "package"
(cd "$build" && rm -f praxedo-*-win64.zip && cpack -G ZIP > /dev/null)
zip=$(ls "$build"/praxedo-*-win64.zip)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; "$wineserver" -k 2> /dev/null || true' EXIT
(cd "$scratch" && cmake -E tar xf "$zip")
top=$scratch/$(basename "$zip" .zip)
for f in praxedo.exe praxedo-cli.exe Qt6Core.dll Qt6Widgets.dll libstdc++-6.dll platforms/qwindows.dll \
         LANGUAGE/English.lng; do
  [ -e "$top/$f" ] || { echo "package lacks $f" >&2; exit 1; }
done
for d in MASTER PROJECTS LANGUAGE; do
  [ -d "$top/$d" ] || { echo "package lacks the folder $d" >&2; exit 1; }
done

# Only what the package holds: no WINEPATH, no plugin path, nothing of the build's Qt.
run() {
  (cd "$top" && env -i PATH=/usr/bin:/bin HOME="$HOME" WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all \
     WINEQT_QPA_PLATFORM=offscreen "$@")
}
help=$(run "$wine" praxedo-cli.exe --help)
grep -q "build" <<< "$help" || { echo "praxedo-cli.exe --help printed no commands: $help" >&2; exit 1; }
cp -r "$root/tests/data/image/list-ethernet" "$top/PROJECTS/Sample"
rm -rf "$top/PROJECTS/Sample/expected"
run "$wine" praxedo-cli.exe build 'PROJECTS\Sample'
for f in "$root/tests/data/image/list-ethernet/expected"/*; do
  cmp "$f" "$top/PROJECTS/Sample/bin/$(basename "$f")" || { echo "packaged build wrote a wrong $(basename "$f")" >&2; exit 1; }
done
set +e
run timeout 30 "$wine" praxedo.exe
rc=$?
set -e
if [ $rc -ne 124 ]; then
  echo "the packaged configurator ended early (exit code $rc)" >&2
  exit 1
fi
step "package check passed: $(basename "$zip")"

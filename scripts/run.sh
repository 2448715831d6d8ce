#!/usr/bin/env bash
# Installs what is missing, builds the configurator and the command line (no tests, benchmarks
# or fuzz targets: scripts/test.sh builds those), and starts the configurator.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" --programs
exec "${BUILD_DIR:-$root/build}/src/praxedo"

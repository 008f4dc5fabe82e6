#!/usr/bin/env bash
# Runs every test under Wine through CTest. Extra arguments go to ctest (e.g. -R Export).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-session.sh
ctest --test-dir "$BUILD_DIR" --output-on-failure --no-tests=error -j2 "$@"

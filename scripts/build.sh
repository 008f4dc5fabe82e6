#!/usr/bin/env bash
# Configures and builds everything (deliverables, stand-in host library, command-line
# host, tests, benchmarks) into build/ with the mingw-w64 cross compiler.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j"$(nproc)"

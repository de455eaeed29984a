#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine (on a virtual display when there is none).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# TARVO_BUILD_ROOT lets several working copies of the build sit side by side.
build=$(realpath -m "${TARVO_BUILD_ROOT:-build}")

tools/install-deps.sh
cmake -S . -B "$build/windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/windows" -j "$(nproc)"

source tools/xvfb.sh
tarvo_ensure_display
tools/wine-run.sh "$build/windows"/bin/tarvo_runner_demo.exe "$@"

#!/usr/bin/env bash
# Builds both configurations and runs every test:
#   build/host   the Win32-free libraries, native, with ASan and UBSan
#   build/windows  everything, cross-compiled; tests run under Wine on a virtual display
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# TARVO_BUILD_ROOT lets several working copies of the build sit side by side.
build=$(realpath -m "${TARVO_BUILD_ROOT:-build}")

tools/install-deps.sh
tools/check_layers.sh
jobs=$(nproc)

cmake -S . -B "$build/host" -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build/host" -j "$jobs"
ctest --test-dir "$build/host" --output-on-failure -j "$jobs"

cmake -S . -B "$build/windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/windows" -j "$jobs"

source tools/xvfb.sh
tarvo_ensure_display
# A wineserver left from an earlier run may hold another display; start afresh on this one.
WINEPREFIX="$build/windows/wineprefix" wineserver -k 2>/dev/null || true
# Window tests one at a time: they share the display, its focus and the keyboard.
status=0
ctest --test-dir "$build/windows" --output-on-failure || status=$?
WINEPREFIX="$build/windows/wineprefix" wineserver -k 2>/dev/null || true
exit $status

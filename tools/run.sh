#!/usr/bin/env bash
# Builds the Windows program and its distribution folder, then runs it under Wine.
# Without an X display it starts a virtual one, types a few commands into the
# console, saves a screenshot of the main window and ends the program.
# Arguments are passed to the program (a start folder, e.g. 'C:\windows').
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# TARVO_BUILD_ROOT lets several working copies of the build sit side by side.
build=$(realpath -m "${TARVO_BUILD_ROOT:-build}")

tools/install-deps.sh
cmake -S . -B "$build/windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/windows" -j "$(nproc)"
program="$build/windows/dist/Tarvo2/Tarvo2.exe"
export TARVO_WINEPREFIX="$build/windows/wineprefix"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec tools/wine-run.sh "$program" "$@"
fi

source tools/xvfb.sh
tarvo_ensure_display
WINEPREFIX="$TARVO_WINEPREFIX" wineserver -k 2>/dev/null || true
tools/wine-run.sh "$program" "$@" &
runner=$!
window=""
for _ in $(seq 1 120); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/ - Tarvo"/ { print $1; exit }')
  [ -n "$window" ] && break
  sleep 0.5
done
if [ -z "$window" ]; then
  echo "The main window did not appear." >&2
  kill "$runner" 2>/dev/null || true
  exit 1
fi
sleep 2
for line in "dir" "echo Hello from Tarvo" "echo and from standard error 1>&2"; do
  xdotool type --delay 20 "$line"
  xdotool key Return
  sleep 1.5
done
shot="$build/windows/screenshot.png"
import -window "$window" "$shot"
echo "Screenshot of the main window: $shot"
WINEPREFIX="$TARVO_WINEPREFIX" wineserver -k 2>/dev/null || true
wait "$runner" 2>/dev/null || true

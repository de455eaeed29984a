#!/usr/bin/env bash
# Builds the PNG reader's libFuzzer target with clang and runs it.
# Usage: tools/fuzz_png.sh [seconds=300] [build folder=build/fuzz]
# Seeds are the project's own PNG artwork; crashes land in the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
build=$(realpath -m "${2:-$root/build/fuzz}")

"$root/tools/install-deps.sh" clang
mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTARVO_FUZZ=ON -DBUILD_TESTING=OFF >"$build/configure.log"
cmake --build "$build" --target fuzz_png

corpus="$build/corpus"
mkdir -p "$corpus"
find "$root/resources" -name '*.png' -exec cp -n {} "$corpus/" \; 2>/dev/null || true
cd "$build"
"$build/bin/fuzz_png" -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048 -timeout=10 \
  -print_final_stats=1 "$corpus"

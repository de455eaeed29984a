#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build, the tests and the program need,
# skipping those already there. Runs apt-get as root, or through sudo.
# Extra package names given as arguments are installed too (tools/fuzz_png.sh adds clang).
set -euo pipefail

packages=(
  cmake ninja-build g++ git
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  libz-mingw-w64 libz-mingw-w64-dev
  googletest
  wine wine64
  xvfb xauth x11-utils xdotool imagemagick
  zip python3
  nsis
  zlib1g-dev
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

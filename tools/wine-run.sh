#!/usr/bin/env bash
# Runs a Windows executable under Wine with a prefix private to the build folder.
# Usage: wine-run.sh program.exe [args...]
# The prefix is $TARVO_WINEPREFIX, else a "wineprefix" folder beside the program's
# nearest CMakeCache.txt. The program's exit code is passed through.
set -u
exe=$1; shift

find_build_dir() {
  local d
  d=$(cd "$(dirname "$1")" && pwd)
  while [ "$d" != / ]; do
    [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return; }
    d=$(dirname "$d")
  done
  dirname "$1"
}

export WINEPREFIX=${TARVO_WINEPREFIX:-$(find_build_dir "$exe")/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# The first use creates the prefix (about ten seconds); a lock keeps parallel tests from racing it.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || { wineboot -i </dev/null >/dev/null 2>&1 9>&-; wineserver -w 9>&-; }
  ) 9>"$WINEPREFIX.lock"
fi

# Output goes through files: a pipe would be inherited by wineserver and held open.
out=$(mktemp); err=$(mktemp)
wine "$exe" "$@" </dev/null >"$out" 2>"$err"
rc=$?
cat "$out"; cat "$err" >&2
rm -f "$out" "$err"
exit $rc

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
# Without winemenubuilder a Start menu shortcut made in the prefix stays there instead of
# becoming a menu entry of the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

# The first use creates the prefix (about ten seconds); a lock keeps parallel tests from racing it.
# Windows are left unmanaged (hiding a managed window waits seconds for a window
# manager that Xvfb does not have) and a crash prints a backtrace instead of a dialog.
if [ ! -f "$WINEPREFIX/.tarvo-configured" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.tarvo-configured" ]; then
      [ -f "$WINEPREFIX/system.reg" ] || wineboot -i </dev/null >/dev/null 2>&1 9>&-
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 9>&-
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 9>&-
      # A wineserver started here may lack the caller's display; let it go.
      wineserver -k 9>&- 2>/dev/null; wineserver -w 9>&-
      touch "$WINEPREFIX/.tarvo-configured"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no X display (DISPLAY is unset); programs that create windows will fail." >&2
  echo "  Use tools/test.sh, or: source tools/xvfb.sh; tarvo_ensure_display" >&2
fi

# Output goes through files: a pipe would be inherited by wineserver and held open.
out=$(mktemp); err=$(mktemp)
wine "$exe" "$@" </dev/null >"$out" 2>"$err"
rc=$?
cat "$out"; cat "$err" >&2
rm -f "$out" "$err"
exit $rc

#!/usr/bin/env bash
# Runs a Windows program of ours under wine64 with a fresh Xvfb of its own:
#   run-under-xvfb.sh PROGRAM.exe [ARGS...]
# Xvfb picks a free display number itself. All Wine programs share one prefix
# and so one wineserver, whose desktop process keeps the X display it started
# on; so these runs take turns (the tests hold one lock), and each waits for
# the wineserver to end before its X server goes.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
export WINEPREFIX=${QF_WINEPREFIX:-$root/build/wineprefix}

displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
finish() {
  /usr/lib/wine/wineserver -w 2>/dev/null || true
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -f "$displayfile"
}
trap finish EXIT

for _ in $(seq 100); do
  [ -s "$displayfile" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$displayfile" ] || { echo "Xvfb gave no display number" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$displayfile")"

# A desktop process left from an earlier run would still draw on its old display.
/usr/lib/wine/wineserver -w 2>/dev/null || true
"$root/scripts/wine-run.sh" "$@"

#!/usr/bin/env bash
# Installs what is missing, builds the release preset and starts the saver
# full screen on the current X display. Arguments go to the program instead
# of the saver's "/s" (for instance "/c" for the setup dialog).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
program=build/release/platform/x11/quillfen
[ $# -gt 0 ] || set -- /s

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo
  echo "Built $program, but there is no X display to show it on (DISPLAY is '${DISPLAY:-}')."
  echo "Run this from a desktop session, or start a virtual display and use that, e.g.:"
  echo "  Xvfb :5 -screen 0 1280x720x24 &  DISPLAY=:5 $0 $*"
  exit 1
fi
echo "Starting $program $*: any key, click or mouse movement ends the saver."
exec "$program" "$@"

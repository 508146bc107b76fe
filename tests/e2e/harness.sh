# Shared helpers of the Linux end-to-end tests. A test script sources this
# file with the paths of quillfen and qf_xtool as its two arguments, starts
# its own Xvfb with start_xvfb, and ends with finish. Everything it started
# is killed when it exits.
set -u

QF=${1:?path of quillfen}
XTOOL=${2:?path of qf_xtool}
QF_TMP=$(mktemp -d "${TMPDIR:-/tmp}/qf-e2e.XXXXXX")
QF_PIDS=()
QF_FAILURES=0

# The sanitizer build reports its findings on stderr and fails the run,
# leaks at exit included; those of the font library are its own.
export LSAN_OPTIONS=suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp:print_suppressions=0
export ASAN_OPTIONS=${ASAN_OPTIONS:-}

qf_cleanup() {
  local pid
  for pid in "${QF_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$QF_TMP"
}
trap qf_cleanup EXIT

pass() { echo "ok: $*"; }
fail() {
  echo "FAIL: $*"
  QF_FAILURES=$((QF_FAILURES + 1))
}
# check DESCRIPTION COMMAND...: the command's success is the check.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
# check_eq DESCRIPTION EXPECTED ACTUAL
check_eq() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: expected '$2', got '$3'"; fi
}
finish() {
  if [ "$QF_FAILURES" -ne 0 ]; then
    echo "$QF_FAILURES check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

# start_xvfb [WIDTHxHEIGHT [more Xvfb arguments...]]: a server of our own on
# the first free display number; DISPLAY names it afterwards.
start_xvfb() {
  local size=${1:-800x600}
  shift || true
  local numberFile=$QF_TMP/display.$RANDOM
  # -noreset: the server would start afresh (pointer back in the middle)
  # each time its last client leaves, as every xdotool call does.
  Xvfb -displayfd 1 -screen 0 "${size}x24" -nolisten tcp -noreset "$@" >"$numberFile" 2>"$QF_TMP/xvfb.log" &
  QF_PIDS+=($!)
  local i
  for ((i = 0; i < 100; i++)); do
    if grep -q '^[0-9][0-9]*$' "$numberFile" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if ! grep -q '^[0-9][0-9]*$' "$numberFile" 2>/dev/null; then
    echo "Xvfb did not start:"
    cat "$QF_TMP/xvfb.log"
    exit 1
  fi
  export DISPLAY=":$(head -1 "$numberFile")"
}

# run_bg VAR COMMAND...: starts the command in the background and stores
# its process id in VAR; its output goes to $QF_TMP/VAR.out and .err.
run_bg() {
  local var=$1
  shift
  "$@" >"$QF_TMP/$var.out" 2>"$QF_TMP/$var.err" &
  local pid=$!
  QF_PIDS+=("$pid")
  printf -v "$var" '%s' "$pid"
}

# running PID: true while the process has not ended.
running() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

# wait_exit PID SECONDS: sets STATUS to the exit status, or to "running"
# if the process is still there after that time. (Only this shell can
# wait for its children, so it must not run in a $(...) subshell.)
STATUS=
wait_exit() {
  local pid=$1 tenths=$(($2 * 10)) i
  STATUS=running
  for ((i = 0; i < tenths; i++)); do
    if ! running "$pid"; then
      wait "$pid"
      STATUS=$?
      return
    fi
    sleep 0.1
  done
}

# wait_window NAME SECONDS: prints the id of a mapped window whose name is
# NAME.
wait_window() {
  local tenths=$(($2 * 10)) i id
  for ((i = 0; i < tenths; i++)); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# no_window NAME: true when no window has that name.
no_window() { [ -z "$(xdotool search --name "^$1\$" 2>/dev/null)" ]; }

# pointer: the pointer's position as "X Y".
pointer() { xdotool getmouselocation | sed -E 's/x:([0-9]+) y:([0-9]+).*/\1 \2/'; }

# click_at X Y: moves the pointer there and clicks the first button.
click_at() {
  xdotool mousemove "$1" "$2"
  xdotool click 1
}

# window_origin ID: the window's top-left corner on the screen as "X Y".
window_origin() { xdotool getwindowgeometry "$1" | sed -nE 's/ *Position: ([0-9-]+),([0-9-]+).*/\1 \2/p'; }

# press_ok_of_box ID: clicks the OK button of our message box (centred at
# its bottom).
press_ok_of_box() {
  local x y w h
  read -r x y w h _ < <("$XTOOL" attrs "$1")
  click_at $((x + w / 2)) $((y + h - 12 - 11))
}

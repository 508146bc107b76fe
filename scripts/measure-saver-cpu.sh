#!/usr/bin/env bash
# Measures the CPU time the saver and the X server use: the release build
# runs full screen on an Xvfb of its own (1920 x 1080 unless given) for the
# given walker counts, 20 seconds each.
#
#   scripts/measure-saver-cpu.sh [SECONDS [WIDTHxHEIGHT [COUNT...]]]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-20}
size=${2:-1920x1080}
shift 2 2>/dev/null || shift $#
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(12 1000)

cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target quillfen >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

Xvfb -displayfd 1 -screen 0 "${size}x24" -nolisten tcp -noreset >"$work/display" 2>/dev/null &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 100); do grep -q '^[0-9]' "$work/display" && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"
cp build/release/platform/x11/quillfen "$work/quillfen"
hz=$(getconf CLK_TCK)

printf '%-8s %-12s %14s %14s\n' walkers screen "saver %core" "saver+X %core"
for count in "${counts[@]}"; do
  printf '%s\r\n' "$count" >"$work/quillfen.ini"
  "$work/quillfen" /s &
  saver=$!
  pids+=("$saver")
  sleep 2  # past the start-up
  s0=$(cpu_ticks "$saver") x0=$(cpu_ticks "$xvfb") t0=$(date +%s%N)
  sleep "$seconds"
  s1=$(cpu_ticks "$saver") x1=$(cpu_ticks "$xvfb") t1=$(date +%s%N)
  kill "$saver"
  wait "$saver" 2>/dev/null || true
  awk -v s=$((s1 - s0)) -v x=$((x1 - x0)) -v ns=$((t1 - t0)) -v hz="$hz" -v n="$count" -v size="$size" \
    'BEGIN { t = ns / 1e9; printf "%-8s %-12s %13.2f%% %13.2f%%\n", n, size, 100 * s / hz / t, 100 * (s + x) / hz / t }'
done

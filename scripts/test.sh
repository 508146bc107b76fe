#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test:
# the Linux unit and end-to-end tests (ASan/UBSan build), the fuzz targets for
# a short fixed time, and the Windows tests under wine64. The 32-bit Windows
# build is built and linked only.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/install-deps.sh || exit 1

jobs=$(nproc)
passed=0
failed=0
status=0

build() {
  echo "=== build $1"
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j"$jobs" || { echo "build $1 FAILED"; status=1; return 1; }
}

run_tests() {
  echo "=== test $1"
  local log
  log=$(mktemp)
  ctest --preset "$1" -j"$jobs" --timeout 600 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$line" ]; then
    local f t
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + t - f))
    failed=$((failed + f))
  fi
  rm -f "$log"
  [ "$rc" -eq 0 ] || status=1
}

build debug && run_tests debug
build fuzz && run_tests fuzz
build release
build win64 && run_tests win64
build win32

echo
echo "total: $passed passed, $failed failed"
exit $status

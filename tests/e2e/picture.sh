# What the saver shows is what quillfen-render draws: with the calendar
# clock frozen (the seed), a screenshot of the stopped saver equals the
# renderer's frame for one tick count. The fourth argument picks the way
# frames reach the screen: "shm" (MIT-SHM), "no-shm-extension" (a server
# without it) or "shm-refused" (a TCP client, whose segment the server will
# not attach).
source "$(dirname "$0")/harness.sh"
RENDER=${3:?path of quillfen-render}
WAY=${4:?shm, no-shm-extension or shm-refused}

WIDTH=800 HEIGHT=600
case $WAY in
  shm) start_xvfb ${WIDTH}x$HEIGHT ;;
  no-shm-extension) start_xvfb ${WIDTH}x$HEIGHT -extension MIT-SHM ;;
  shm-refused)
    start_xvfb ${WIDTH}x$HEIGHT -listen tcp
    export DISPLAY=127.0.0.1$DISPLAY
    ;;
  *) echo "unknown way $WAY"; exit 2 ;;
esac

FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -1)
SEED=$(date -u -d '2024-01-02 03:04:05' +%s)
mkdir "$QF_TMP/bin"
cp "$QF" "$QF_TMP/bin/quillfen"
printf '40\r\n' >"$QF_TMP/bin/quillfen.ini"  # beside the saver; the renderer reads it too

start_ms=$(date +%s%3N)
run_bg saver env TZ=UTC LD_PRELOAD="$FAKETIME_LIB" FAKETIME="2024-01-02 03:04:05" FAKETIME_DONT_FAKE_MONOTONIC=1 \
  ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0" "$QF_TMP/bin/quillfen" /s
wait_window "tin kite" 20 >/dev/null || { fail "the saver window appears"; finish; }

# shot_matches: stops the saver, takes a screenshot and looks for the tick
# count whose frame equals it; MATCH is that count, or empty.
shot_matches() {
  sleep 1
  kill -STOP "$saver"
  local elapsed=$(($(date +%s%3N) - start_ms))
  sleep 0.3  # the server finishes what the saver had sent
  "$XTOOL" shot "$QF_TMP/shot.ppm"
  kill -CONT "$saver"
  # No more ticks than the time allows; try the likeliest counts first.
  local most=$((elapsed / 48 + 1)) t
  MATCH=
  for ((t = most; t >= 1; t--)); do
    "$RENDER" --size ${WIDTH}x$HEIGHT --seed "$SEED" --settings "$QF_TMP/bin/quillfen.ini" --ticks $t \
      --png "$QF_TMP/frame.png" >/dev/null || return 1
    if "$XTOOL" same "$QF_TMP/shot.ppm" "$QF_TMP/frame.png"; then
      MATCH=$t
      return 0
    fi
  done
  return 1
}

# A stop can catch a frame half sent; a few tries make that harmless.
for try in 1 2 3; do
  if shot_matches; then break; fi
done
if [ -n "$MATCH" ]; then
  pass "the screen ($WAY) equals the renderer's frame after $MATCH ticks for seed $SEED"
else
  fail "the screen ($WAY) equals a frame of the renderer for seed $SEED"
fi
# The segments the saver made itself: one when the server attached it.
segments=$(ipcs -m -p | awk -v p="$saver" '$3 == p' | wc -l)
check_eq "shared-memory segments of the saver ($WAY)" "$([ "$WAY" = shm ] && echo 1 || echo 0)" "$segments"
check "the picture is not blank" test "$(od -An -tu1 -v "$QF_TMP/shot.ppm" | tr -s ' ' '\n' | grep -cv '^255$')" -gt 1000
xdotool key a
wait_exit "$saver" 10
check_eq "the saver ends at a key with 0" 0 "$STATUS"
finish

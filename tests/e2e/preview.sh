# The preview: a child of the host window with the host's outer size, deaf
# to input, one at a time, and gone with its host.
source "$(dirname "$0")/harness.sh"
start_xvfb 800x600

# start_host W H BORDER: a host window of our own; HOST is its id.
start_host() {
  run_bg hostpid "$XTOOL" host "$@"
  local i
  for ((i = 0; i < 100; i++)); do
    HOST=$(head -1 "$QF_TMP/hostpid.out")
    [ -n "$HOST" ] && return 0
    sleep 0.1
  done
  fail "the host window appears"
  finish
}
# close_host: the host destroys its window and ends.
close_host() {
  kill -TERM "$hostpid"
  wait "$hostpid"
}

# wait_child: CHILD becomes the line "id x y w h" of the host's one child.
wait_child() {
  local i
  for ((i = 0; i < 200; i++)); do
    CHILD=$("$XTOOL" children "$HOST")
    [ -n "$CHILD" ] && return 0
    sleep 0.1
  done
  return 1
}

start_host 300 200 3
run_bg preview "$QF" /p "$HOST"
check "the preview's window appears inside the host" wait_child
read -r childId x y w h <<<"$CHILD"
check_eq "at (0, 0) with the host's outer size" "0 0 306 206" "$x $y $w $h"
check_eq "only one child" 1 "$("$XTOOL" children "$HOST" | wc -l)"

# Input over the preview changes nothing.
xdotool mousemove 100 100
xdotool mousemove 120 110
xdotool click 1
xdotool key a
sleep 1
check "moves, clicks and keys leave the preview running" running "$preview"

# A second preview gives up at once, even without a display to look at.
start=$SECONDS
status=$(DISPLAY= timeout 20 "$QF" /p "$HOST"; echo $?)
check_eq "a second preview exits with 255" 255 "$status"
status=$(timeout 20 "$QF" /p "$HOST"; echo $?)
check_eq "also with a display" 255 "$status"
check "at once" test $((SECONDS - start)) -le 5
check_eq "and makes no window" 1 "$("$XTOOL" children "$HOST" | wc -l)"

# A saver runs while the preview does.
run_bg saver "$QF" /s
if wait_window "tin kite" 20 >/dev/null; then pass "a saver starts while a preview runs"; else fail "a saver starts while a preview runs"; fi
sleep 0.3
xdotool key a
wait_exit "$saver" 10
check_eq "and ends at a key with 0" 0 "$STATUS"
check "the preview goes on" running "$preview"

# The host goes: so does the preview.
close_host
wait_exit "$preview" 10
check_eq "the preview ends with 0 when its host is destroyed" 0 "$STATUS"

# Now the guard is free again.
start_host 200 150 0
run_bg preview "$QF" -P "$HOST"
check "a new preview starts after the first ended" wait_child
read -r childId x y w h <<<"$CHILD"
check_eq "with the new host's size" "0 0 200 150" "$x $y $w $h"
# Even killed outright, a preview releases the guard.
kill -9 "$preview"
wait "$preview" 2>/dev/null
run_bg preview "$QF" /p "$HOST"
sleep 0.5
for ((i = 0; i < 100; i++)); do
  [ "$("$XTOOL" children "$HOST" | wc -l)" -ge 1 ] && break
  sleep 0.1
done
check "after a SIGKILL the next preview starts" running "$preview"
close_host
wait_exit "$preview" 10
check_eq "and ends with its host" 0 "$STATUS"
finish

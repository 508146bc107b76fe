# The full-screen saver: covers the screen, hides the cursor, and ends with
# status 0 at a key, a click, or a move of one pixel, but not at a report of
# the position it started at.
source "$(dirname "$0")/harness.sh"
start_xvfb 800x600

start_saver() {
  xdotool mousemove 200 150
  run_bg saver "$QF" /s
  win=$(wait_window "tin kite" 20) || { fail "the saver window appears"; finish; }
  sleep 0.3
}

start_saver
check_eq "the window covers the screen, override-redirect, mapped" "0 0 800 600 0 1 viewable" "$("$XTOOL" attrs "$win")"
check "the cursor is hidden" "$XTOOL" cursor-hidden
xdotool mousemove 200 150  # a motion report at the very position it started at
sleep 0.5
check "a report at the saved position leaves it running" running "$saver"
xdotool mousemove 201 150
wait_exit "$saver" 10
check_eq "a move of one pixel to the right ends it with 0" 0 "$STATUS"
check "the window is gone" no_window "tin kite"

start_saver
xdotool mousemove 200 149
wait_exit "$saver" 10
check_eq "a move of one pixel up ends it with 0" 0 "$STATUS"

start_saver
xdotool key a
wait_exit "$saver" 10
check_eq "a key ends it with 0" 0 "$STATUS"

start_saver
xdotool key shift
wait_exit "$saver" 10
check_eq "a modifier key alone ends it with 0" 0 "$STATUS"

start_saver
xdotool click 3
wait_exit "$saver" 10
check_eq "a click ends it with 0" 0 "$STATUS"
check "the cursor shows again" test "$("$XTOOL" cursor-hidden; echo $?)" = 1

start_saver
"$XTOOL" close "$win"
wait_exit "$saver" 10
check_eq "a close request from outside ends it with 0" 0 "$STATUS"

# Two savers at once both run (only the preview has a guard).
start_saver
first=$saver
run_bg second "$QF" /s
sleep 2
check "a second saver runs beside the first" running "$second"
# One of them holds the keyboard; the other takes it when it is free.
xdotool key a
sleep 1
xdotool key a
wait_exit "$first" 10
check_eq "a key ends the first saver with 0" 0 "$STATUS"
wait_exit "$second" 10
check_eq "and one more the second" 0 "$STATUS"
finish

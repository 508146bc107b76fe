# A preview host that is no window: the error box with the application's
# title as caption, and status 0 once OK is pressed.
source "$(dirname "$0")/harness.sh"
start_xvfb 800x600

for host in 0 123 -1 abc; do
  run_bg preview "$QF" /p "$host"
  if box=$(wait_window quillfen 20); then
    pass "/p $host shows the error box captioned quillfen"
    sleep 0.5
    check "/p $host waits for OK" running "$preview"
    press_ok_of_box "$box"
    wait_exit "$preview" 10
    check_eq "/p $host ends with 0 after OK" 0 "$STATUS"
    check "/p $host leaves no window" no_window quillfen
  else
    fail "/p $host shows the error box captioned quillfen"
    # What the program said, to tell a crash from a slow start.
    cat "$QF_TMP/preview.out" "$QF_TMP/preview.err" >&2
    kill -9 "$preview" 2>/dev/null
  fi
done
finish

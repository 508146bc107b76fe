# The setup dialog: the count from the settings file beside the executable,
# the arrows and their limits, OK writing the file with CR LF, Enter only on
# OK, Escape doing nothing, the title bar's close writing nothing, and the
# error of a zero-byte file before the dialog.
source "$(dirname "$0")/harness.sh"
start_xvfb 800x600

# The settings file lives beside the executable: a copy of it in a folder
# of our own.
mkdir "$QF_TMP/bin"
cp "$QF" "$QF_TMP/bin/quillfen"
INI=$QF_TMP/bin/quillfen.ini

# open_dialog: starts the dialog, DLG is its window, (DX, DY) its corner.
open_dialog() {
  # A dialog left over from a failed step would take this step's input.
  if running "${setup:-0}"; then
    kill -9 "$setup"
    wait "$setup"
  fi
  run_bg setup "$QF_TMP/bin/quillfen" "$@"
  DLG=$(wait_window Setup 20) || { fail "the dialog appears"; finish; }
  read -r DX DY _ < <("$XTOOL" attrs "$DLG")
  sleep 0.3
}
click_up() { click_at $((DX + 265)) $((DY + 69)); }
click_down() { click_at $((DX + 265)) $((DY + 82)); }
click_edit() { click_at $((DX + 240)) $((DY + 76)); }
file_is() { [ "$(od -An -c "$INI" | tr -s ' ')" = "$(printf '%b' "$1" | od -An -c | tr -s ' ')" ]; }

# No file: OK (which has the focus) writes the default.
rm -f "$INI"
open_dialog
xdotool key Return
wait_exit "$setup" 10
check_eq "Enter on OK closes the dialog with 0" 0 "$STATUS"
check "without a file OK writes 12 CR LF" file_is '12\r\n'

# The count from the file is what the dialog shows, and what OK writes back.
printf '300\n' >"$INI"
open_dialog
check_eq "the dialog is 281 x 216" "281 216" "$("$XTOOL" attrs "$DLG" | cut -d' ' -f3,4)"
xdotool key Return
wait_exit "$setup" 10
check "it shows the count of the file (300)" file_is '300\r\n'

# The up arrow stops at 1000.
printf '998\r\n' >"$INI"
open_dialog
click_up
click_up
click_up
click_up
xdotool key Return
wait_exit "$setup" 10
check "the up arrow steps to 1000 and stops there" file_is '1000\r\n'

# The Down key in the edit box stops at 1; Enter there does not press OK;
# Tab goes back to OK; the other lines survive, each with CR LF.
printf '3\nalpha\rbeta' >"$INI"
open_dialog
click_edit
xdotool key Down Down Down Down
xdotool key Return
sleep 0.5
check "Enter in the edit box does not press OK" running "$setup"
xdotool key Escape
sleep 0.5
check "Escape does nothing" running "$setup"
xdotool key Tab Return
wait_exit "$setup" 10
check_eq "Tab moves to OK, where Enter presses it" 0 "$STATUS"
check "the Down key steps to 1 and stops; later lines are kept" file_is '1\r\nalpha\r\nbeta\r\n'

# The down arrow, then the up key; typed text is written unchanged.
printf '50\r\n' >"$INI"
open_dialog
click_down
click_down
click_edit
xdotool key Up
xdotool key Tab Return
wait_exit "$setup" 10
check "arrows and keys step by one" file_is '49\r\n'
open_dialog
click_edit
xdotool key ctrl+a
xdotool type 5000x
xdotool key Tab Return
wait_exit "$setup" 10
check "typed text is written as it stands" file_is '5000x\r\n'

# The title bar's close (the window manager's delete request) writes nothing.
printf '7\r\n' >"$INI"
open_dialog
click_up
"$XTOOL" close "$DLG"
wait_exit "$setup" 10
check_eq "closing by the title bar ends with 0" 0 "$STATUS"
check "and writes nothing" file_is '7\r\n'

# A zero-byte file: the error before the dialog, then the dialog with 12,
# whose OK reports the error again and writes nothing.
: >"$INI"
run_bg setup "$QF_TMP/bin/quillfen"
if box=$(wait_window quillfen 20); then
  pass "a zero-byte file shows an error box captioned quillfen"
  check "before the dialog" no_window Setup
  press_ok_of_box "$box"
  DLG=$(wait_window Setup 20) || { fail "the dialog follows"; finish; }
  pass "the dialog follows"
  read -r DX DY _ < <("$XTOOL" attrs "$DLG")
  sleep 0.3
  xdotool key Return
  if box=$(wait_window quillfen 20); then
    pass "OK reports the error again"
    press_ok_of_box "$box"
    sleep 0.5
    check "and the dialog stays" running "$setup"
  else
    fail "OK reports the error again"
  fi
  "$XTOOL" close "$DLG"
  wait_exit "$setup" 10
  check_eq "the title bar's close ends it with 0" 0 "$STATUS"
  check "the file is still empty" test ! -s "$INI"
else
  fail "a zero-byte file shows an error box captioned quillfen"
fi
finish

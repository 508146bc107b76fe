# Command lines that need no display: the refused ones end with status 255,
# the password change with 0, and none of them opens a display.
source "$(dirname "$0")/harness.sh"

unset DISPLAY
for line in "/x" "/" "-" "//s" "/p" "/p:4711" "-P 4711 1" "/p 4711 1"; do
  # shellcheck disable=SC2086
  status=$(timeout 20 "$QF" $line >"$QF_TMP/out" 2>&1; echo $?)
  check_eq "'$line' is refused" 255 "$status"
  check "'$line' prints nothing" test ! -s "$QF_TMP/out"
done
for line in "/a" "-A 4711" "/a 4711 1" "/a abc"; do
  # shellcheck disable=SC2086
  status=$(timeout 20 "$QF" $line >"$QF_TMP/out" 2>&1; echo $?)
  check_eq "'$line' changes no password and ends" 0 "$status"
  check "'$line' prints nothing" test ! -s "$QF_TMP/out"
done
# A mode that needs the screen says so when there is none.
status=$(timeout 20 "$QF" /s >"$QF_TMP/out" 2>&1; echo $?)
check_eq "/s without a display fails" 1 "$status"
check "/s without a display says why" grep -q "cannot open the X display" "$QF_TMP/out"
finish

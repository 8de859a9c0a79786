#!/usr/bin/env bash
# The configuration dialogs from an empty profile: the Parameters dialog comes before any tray
# icon and again when closed; a toolbar added through the folder browser is saved by Ok and
# shows in the menu; "Start with Windows" writes and removes the Run value; a mouse drag in the
# Sort dialog reorders the toolbars; a save onto a read-only file is refused with a message and
# the file keeps its content. Every dialog is photographed in the dark and the light theme.
source "$(dirname "$0")/lib.sh"
PROBE="$3"
setup

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
programs="$DRIVE_C/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
restore() {
  chmod 644 "$DATA/ToolBars.txt" 2>/dev/null || true
  kill_app
  rm -rf "$programs/AAA Zelk"
  quiet wine reg delete "$run_key" /v ToolBars /f || true
  quiet wine reg delete 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /f || true
}
trap restore EXIT
quiet wine reg delete "$run_key" /v ToolBars /f || true
quiet wine reg delete 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /f || true
mkdir -p "$programs/AAA Zelk"
cp "$PROBE" "$programs/AAA Zelk/Game.exe"

dialog() { windows | awk -F'\t' -v t="$1" '$4 == 1 && $6 == t { print; exit }'; }
dialog_up() { [ -n "$(dialog "$1")" ]; }
dialog_gone() { [ -z "$(dialog "$1")" ]; }
# click_in TITLE X Y: a click at client coordinates (96 dpi) of the dialog with that title.
click_in() {
  local origin
  origin="$(dialog "$1" | awk -F'\t' '{ print $7 }')"
  IFS=, read -r cx cy <<<"$origin"
  xdotool mousemove $((cx + $2)) $((cy + $3)) click 1
}
crop_dialog() {
  local rect
  rect="$(dialog "$1" | awk -F'\t' '{ print $5 }')"
  IFS=, read -r x0 y0 x1 y1 <<<"$rect"
  convert "$(shot full)" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$WORK/$2.png"
}
keys() { wine_capture "$HELPER" keys "$@" >/dev/null; }

start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 30 dialog_up "ToolBars Parameters" || fail "no Parameters dialog on the first run"
icon_gone || fail "the tray icon came before any toolbar"
crop_dialog "ToolBars Parameters" parameters-dark

# Closed without a toolbar, it comes back.
keys escape
wait_until 10 dialog_gone "ToolBars Parameters" || true
wait_until 15 dialog_up "ToolBars Parameters" || fail "the Parameters dialog did not come back"
icon_gone || fail "the tray icon came after closing the dialog with no toolbars"

# Add a Toolbar, then the user start menu's "..." and the folder browser by keyboard.
keys a
wait_until 10 dialog_up "Add a Toolbar" || fail "no Add a Toolbar dialog"
crop_dialog "Add a Toolbar" add-dark
click_in "Add a Toolbar" 510 80
wait_until 10 dialog_up "Select a folder from the user start menu" || fail "no folder browser"
crop_dialog "Select a folder from the user start menu" picker
keys down return
wait_until 10 dialog_gone "Select a folder from the user start menu" || fail "the browser stayed"
keys return # Ok in step 2 with the pre-filled title
wait_until 10 dialog_gone "Add a Toolbar" || fail "the Add dialog stayed"
keys return # Ok in Parameters
wait_until 10 dialog_gone "ToolBars Parameters" || fail "Parameters stayed after Ok"
grep -q 'AAA Zelk|AAA Zelk' "$DATA/ToolBars.txt" || fail "ToolBars.txt: $(cat "$DATA/ToolBars.txt" 2>&1)"
wait_until 15 icon_shown || fail "no tray icon after the first toolbar"
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
menus() { windows | awk -F'\t' '$3 == "ZelkList" && $4 == 1 { print $5 }'; }
menu_shown() { [ -n "$(menus)" ]; } # evaluated at each try, not once
wait_until 10 menu_shown || fail "no menu after adding the toolbar"
keys escape

# Start with Windows: Yes writes the quoted command, No removes it.
open_parameters() {
  xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
  wait_until 10 menu_open || fail "no context menu"
  keys down return
  wait_until 10 dialog_up "ToolBars Parameters" || fail "Parameters did not open from the menu"
}
open_parameters
keys y return
wait_until 10 dialog_gone "ToolBars Parameters" || fail "Parameters stayed after Yes and Ok"
run_value="$(wine_capture reg query "$run_key" /v ToolBars | tr -d '\r' | sed -n 's/.*REG_SZ *//p')"
log "Run value: $run_value"
[[ "$run_value" == \"*ZelkToolBars.exe\" ]] || fail "Run value not the quoted program path: $run_value"
open_parameters
keys n return
wait_until 10 dialog_gone "ToolBars Parameters" || fail "Parameters stayed after No and Ok"
wine_capture reg query "$run_key" /v ToolBars >/dev/null 2>&1 && fail "the Run value stayed after No"

# Sort: three toolbars A, B, C dragged to the right list as C, A, B.
printf 'C:\\A|A\r\nC:\\B|B\r\nC:\\C|C\r\n' >"$DATA/ToolBars.txt"
open_parameters
keys s
wait_until 10 dialog_up "Sort ToolBars..." || fail "no Sort dialog"
crop_dialog "Sort ToolBars..." sort-dark
drag() { # from the left list's row $1 to the right list's row slot $2
  local origin
  origin="$(dialog "Sort ToolBars..." | awk -F'\t' '{ print $7 }')"
  IFS=, read -r cx cy <<<"$origin"
  local fy=$((cy + 40 + 8 + 28 * $1 + 14)) ty=$((cy + 40 + 8 + 28 * $2 + 4))
  xdotool mousemove $((cx + 120)) "$fy" mousedown 1 sleep 0.3 \
    mousemove $((cx + 200)) "$fy" sleep 0.2 mousemove $((cx + 400)) "$ty" sleep 0.2 \
    mousemove $((cx + 420)) "$ty" sleep 0.3 mouseup 1
  sleep 0.8
}
drag 2 0 # C
drag 0 1 # A below C
drag 0 2 # B below A
keys return # Save
wait_until 10 dialog_gone "Sort ToolBars..." || fail "Save did not close the Sort dialog (not all rows moved?)"
tr -d '\r' <"$DATA/ToolBars.txt" | paste -sd' ' | grep -q '^C:\\C|C C:\\A|A C:\\B|B$' ||
  fail "sorted file: $(tr -d '\r' <"$DATA/ToolBars.txt" | paste -sd' ')"
keys escape # Parameters closed with the close box: writes nothing
wait_until 10 dialog_gone "ToolBars Parameters" || fail "Escape did not close Parameters"

# A read-only file: Ok says so, the dialog stays, the file keeps its content.
before="$(cat "$DATA/ToolBars.txt")"
chmod 444 "$DATA/ToolBars.txt"
open_parameters
keys return
wait_until 10 dialog_up "ZelkToolbars" || fail "no message about the failed save"
keys return
wait_until 10 dialog_gone "ZelkToolbars" || fail "the message stayed"
dialog_up "ToolBars Parameters" || fail "the Parameters dialog closed as if it had saved"
[ "$(cat "$DATA/ToolBars.txt")" = "$before" ] || fail "the read-only file changed"
keys escape
chmod 644 "$DATA/ToolBars.txt"

# About, and the light theme of every dialog.
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu for About"
keys up up return
wait_until 10 dialog_up "About..." || fail "no About box"
crop_dialog "About..." about-dark
keys x
wait_until 10 dialog_gone "About..." || fail "a key did not close About"
quiet wine reg add 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /v Theme /d 0 /f
open_parameters
crop_dialog "ToolBars Parameters" parameters-light
keys a
wait_until 10 dialog_up "Add a Toolbar" || fail "no Add dialog in the light theme"
crop_dialog "Add a Toolbar" add-light
keys escape
wait_until 10 dialog_gone "Add a Toolbar" || fail "Escape did not cancel Add"
keys s
wait_until 10 dialog_up "Sort ToolBars..." || fail "no Sort dialog in the light theme"
crop_dialog "Sort ToolBars..." sort-light
keys escape
wait_until 10 dialog_gone "Sort ToolBars..." || fail "Escape did not cancel Sort"
keys escape
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu for About"
keys up up return
wait_until 10 dialog_up "About..." || fail "no About box in the light theme"
crop_dialog "About..." about-light
# Chosen pixels of the photographs: panels and backgrounds follow the theme.
pixel() { convert "$WORK/$1.png" -crop "1x1+$2+$3" +repage -depth 8 txt:- | awk -F'[(),]' 'NR == 2 { print $3+0, $4+0, $5+0 }'; }
expect_pixel() { [ "$(pixel "$1" "$2" "$3")" = "$4" ] || fail "$1 at $2,$3 is $(pixel "$1" "$2" "$3"), not $4"; }
# Within 3 of each channel: an icon's inside is drawn with rounding that differs by a level
# between builds, while the panel it would show if the picture were smaller is far off.
expect_near() {
  local got; got="$(pixel "$1" "$2" "$3")"
  awk -v a="$got" -v b="$4" 'BEGIN { split(a, x, " "); split(b, y, " ");
    for (i = 1; i <= 3; i++) if (x[i] - y[i] > 3 || y[i] - x[i] > 3) exit 1 }' ||
    fail "$1 at $2,$3 is $got, not near $4"
}
expect_pixel parameters-dark 30 380 "0 0 0"          # the Theme panel, dark
expect_pixel parameters-light 30 380 "224 224 224"   # the same panel, light
expect_pixel about-dark 20 180 "0 0 0"
expect_pixel about-light 20 180 "255 255 255"
expect_pixel sort-dark 12 395 "0 0 0"
expect_pixel sort-light 12 395 "224 224 224"
expect_pixel add-dark 30 180 "0 0 0"
expect_pixel add-light 30 180 "224 224 224"
for theme in dark light; do
  expect_near  "about-$theme" 33 112 "33 94 184"   # the picture fills its 128 box, left
  expect_near  "about-$theme" 143 112 "33 94 184"  # and right
  expect_pixel "about-$theme" 177 52 "192 192 192" # the title's grey shade shows below it
  expect_near  "add-$theme" 23 84 "34 97 187"      # the step 1 picture, 64 wide
  expect_near  "add-$theme" 76 84 "34 97 187"
done
expect_pixel sort-dark 18 57 "0 0 0"        # the list shadow's corner is the panel, not white
expect_pixel sort-light 18 57 "224 224 224"
[ "$(pixel sort-light 32 58)" = "$(pixel sort-light 100 58)" ] || fail "a seam in the list's shadow"

# An open About box closes on a tray click.
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
wait_until 10 dialog_gone "About..." || fail "a tray click did not close About"
log "PASS"

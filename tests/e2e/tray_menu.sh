#!/usr/bin/env bash
# The main use: a left click on the tray icon opens the toolbar menu in the corner above the
# taskbar; hovering a toolbar opens its submenu to the left; the keyboard walks in and opens
# a program; Escape closes one level; a click on the desktop closes the whole chain. Dark and
# light screenshots are checked at chosen pixels.
source "$(dirname "$0")/lib.sh"
PROBE="$3"
setup
restore() {
  kill_app
  quiet wine reg delete 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /v Theme /f || true
  quiet wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f || true
}
trap restore EXIT

drive_c="$DRIVE_C"
root="$drive_c/zelk-e2e/Tools"
rm -rf "$drive_c/zelk-e2e"
mkdir -p "$root/Sub"
cp "$PROBE" "$root/Probe.exe"
cp "$PROBE" "$root/Sub/Deep.exe"
# One file only: its row comes right after the folder whatever the listing order.
mkdir -p "$DATA"
printf 'C:\\zelk-e2e\\Tools|Tools\r\n' >"$DATA/ToolBars.txt"
quiet wine reg add 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /v Theme /d 1 /f

# Visible menu lists as "left,top,right,bottom", the frontmost last.
menus() { windows | awk -F'\t' '$3 == "ZelkList" && $4 == 1 { print $5 }'; }
menu_count() { menus | grep -c . || true; }
count_is() { [ "$(menu_count)" -eq "$1" ]; }

start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 30 app_running || fail "the main form never appeared"
wait_until 15 icon_shown || fail "no tray icon"

xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
wait_until 10 count_is 1 || fail "no menu after a left click ($(menu_count) lists)"
IFS=, read -r l t r b <<<"$(menus | head -1)"
log "top list at $l,$t,$r,$b"
[ "$r" -eq 1280 ] && [ "$b" -eq 780 ] || fail "the menu is not in the work-area corner"
img="$(shot menu-dark)"
colour() { convert "$img" -crop "1x1+$1+$2" +repage -depth 8 txt:- | awk -F'[(),]' 'NR == 2 { print $3+0, $4+0, $5+0 }'; }
read -r cr cg cb <<<"$(colour $((l + 200)) $((t + 10)))"
[ "$cr" -lt 30 ] && [ "$cg" -lt 30 ] && [ "$cb" -lt 30 ] || fail "dark menu background ($cr $cg $cb)"

# Hover the toolbar entry: after the delay its submenu opens to the left.
xdotool mousemove $((l + 150)) $((t + 8 + 19))
wait_until 10 count_is 2 || fail "hovering the toolbar opened no submenu"
IFS=, read -r sl st sr sb <<<"$(menus | grep -v "^$l,$t,")"
log "submenu at $sl,$st,$sr,$sb"
[ "$sr" -le "$l" ] || fail "the submenu does not open to the left of the top list"
shot menu-sub >/dev/null

# Keys go to the frontmost list: Sub, then Probe, then open it.
rm -f "$root/probe.log"
wine_capture "$HELPER" keys down down return >/dev/null
wait_until 15 test -s "$root/probe.log" || fail "Enter on Probe started nothing"
grep -q 'exe=.*Probe.exe' "$root/probe.log" || fail "the wrong program started: $(cat "$root/probe.log")"
grep -qi 'cwd=C:\\zelk-e2e\\Tools' "$root/probe.log" || fail "not started in its folder: $(cat "$root/probe.log")"
wait_until 10 count_is 0 || fail "the menu chain stayed open after opening a program"

# Escape closes one level at a time.
xdotool mousemove 640 400 mousemove "$TRAY_X" "$TRAY_Y" click 1
wait_until 10 count_is 1 || fail "the menu did not open again"
wine_capture "$HELPER" keys down right >/dev/null
wait_until 10 count_is 2 || fail "Right opened no submenu"
wine_capture "$HELPER" keys escape >/dev/null
wait_until 10 count_is 1 || fail "Escape in the submenu closed more or less than one level"
wine_capture "$HELPER" keys escape >/dev/null
wait_until 10 count_is 0 || fail "Escape in the top list did not close it"

# A click on the desktop closes the whole chain.
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
wait_until 10 count_is 1 || fail "the menu did not open a third time"
wine_capture "$HELPER" keys down right >/dev/null
wait_until 10 count_is 2 || fail "no submenu before the desktop click"
xdotool mousemove 300 200 click 1
wait_until 10 count_is 0 || fail "a click on the desktop left lists open"

# The light theme after a Refresh from the context menu.
quiet wine reg add 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /v Theme /d 0 /f
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu"
wine_capture "$HELPER" keys down down return >/dev/null # Parameters, Refresh
sleep 1
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
wait_until 10 count_is 1 || fail "no menu after Refresh"
IFS=, read -r l t r b <<<"$(menus | head -1)"
img="$(shot menu-light)"
read -r cr cg cb <<<"$(colour $((l + 200)) $((t + 10)))"
[ "$cr" -gt 240 ] && [ "$cg" -gt 240 ] && [ "$cb" -gt 240 ] || fail "light menu background ($cr $cg $cb)"
wine_capture "$HELPER" keys escape >/dev/null
[ "$((b - t))" -eq 54 ] || fail "top list height at 96 dpi: $((b - t))"

# At 150 % (144 logical pixels per inch) every size scales: one 38-pixel row becomes 57.
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu to quit"
wine_capture "$HELPER" keys up return >/dev/null
wait_until 15 app_gone || fail "the program did not quit"
quiet wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 30 app_running || fail "the program did not start again"
wait_until 15 icon_shown || fail "no tray icon at 150 %"
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
wait_until 10 count_is 1 || fail "no menu at 150 %"
IFS=, read -r l t r b <<<"$(menus | head -1)"
shot menu-150 >/dev/null
log "top list at 150 %: $l,$t,$r,$b"
[ "$((b - t))" -eq 81 ] || fail "top list height at 144 dpi: $((b - t)) (12 + 57 + 12 expected)"
[ "$((r - l))" -eq 450 ] || fail "top list width at 144 dpi: $((r - l))"
wine_capture "$HELPER" keys escape >/dev/null
log "PASS"

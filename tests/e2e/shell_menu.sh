#!/usr/bin/env bash
# The shell's own context menu: Shift + right click on a program's row shows it (Explorer's
# menu for that file, read from the screen), the menu chain closes under it, Escape dismisses
# it, its Open chosen by keyboard starts the program; a folder's row and the Menu key on the
# focused row show it too.
source "$(dirname "$0")/lib.sh"
PROBE="$3"
setup
trap kill_app EXIT

tools_toolbar "$PROBE"

menus() { windows | awk -F'\t' '$3 == "ZelkList" && $4 == 1 { print $5 }'; }
count_is() { [ "$(menus | grep -c . || true)" -eq "$1" ]; }
shell_menu_shown() { windows | awk -F'\t' '$3 == "#32768" && $4 == 1' | grep -q .; }

start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 30 app_running || fail "the main form never appeared"
wait_until 15 icon_shown || fail "no tray icon"

open_tools() {
  xdotool mousemove 640 400 mousemove "$TRAY_X" "$TRAY_Y" click 1
  wait_until 10 count_is 1 || fail "no menu after a left click"
  wine_capture "$HELPER" keys down right >/dev/null
  wait_until 10 count_is 2 || fail "Right opened no submenu"
}

# Shift + right click on Probe (the row after Sub).
open_tools
IFS=, read -r sl st sr sb <<<"$(menus | sort -t, -k1 -n | head -1)"
rm -f "$root/probe.log"
xdotool mousemove $((sl + 100)) $((st + 8 + 24 + 12)) keydown shift click 3 keyup shift
wait_until 10 shell_menu_shown || fail "Shift + right click showed no shell menu"
wait_until 10 count_is 0 || fail "the menu chain stayed open under the shell's menu"
IFS=, read -r ml mt mr mb <<<"$(windows | awk -F'\t' '$3 == "#32768" && $4 == 1 { print $5 }' | head -1)"
convert "$(shot shell-menu)" -crop "$((mr - ml))x$((mb - mt))+$ml+$mt" +repage -scale 300% \
  -colorspace gray "$WORK/shell-menu-ocr.png"
said="$(tesseract "$WORK/shell-menu-ocr.png" - 2>/dev/null | tr '\n' ' ')"
log "shell menu: $said"
for entry in Open Copy Delete Properties; do
  grep -q "$entry" <<<"$said" || fail "the shell's menu lacks $entry: $said"
done
# Escape dismisses it and starts nothing.
wine_capture "$HELPER" keys escape >/dev/null
wait_until 10 eval '! shell_menu_shown' || fail "Escape did not close the shell's menu"
sleep 1
[ ! -e "$root/probe.log" ] || fail "dismissing the shell's menu started the program"

# Its Open, chosen by keyboard (O, the item's mnemonic), starts the program.
open_tools
xdotool mousemove $((sl + 100)) $((st + 8 + 24 + 12)) keydown shift click 3 keyup shift
wait_until 10 shell_menu_shown || fail "Shift + right click showed no shell menu the second time"
wine_capture "$HELPER" keys o >/dev/null
wait_until 15 test -s "$root/probe.log" || fail "the shell menu's Open started nothing"
grep -q 'exe=.*Probe.exe' "$root/probe.log" || fail "Open started $(cat "$root/probe.log")"
wait_until 10 eval '! shell_menu_shown' || fail "the shell's menu stayed open after Open"
log "the shell menu's Open starts the program"

# A folder's row (Sub, the first) has the shell's menu too; a plain right click would open it.
open_tools
xdotool mousemove $((sl + 100)) $((st + 8 + 12)) keydown shift click 3 keyup shift
wait_until 10 shell_menu_shown || fail "Shift + right click on a folder showed no shell menu"
wine_capture "$HELPER" keys escape >/dev/null
wait_until 10 eval '! shell_menu_shown' || fail "Escape did not close the folder's shell menu"

# The Menu key on the focused row.
open_tools
wine_capture "$HELPER" keys down down >/dev/null
wine_capture "$HELPER" keys apps >/dev/null
wait_until 10 shell_menu_shown || fail "the Menu key showed no shell menu"
wine_capture "$HELPER" keys escape >/dev/null
wait_until 10 eval '! shell_menu_shown' || fail "Escape did not close the shell's menu"
log "PASS"

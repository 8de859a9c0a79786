#!/usr/bin/env bash
# The menu's hot key, pressed through SendInput as a keyboard would: it opens the menu in the
# tray corner with the first toolbar focused, the arrows and Enter then open a program, and
# the key again closes the menu. With the key held by another process before the start, the
# program starts all the same, the key does nothing of ours, and the tray click still works.
source "$(dirname "$0")/lib.sh"
PROBE="$3"
setup
holder_pid=""
restore() {
  kill_app
  [ -z "$holder_pid" ] || kill "$holder_pid" 2>/dev/null || true
  quiet wine reg delete 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /v HotKey /f || true
}
trap restore EXIT

tools_toolbar "$PROBE"
mkdir -p "$root/Sub/L1/L2/L3/L4"
cp "$PROBE" "$root/Sub/L1/L2/L3/L4/Leaf.exe"
quiet wine reg delete 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /v HotKey /f || true

menus() { windows | awk -F'\t' '$3 == "ZelkList" && $4 == 1 { print $5 }'; }
count_is() { [ "$(menus | grep -c . || true)" -eq "$1" ]; }
hot_key() { wine_capture "$HELPER" keys ctrl+alt+f11 >/dev/null; }

start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 30 app_running || fail "the main form never appeared"
wait_until 15 icon_shown || fail "no tray icon"
sleep 1
hot_key
wait_until 10 count_is 1 || fail "Ctrl+Alt+F11 opened no menu"
IFS=, read -r l t r b <<<"$(menus | head -1)"
[ "$r" -eq 1280 ] && [ "$b" -eq 780 ] || fail "the menu is not in the work-area corner ($l,$t,$r,$b)"
shot hot-key-menu >/dev/null
# The first toolbar has the focus: Right opens it; Home, Down reach Probe (after Sub).
rm -f "$root/probe.log"
wine_capture "$HELPER" keys right home down return >/dev/null
wait_until 15 test -s "$root/probe.log" || fail "the keys after the hot key started nothing"
grep -q 'exe=.*Probe.exe' "$root/probe.log" || fail "the wrong program started: $(cat "$root/probe.log")"
wait_until 10 count_is 0 || fail "the menu stayed open after opening a program"
hot_key
wait_until 10 count_is 1 || fail "a second Ctrl+Alt+F11 opened no menu"
hot_key
wait_until 10 count_is 0 || fail "Ctrl+Alt+F11 did not close the menu it opened"
# Five levels down from the tray corner, each submenu left of its parent: the third reaches the
# screen's left edge, so the cascade turns back and every list stays on the screen.
hot_key
wait_until 10 count_is 1 || fail "the hot key opened no menu for the deep cascade"
wine_capture "$HELPER" keys right home right down right down right down right down right >/dev/null
wait_until 10 count_is 7 || fail "the deep cascade did not open: $(menus | tr '\n' ' ')"
while IFS=, read -r l t r b; do
  [ "$l" -ge 0 ] && [ "$r" -le 1280 ] && [ "$t" -ge 0 ] && [ "$b" -le 800 ] ||
    fail "a submenu of the deep cascade leaves the screen ($l,$t,$r,$b)"
done < <(menus)
shot deep-cascade >/dev/null
hot_key
wait_until 10 count_is 0 || fail "Ctrl+Alt+F11 did not close the deep cascade"
kill_app
wait_until 15 app_gone || fail "the program did not end"

# Another process holds the key before the program starts.
exec 7> >(wine "$HELPER" hold ctrl+alt+f11 >"$WORK/holder.txt" 2>/dev/null)
holder_pid=$!
wait_until 20 grep -q held "$WORK/holder.txt" || fail "the holder could not take the key: $(cat "$WORK/holder.txt")"
start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 30 app_running || fail "with the key taken, the main form never appeared"
wait_until 15 icon_shown || fail "with the key taken, no tray icon"
# The program says so in a balloon over the icon (read from the screen: a balloon's window
# has no text of its own).
balloon() { windows | awk -F'\t' '$3 == "tooltips_class32" && $4 == 1 { print $5 }' | head -1; }
balloon_shown() { [ -n "$(balloon)" ]; }
wait_until 15 balloon_shown || fail "nothing was said about the taken key"
IFS=, read -r x0 y0 x1 y1 <<<"$(balloon)"
convert "$(shot hot-key-taken)" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage -scale 300% \
  -colorspace gray "$WORK/balloon-ocr.png"
said="$(tesseract "$WORK/balloon-ocr.png" - 2>/dev/null | tr '\n' ' ')"
log "balloon: $said"
grep -q "taken by another program" <<<"$said" || fail "the balloon does not say the key is taken: $said"
hot_key
sleep 1
count_is 0 || fail "a key another program holds opened the menu"
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
wait_until 10 count_is 1 || fail "with the key taken, the tray click opened no menu"
wine_capture "$HELPER" keys escape >/dev/null
wait_until 10 count_is 0 || fail "Escape did not close the menu"
exec 7>&-
log "PASS"

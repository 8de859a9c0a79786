#!/usr/bin/env bash
# Toolbars on hostile folders: a symbolic-link loop, 100,000 files of which one is listed,
# names longer than MAX_PATH, a folder that cannot be read, and a program deleted between
# the build and the click. The build finishes, the menu shows what could be listed, and the
# click on the vanished file is handed to the shell without a crash.
source "$(dirname "$0")/lib.sh"
PROBE="$3"
setup

drive_c="$DRIVE_C"
root="$drive_c/zelk-hostile"
rm -rf "$root"
mkdir -p "$root/Loop" "$root/Many" "$root/Locked" "$root/Gone"
ln -s ../Loop "$root/Loop/again"
cp "$PROBE" "$root/Loop/a.exe"
python3 - "$root/Many" <<'PY'
import os, sys
folder = sys.argv[1]
for i in range(100000):
    open(os.path.join(folder, "picture%06d.png" % i), "w").close()
open(os.path.join(folder, "one.exe"), "w").close()
PY
long="$root/Long"
for i in 1 2 3 4 5 6; do long="$long/$(printf 'n%.0s' $(seq 1 60))$i"; done
mkdir -p "$long"
cp "$PROBE" "$long/deep.exe"
cp "$PROBE" "$root/Locked/hidden.exe"
chmod 000 "$root/Locked"
cp "$PROBE" "$root/Gone/Probe.exe"
trap 'chmod 755 "$root/Locked" 2>/dev/null; rm -rf "$root"; kill_app' EXIT

mkdir -p "$DATA"
printf 'C:\\zelk-hostile\\Loop|Loop\r\nC:\\zelk-hostile\\Many|Many\r\nC:\\zelk-hostile\\Long|Long\r\nC:\\zelk-hostile\\Locked|Locked\r\nC:\\zelk-hostile\\Gone|Gone\r\n' >"$DATA/ToolBars.txt"

menus() { windows | awk -F'\t' '$3 == "ZelkList" && $4 == 1 { print $5 }'; }
count_is() { [ "$(menus | grep -c . || true)" -eq "$1" ]; }
# Submenus open to the left: the leftmost list is the newest.
frontmost_height() { menus | sort -t, -n -k1,1 | head -1 | awk -F, '{ print $4 - $2 }'; }

start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 90 icon_shown || fail "the build never finished (no tray icon)"
app_running || fail "the program died while building"

xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
wait_until 10 count_is 1 || fail "no menu"
# Many: one program among 100,000 pictures gives a one-row list (8 + 24 + 8 pixels).
wine_capture "$HELPER" keys down down right >/dev/null
wait_until 10 count_is 2 || fail "the Many submenu did not open"
[ "$(frontmost_height)" -eq 40 ] || fail "Many shows $(frontmost_height) pixels of rows, not one row"
wine_capture "$HELPER" keys escape >/dev/null
wait_until 10 count_is 1 || fail "Escape did not close Many"

# The loop is listed as far as the list limit allows and opens like any folder.
wine_capture "$HELPER" keys up right >/dev/null
wait_until 10 count_is 2 || fail "the Loop submenu did not open"
wine_capture "$HELPER" keys escape >/dev/null
wait_until 10 count_is 1 || fail "Escape did not close Loop"

# Gone: the program vanishes after the build; choosing it must not bring the program down.
wine_capture "$HELPER" keys end right >/dev/null
wait_until 10 count_is 2 || fail "the Gone submenu did not open"
rm -f "$root/Gone/Probe.exe"
wine_capture "$HELPER" keys down return >/dev/null
wait_until 10 count_is 0 || fail "the menu stayed open"
sleep 2
app_running || fail "the program ended after opening a vanished file"
[ ! -e "$root/Gone/probe.log" ] || fail "something ran from a deleted file"
log "PASS"

#!/usr/bin/env bash
# The menu follows the disk without a Refresh: a program dropped into the toolbar's folder or
# a subfolder is in the menu at the next opening (chosen by its first letter, it starts), a
# renamed folder is found under its new name, a deleted file is gone; a burst of a thousand
# new files costs a handful of rereadings; a change while the menu is open leaves it alone
# until it is closed. Rows are reached with the navigation keys (letters reach a list only
# when it has the focus, which Wine does not give a menu): each list holds at most one
# program at a time, so the order of a folder's listing does not matter.
source "$(dirname "$0")/lib.sh"
PROBE="$3"
setup
trap kill_app EXIT

tools_toolbar "$PROBE"
rm "$root/Probe.exe" # Tools holds Sub, empty
log_file="$DRIVE_C/zelk-e2e/probe.log" # outside the watched tree

menus() { windows | awk -F'\t' '$3 == "ZelkList" && $4 == 1 { print $1 "," $5 }'; }
count_is() { [ "$(menus | grep -c . || true)" -eq "$1" ]; }
# The Tools list opens to the left of the top list: the leftmost shown list is it.
tools_list() { menus | sort -t, -k2 -n | head -1; }
tools_height() { IFS=, read -r _ _ t _ b <<<"$(tools_list)"; echo $((b - t)); }
rereadings() { wine_capture "$HELPER" prop ZelkToolBarsMain ZelkToolbarRereadings | tr -d '\r'; }
reread_since() { [ "$(rereadings)" -gt "$1" ]; }

open_tools() {
  xdotool mousemove 640 400 mousemove "$TRAY_X" "$TRAY_Y" click 1
  wait_until 10 count_is 1 || fail "no menu after a left click"
  wine_capture "$HELPER" keys down right >/dev/null
  wait_until 10 count_is 2 || fail "Right opened no submenu"
}
close_menu() {
  wine_capture "$HELPER" keys escape escape >/dev/null
  wait_until 10 count_is 0 || fail "Escape left the menu open"
}
# starts KEYS...: the keys, in the open Tools list, start the probe as PATH.
starts() {
  local path="$1"
  shift
  rm -f "$log_file"
  wine_capture "$HELPER" keys "$@" >/dev/null
  wait_until 15 test -s "$log_file" || fail "keys $* started nothing (wanted $path)"
  grep -qF "$path" "$log_file" || fail "keys $* started $(cat "$log_file"), not $path"
  wait_until 10 count_is 0 || fail "the menu stayed open after starting $path"
}
# changed COMMAND...: makes the change and waits until the program has reread the toolbar.
changed() {
  local before
  before="$(rereadings)"
  "$@"
  wait_until 15 reread_since "$before" || fail "no rereading after: $*"
  sleep 1 # the rereading reaches the menu as soon as it ends; a moment for it to end
}

start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 'ZELK_PROBE_LOG=C:\zelk-e2e\probe.log'
wait_until 30 app_running || fail "the main form never appeared"
wait_until 15 icon_shown || fail "no tray icon"
[ "$(rereadings)" -eq 0 ] || fail "the toolbar was reread with nothing changed: $(rereadings)"
open_tools
base="$(tools_height)"
close_menu

changed cp "$PROBE" "$root/Zeta.exe"
open_tools
[ "$(tools_height)" -eq $((base + 24)) ] || fail "a new file added no row ($base, $(tools_height))"
starts 'Tools\Zeta.exe' home down return
log "a new file is in the menu and starts"

changed cp "$PROBE" "$root/Sub/Yolk.exe"
open_tools
starts 'Tools\Sub\Yolk.exe' home right home return
log "a new file in a subfolder is in the menu and starts"

changed mv "$root/Sub" "$root/Kappa"
open_tools
starts 'Tools\Kappa\Yolk.exe' home right home return
log "a renamed folder is in the menu under its new name"

changed rm "$root/Zeta.exe"
open_tools
[ "$(tools_height)" -eq "$base" ] || fail "a deleted file left its row ($base, $(tools_height))"
log "a deleted file is gone from the menu"

# A change while the menu is open: the lists shown stay as they are until it closes.
shown="$(menus | sort)"
changed cp "$PROBE" "$root/Xeno.exe"
[ "$(menus | sort)" = "$shown" ] || fail "the open menu changed under the pointer: $shown / $(menus)"
close_menu
open_tools
[ "$(tools_height)" -eq $((base + 24)) ] || fail "the change made while open never came ($(tools_height))"
close_menu
log "an open menu is left alone and takes the change once closed"

before="$(rereadings)"
mkdir "$root/Burst"
for i in $(seq 1000); do : >"$root/Burst/file$i.txt"; done
sleep 4
after="$(rereadings)"
log "1000 files in a burst: $((after - before)) rereadings"
[ $((after - before)) -ge 1 ] && [ $((after - before)) -le 5 ] ||
  fail "a burst of 1000 files cost $((after - before)) rereadings"
open_tools
[ "$(tools_height)" -eq $((base + 48)) ] || fail "the burst's folder is not in the menu ($(tools_height))"
shot live-menu >/dev/null
close_menu

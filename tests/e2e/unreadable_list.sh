#!/usr/bin/env bash
# A toolbar list that another program holds open: at start-up the tray icon comes and a box
# says which file cannot be read and why, with no Parameters dialog taking it for a first
# start; Parameters says so too, and its Ok asks before replacing the file (No, the default,
# leaves the file as it was, byte for byte); once the file is free, Yes writes the list shown
# and keeps the old one as ToolBars.txt.bak, byte for byte; the menu then shows the new list.
source "$(dirname "$0")/lib.sh"
setup

programs="$DRIVE_C/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
flag="$WORK/lock.flag"
restore() {
  rm -f "$flag" # lets the locking helper go
  kill_app
  rm -rf "$programs/AAA Zelk"
  quiet wine reg delete 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /f || true
}
trap restore EXIT
quiet wine reg delete 'HKCU\SOFTWARE\ToolBars\Settings\Windows' /f || true
mkdir -p "$programs/AAA Zelk"

keys() { wine_capture "$HELPER" keys "$@" >/dev/null; }
dialog() { windows | awk -F'\t' -v t="$1" '$4 == 1 && $6 == t { print; exit }'; }
dialog_up() { [ -n "$(dialog "$1")" ]; }
dialog_gone() { [ -z "$(dialog "$1")" ]; }
click_in() {
  local origin
  origin="$(dialog "$1" | awk -F'\t' '{ print $7 }')"
  IFS=, read -r cx cy <<<"$origin"
  xdotool mousemove $((cx + $2)) $((cy + $3)) click 1
}
# A visible message box of the program's own process with that title: its window handle.
box() {
  windows | awk -F'\t' -v p="$app_pid" -v t="$1" \
    '$2 == p && $3 == "#32770" && $4 == 1 && $6 == t { print $1; exit }'
}
box_up() { [ -n "$(box "$1")" ]; }
box_gone() { [ -z "$(box "$1")" ]; }
# The box's text and buttons as one line, read from its controls inside Wine.
box_text() { wine_capture "$HELPER" dialogtext "$(box "$1")" | tr -d '\r' | tr '\t' ' ' | paste -sd' '; }
expect_text() { # TEXT WHAT...: every WHAT is in TEXT
  local text="$1" what
  shift
  for what in "$@"; do
    [[ "$text" == *"$what"* ]] || fail "\"$what\" not in: $text"
  done
}

mkdir -p "$DATA"
printf 'C:\\A|A\r\nC:\\B|B\r\nC:\\C|C\r\n' >"$DATA/ToolBars.txt"
cp "$DATA/ToolBars.txt" "$WORK/before.txt"

# The list is held open, without sharing, before the program starts.
touch "$flag"
(wine "$HELPER" lock '%LOCALAPPDATA%\Tanvel\ToolBars\ToolBars.txt' "Z:${flag//\//\\}" 120 \
  >"$WORK/lock.out" 2>&1 </dev/null &)
wait_until 20 grep -q '^locked ' "$WORK/lock.out" || fail "the list was not locked: $(cat "$WORK/lock.out")"
file="$(sed -n 's/^locked //p' "$WORK/lock.out" | tr -d '\r')"
log "locked $file"

start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 30 app_running || fail "the main form never appeared"
app_pid="$(app_windows | awk -F'\t' '{ print $2; exit }')"
wait_until 15 box_up "ToolBars Menu" || fail "no message about the list at start-up"
icon_shown || fail "no tray icon beside the message"
dialog_up "ToolBars Parameters" && fail "a list that cannot be read was taken for a first start"
text="$(box_text "ToolBars Menu")"
log "start-up box: $text"
expect_text "$text" "cannot be read" "$file" "Another program has the file open"
shot unreadable-box >/dev/null
keys return
wait_until 10 box_gone "ToolBars Menu" || fail "Return did not close the message"

# Parameters says it too, and Ok asks first; No (the default) changes nothing.
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu"
keys down return
wait_until 10 box_up "ZelkToolbars" || fail "Parameters did not say the list cannot be read"
expect_text "$(box_text "ZelkToolbars")" "cannot be read" "$file" "Another program"
keys return
wait_until 10 box_gone "ZelkToolbars" || fail "Return did not close the message in Parameters"
wait_until 10 dialog_up "ToolBars Parameters" || fail "no Parameters dialog"
keys return # Ok
wait_until 10 box_up "ZelkToolbars" || fail "Ok did not ask before replacing the list"
text="$(box_text "ZelkToolbars")"
log "question: $text"
expect_text "$text" "Replace it with the toolbars shown here" "$file.bak" \
  "Button &Yes" "Button &No (default)"
shot replace-question >/dev/null
keys return
wait_until 10 box_gone "ZelkToolbars" || fail "Return did not answer the question"
cmp "$DATA/ToolBars.txt" "$WORK/before.txt" || fail "No changed the list"
dialog_up "ToolBars Parameters" || fail "the dialog closed after No"
[ ! -e "$DATA/ToolBars.txt.bak" ] || fail "No left a backup"

# Once the file is free: one toolbar added, Ok, Yes.
rm -f "$flag"
wait_until 10 grep -q '^released' "$WORK/lock.out" || fail "the lock was not released"
keys a
wait_until 10 dialog_up "Add a Toolbar" || fail "no Add a Toolbar dialog"
click_in "Add a Toolbar" 510 80
wait_until 10 dialog_up "Select a folder from the user start menu" || fail "no folder browser"
keys down return
wait_until 10 dialog_gone "Select a folder from the user start menu" || fail "the browser stayed"
keys return # Ok in step 2 with the pre-filled title
wait_until 10 dialog_gone "Add a Toolbar" || fail "the Add dialog stayed"
keys return # Ok in Parameters
wait_until 10 box_up "ZelkToolbars" || fail "Ok did not ask again before replacing the list"
keys y
wait_until 10 dialog_gone "ToolBars Parameters" || fail "Parameters stayed after Yes"
box_up "ZelkToolbars" && fail "a message after Yes: $(box_text "ZelkToolbars")"
new="$(tr -d '\r' <"$DATA/ToolBars.txt")"
[[ "$new" == *'\Start Menu\Programs\AAA Zelk|AAA Zelk' && "$new" != *$'\n'* ]] ||
  fail "the new list: $(cat "$DATA/ToolBars.txt")"
cmp "$DATA/ToolBars.txt.bak" "$WORK/before.txt" || fail "the backup is not the old list"

# The menu now comes from the new list.
menu_shown() { windows | awk -F'\t' '$3 == "ZelkList" && $4 == 1 { n++ } END { exit n == 0 }'; }
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
wait_until 10 menu_shown || fail "no menu from the new list"
box_up "ToolBars Menu" && fail "the readable list was still told as unreadable"
keys escape
log "PASS"

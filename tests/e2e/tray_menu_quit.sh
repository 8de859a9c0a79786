#!/usr/bin/env bash
# With toolbars on disk, the program starts into the notification area; a right click on
# its icon shows the four-entry context menu; "Quit" removes the icon and ends the process.
source "$(dirname "$0")/lib.sh"
setup

mkdir -p "$DATA" "$WORK/Tools"
printf 'C:\\Data\\Tools|Tools\r\n' >"$DATA/ToolBars.txt"

icon_gone || fail "the notification area is not empty before the start"
start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 30 app_running || fail "the main form never appeared"
wait_until 15 icon_shown || fail "no tray icon in the notification area"
log "icon shown: $(tray_icon_pixels "$(shot started)") icon pixels"
[ "$(app_windows | awk -F'\t' '{ print $6 }')" = "Toolbars menu" ] || fail "main form caption"
[ "$(app_windows | awk -F'\t' '{ print $4 }')" = "0" ] || fail "the main form must stay hidden"

xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu after a right click"
text="$(menu_text)"
log "menu: $(echo "$text" | tr '\n' ' ')"
for caption in Parameters Refresh About Quit; do
  grep -q "$caption" <<<"$text" || fail "context menu lacks $caption"
done

# Up from nothing selects the last entry, "Quit".
wine_capture "$HELPER" keys up return >/dev/null
wait_until 15 app_gone || fail "the process did not end after Quit"
wait_until 10 icon_gone || fail "the tray icon stayed after Quit"
log "PASS"

#!/usr/bin/env bash
# With a French locale and a French language file beside the exe, the context menu shows
# the French captions; Escape closes it and the program stays; "Quitter" ends it.
source "$(dirname "$0")/lib.sh"
setup

mkdir -p "$DATA" "$WORK/app/Lng"
printf 'C:\\Data\\Tools|Outils\r\n' >"$DATA/ToolBars.txt"
cp "$(dirname "$0")/fra.lng" "$WORK/app/Lng/fra.lng"

# Wine takes the user locale from LC_ALL when the Linux locale is not installed.
start_app LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
wait_until 30 app_running || fail "the main form never appeared"
wait_until 15 icon_shown || fail "no tray icon"
grep -q '^1036=fra' "$WORK/app/Lng/Local.ini" || fail "Local.ini was not written"

xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu after a right click"
text="$(menu_text)"
log "menu: $(echo "$text" | tr '\n' ' ')"
for caption in Actualiser Quitter; do
  grep -q "$caption" <<<"$text" || fail "context menu lacks $caption"
done
grep -q 'Refresh' <<<"$text" && fail "English caption left in the French menu"

wine_capture "$HELPER" keys escape >/dev/null
wait_until 10 eval '! menu_open' || fail "Escape did not close the menu"
app_running || fail "Escape must only close the menu"

# "Quitter" ends it like "Quit", leaving the notification area empty for the next test.
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu after the second right click"
wine_capture "$HELPER" keys up return >/dev/null
wait_until 15 app_gone || fail "the process did not end after Quitter"
wait_until 10 icon_gone || fail "the tray icon stayed after Quitter"
log "PASS"

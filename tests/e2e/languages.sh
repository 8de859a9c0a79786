#!/usr/bin/env bash
# With a German and then a French locale, and the build's Lng folder beside the exe, the tray's
# context menu and the Parameters dialog show the shipped translations and no English; Escape
# closes the dialog and the translated Quit ends the program.
source "$(dirname "$0")/lib.sh"
setup
cp -r "$(dirname "$EXE")/Lng" "$WORK/app/"
rm -f "$WORK/app/Lng/Local.ini" # written by the program, from its own table
keys() { wine_capture "$HELPER" keys "$@" >/dev/null; }
dialog_up() { wine_capture "$HELPER" texts ZelkDialog >/dev/null; }

# locale, words the menu shows (read from the screen), lines the Parameters dialog must show
check_language() {
  local locale=$1 menu=$2 parameters=$3 text
  mkdir -p "$DATA"
  printf 'C:\\Data\\Tools|Tools\r\n' >"$DATA/ToolBars.txt"
  start_app LANG="$locale.UTF-8" LC_ALL="$locale.UTF-8"
  wait_until 30 app_running || fail "$locale: the main form never appeared"
  wait_until 15 icon_shown || fail "$locale: no tray icon"

  xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
  wait_until 10 menu_open || fail "$locale: no context menu"
  text="$(menu_text)"
  log "$locale menu: $(paste -sd' ' <<<"$text")"
  for word in $menu; do
    grep -q "$word" <<<"$text" || fail "$locale: the context menu lacks $word"
  done
  ! grep -qwE 'Parameters|Refresh|About|Quit' <<<"$text" || fail "$locale: English in the menu"
  convert "$WORK/menu.png" -crop 460x200+820+600 +repage "$WORK/menu-$locale.png" # as docs/

  keys down return # the first item: Parameters
  wait_until 10 dialog_up || fail "$locale: no Parameters dialog"
  text="$(wine_capture "$HELPER" texts ZelkDialog | tr -d '\r')"
  log "$locale dialog: $(paste -sd'|' <<<"$text")"
  while IFS= read -r line; do
    grep -qxF "$line" <<<"$text" || fail "$locale: the dialog lacks \"$line\""
  done <<<"$parameters"
  ! grep -qE 'Toolbar|Open |Theme|Light|Dark|Yes$|^&No$' <<<"$text" ||
    fail "$locale: English left in the dialog"
  IFS=, read -r x0 y0 x1 y1 <<<"$(windows | awk -F'\t' '$3 == "ZelkDialog" && $4 == 1 { print $5 }')"
  convert "$(shot full)" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$WORK/parameters-$locale.png"
  keys escape
  wait_until 10 eval '! dialog_up' || fail "$locale: Escape did not close the dialog"

  xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
  wait_until 10 menu_open || fail "$locale: no context menu the second time"
  keys up return # the last item: Quit
  wait_until 15 app_gone || fail "$locale: the translated Quit did not end the program"
  wait_until 10 icon_gone || fail "$locale: the tray icon stayed"
}

check_language de_DE 'Einstellungen Aktualisieren Info Beenden' "Symbolleisten-Einstellungen
Symbolleiste hin&zufügen
Ausgewählte Symbolleiste &entfernen
Startmenü für &alle Benutzer öffnen
Mit Windows® starten
&Hell
&Dunkel
&Nein
&OK"
grep -q '^1031=deu' "$WORK/app/Lng/Local.ini" || fail "Local.ini was not written"

check_language fr_FR 'Param Actualiser propos Quitter' "Paramètres des barres d'outils
&Ajouter une barre d'outils
Ouvrir le menu Démarrer &commun
Démarrer avec Windows®
C&lair
Som&bre
Ou&i
&OK"
log "PASS"

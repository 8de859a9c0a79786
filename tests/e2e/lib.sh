# Shared steps of the end-to-end tests: the real exe in a Wine desktop with a taskbar,
# driven with xdotool (mouse) and a helper inside Wine (keys, window list), checked on
# screenshots. Sourced by each test with: EXE HELPER as arguments.
set -euo pipefail

E2E_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$E2E_ROOT/scripts/wine-env.sh"
EXE="$1"
HELPER="$2"
NAME="$(basename "$0" .sh)"
WORK="$E2E_ROOT/build/e2e/$NAME"
DRIVE_C="$WINEPREFIX/drive_c" # never derived from a Wine call that might answer nothing
TRAY_X=1269
TRAY_Y=790

[ -n "${DISPLAY:-}" ] || { echo "no X display: start one with scripts/xvfb-start.sh" >&2; exit 1; }
export DISPLAY

log() { printf '[%s] %s\n' "$NAME" "$*"; }
fail() {
  log "FAIL: $*"
  shot "failure" || true
  windows >"$WORK/failure-windows.txt" 2>/dev/null || true
  # What the pointer is over, and that window's thread's focus, capture and activation.
  local x y
  eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^[XY]=')" 2>/dev/null || true
  x="${X:-0}" y="${Y:-0}"
  log "pointer at $x,$y: $(wine_capture "$HELPER" point "$x" "$y" | tr -d '\r' || true)"
  exit 1
}

# Never let a Wine process own the test's pipes: a server started from a captured command
# would keep the capture open for ever.
quiet() { "$@" >/dev/null 2>&1 </dev/null; }
wine_capture() { wine "$@" 2>/dev/null </dev/null; }

# Only this checkout's copies: another checkout's tests may be running on the same machine.
APP_PATTERN="^$E2E_ROOT/build/e2e/[^ ]*/ZelkToolBars\\.exe"
kill_app() { pkill -f "$APP_PATTERN" 2>/dev/null || true; }

setup() {
  quiet wineserver -p || true
  quiet wineboot || true
  kill_app
  rm -rf "$WORK"
  mkdir -p "$WORK/app"
  cp "$EXE" "$WORK/app/ZelkToolBars.exe"
  # The help page sits beside the exe, as in the packages.
  [ ! -f "$(dirname "$EXE")/help.html" ] || cp "$(dirname "$EXE")/help.html" "$WORK/app/"
  # The profile folder Wine gives this user; asked of Wine only when it is not where it
  # always is, and never left empty (the clean-up below must hit the right folder).
  LOCALAPPDATA_UNIX="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local"
  if [ ! -d "$LOCALAPPDATA_UNIX" ]; then
    local local_win
    local_win="$(wine_capture cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')"
    LOCALAPPDATA_UNIX="$(winepath -u "$local_win" 2>/dev/null </dev/null)"
  fi
  [ -d "$LOCALAPPDATA_UNIX" ] || { echo "[$NAME] no profile folder found" >&2; exit 1; }
  DATA="$LOCALAPPDATA_UNIX/Tanvel/ToolBars"
  rm -rf "$LOCALAPPDATA_UNIX/Tanvel"
  trap 'kill_app' EXIT
}

# start_app [VAR=value...]: the program in the taskbar desktop, with that environment.
start_app() {
  (env "$@" wine explorer /desktop=shell,1280x800 "$WORK/app/ZelkToolBars.exe" \
    >"$WORK/wine.log" 2>&1 </dev/null &)
}

windows() { wine_capture "$HELPER" windows | tr -d '\r'; }
app_windows() { windows | awk -F'\t' '$3 == "ZelkToolBarsMain"'; }

# wait_until SECONDS COMMAND...: polls until the command succeeds.
wait_until() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    if "$@"; then return 0; fi
    sleep 0.5
  done
  return 1
}

shot() {
  import -window root "$WORK/$1.png"
  echo "$WORK/$1.png"
}

# Pixels of the tray icon's blue tile in the notification area, from a screenshot.
tray_icon_pixels() {
  convert "$1" -crop 22x20+1258+780 +repage txt:- |
    awk -F'[(),]' 'NR > 1 { r=$3+0; g=$4+0; b=$5+0; if (b > 140 && r < 110 && g > 50 && g < 170) n++ } END { print n+0 }'
}

icon_shown() { [ "$(tray_icon_pixels "$(shot tray-now)")" -ge 40 ]; }
icon_gone() { [ "$(tray_icon_pixels "$(shot tray-now)")" -eq 0 ]; }
app_running() { [ -n "$(app_windows)" ]; }
app_gone() { [ -z "$(app_windows)" ] && ! pgrep -f "$APP_PATTERN" >/dev/null; }

visible_popup_menu() { windows | awk -F'\t' '$3 == "#32768" && $4 == 1 { print $5; exit }'; }
menu_open() { [ -n "$(visible_popup_menu)" ]; }

tip_shown() { windows | awk -F'\t' '$3 == "tooltips_class32" && $4 == 1 { found = 1 } END { exit !found }'; }

# The visible popup menu's text, read from a screenshot.
menu_text() {
  local rect x0 y0 x1 y1
  # The icon's tool tip comes up over the menu's last row when the pointer rests on the icon
  # long enough: take the pointer off the icon (the menu stays) and wait until no tip shows.
  xdotool mousemove 640 300
  wait_until 5 eval '! tip_shown' || fail "a tool tip stays over the menu"
  rect="$(visible_popup_menu)"
  IFS=, read -r x0 y0 x1 y1 <<<"$rect"
  convert "$(shot menu)" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage -scale 300% \
    -colorspace gray "$WORK/menu-ocr.png"
  tesseract "$WORK/menu-ocr.png" - 2>/dev/null
}

# html_handler PROGRAM: this prefix opens .html files with PROGRAM (a Windows path) for the
# test's run. Wine associates no program with .html, Windows has a browser there: without it a
# double click on the tray icon (the help page) leaves the shell's error box open.
# html_restore puts back what was there.
html_handler() {
  HTML_CLASS_KEY='HKCR\.html'
  HTML_HANDLER_KEY='HKCR\htmlfile\shell\open\command'
  HTML_HAD_CLASS=0
  wine_capture reg query "$HTML_CLASS_KEY" >/dev/null && HTML_HAD_CLASS=1
  HTML_ORIGINAL_CLASS="$( (wine_capture reg query "$HTML_CLASS_KEY" /ve || true) | tr -d '\r' | sed -n 's/.*REG_SZ *//p')"
  HTML_ORIGINAL="$( (wine_capture reg query "$HTML_HANDLER_KEY" /ve || true) | tr -d '\r' | sed -n 's/.*REG_SZ *//p')"
  quiet wine reg add "$HTML_CLASS_KEY" /ve /d htmlfile /f
  quiet wine reg add "$HTML_HANDLER_KEY" /ve /d "\"$1\" \"%1\"" /f
}
html_restore() {
  [ -n "${HTML_HANDLER_KEY:-}" ] || return 0
  quiet wine reg add "$HTML_HANDLER_KEY" /ve /d "$HTML_ORIGINAL" /f || true
  if [ "$HTML_HAD_CLASS" -eq 1 ]; then
    quiet wine reg add "$HTML_CLASS_KEY" /ve /d "$HTML_ORIGINAL_CLASS" /f || true
  else
    quiet wine reg delete "$HTML_CLASS_KEY" /f || true
  fi
}

# One toolbar, Tools, holding a folder Sub and the probe as Probe.exe (its row right after Sub
# whatever the listing order); its folder in $root.
tools_toolbar() {
  root="$DRIVE_C/zelk-e2e/Tools"
  rm -rf "$DRIVE_C/zelk-e2e"
  mkdir -p "$root/Sub" "$DATA"
  cp "$1" "$root/Probe.exe"
  printf 'C:\\zelk-e2e\\Tools|Tools\r\n' >"$DATA/ToolBars.txt"
}

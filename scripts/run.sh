#!/usr/bin/env bash
# Starts ZelkToolBars in a Wine desktop with a taskbar: on $DISPLAY when there is one,
# otherwise headless on a private Xvfb. Leaves a screenshot in build/run/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
mkdir -p build/run/app
cp build/mingw/src/ZelkToolBars.exe build/run/app/
# The help page a double click on the icon opens, beside the exe as in the packages.
cp build/mingw/src/help.html build/run/app/

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  bash scripts/xvfb-start.sh
  export DISPLAY="$(cat build/xvfb.display)"
fi
bash scripts/wine-prefix.sh
source scripts/wine-env.sh

# Headless, nobody can answer the first-run Parameters dialog: give the profile a toolbar on
# Wine's own folders so the screenshot shows the program in the notification area.
if [ $headless -eq 1 ]; then
  data="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Tanvel/ToolBars"
  if [ ! -s "$data/ToolBars.txt" ]; then
    mkdir -p "$data"
    printf 'C:\\windows|Windows\r\n' >"$data/ToolBars.txt"
  fi
fi

shot=build/run/screenshot.png
wine explorer /desktop=shell,1280x800 build/run/app/ZelkToolBars.exe >build/run/wine.log 2>&1 </dev/null &
pid=$!
sleep 6
import -window root "$shot"
echo "screenshot: $root/$shot"
# The icon's blue tile at the right end of the taskbar.
icon_pixels=$(convert "$shot" -crop 22x20+1258+780 +repage txt:- |
  awk -F'[(),]' 'NR > 1 { if ($5 > 140 && $3 < 110 && $4 > 50 && $4 < 170) n++ } END { print n+0 }')
if [ "$icon_pixels" -lt 40 ]; then
  echo "the tray icon is not in the screenshot: see build/run/wine.log" >&2
  status=1
else
  echo "tray icon shown in the notification area"
  status=0
fi

if [ $headless -eq 1 ]; then
  # Nobody can click on a headless desktop: close the program again.
  pkill -f '^[^ ]*ZelkToolBars\.exe' 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 </dev/null || true
  bash scripts/xvfb-stop.sh
else
  echo "ZelkToolBars runs in the Wine desktop: right-click its tray icon and choose Quit to end it."
  wait $pid || true
fi
exit $status

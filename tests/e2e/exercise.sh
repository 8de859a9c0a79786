#!/usr/bin/env bash
# A randomized walk through the menu, checked after every step (exercise.py says what is
# checked). One fresh program per walk, on a toolbar tree with several toolbars, folders five
# levels deep, a list long enough to scroll and copies of the probe program to open.
#   EXERCISE_WALKS="1 2 3"  the walks to walk (default: 1)
#   EXERCISE_ACTIONS=400    actions per walk
#   EXERCISE_CYCLES=1000    first opens and closes one submenu this many times (objects checked)
#   EXERCISE_SURVEY=1       note every breach and walk on instead of stopping at the first
# Every walk is walked; the script fails when any walk did, after naming them.
source "$(dirname "$0")/lib.sh"
PROBE="$3"
WALKS="${EXERCISE_WALKS:-1}"
ACTIONS="${EXERCISE_ACTIONS:-400}"
setup

root="$DRIVE_C/zelk-exercise"
rm -rf "$root"
trap 'kill_app; html_restore; rm -rf "$root" "$DRIVE_C/zelk-exercise-probe.log"' EXIT
mkdir -p "$root/probe"
cp "$PROBE" "$root/probe/probe.exe"
# Quick tray clicks make double clicks, which open the help page: the probe stands in for the
# browser, as on Windows something always opens it.
html_handler 'C:\zelk-exercise\probe\probe.exe'
# Every program of the tree is a hard link to one probe: sixty copies cost nothing.
program() { mkdir -p "$(dirname "$root/$1")" && ln "$root/probe/probe.exe" "$root/$1.exe"; }
for p in Apps/Alpha Apps/Beta Apps/Games/Chess Apps/Games/Go Apps/Games/Retro/Pong \
  Apps/Games/Retro/Arcade/Tetris Apps/Games/Retro/Arcade/Vintage/Snake Apps/Tools/Edit \
  Apps/Tools/Calc Apps/Office/Write Apps/Office/Sheet Deep/One Deep/L1/Two Deep/L1/L2/Three \
  Deep/L1/L2/L3/Four Deep/L1/L2/L3/L4/Five Mixed/A/a1 Mixed/A/a2 Mixed/B/b1 Mixed/C/c1 \
  Mixed/C/c2 Mixed/C/c3 Mixed/Top; do
  program "$p"
done
for i in $(seq -w 1 60); do program "Many/Item$i"; done
mkdir -p "$DATA"
printf 'C:\\zelk-exercise\\%s|%s\r\n' Apps Apps Many Many Deep Deep Mixed Mixed >"$DATA/ToolBars.txt"

failed=()
cycles="${EXERCISE_CYCLES:-0}" # before the first walk only
for walk in $WALKS; do
  kill_app
  wait_until 15 app_gone || fail "the previous program did not end"
  # The probes log outside the tree: the menu follows the tree, which is to stay as it is.
  start_app LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 'ZELK_PROBE_LOG=C:\zelk-exercise-probe.log'
  wait_until 30 app_running || fail "the main form never appeared"
  wait_until 15 icon_shown || fail "no tray icon"
  log "walk $walk: $ACTIONS actions"
  status=0
  python3 "$(dirname "$0")/exercise.py" --helper "$HELPER" --toolbars "$DATA/ToolBars.txt" \
    --work "$WORK" --walk "$walk" --actions "$ACTIONS" --cycles "$cycles" \
    ${EXERCISE_SURVEY:+--survey} || status=$?
  cycles=0
  [ $status -eq 0 ] || failed+=("$walk")
  [ $status -le 1 ] || fail "walk $walk: the walk could not be set up"
done
[ ${#failed[@]} -eq 0 ] || fail "walks that failed: ${failed[*]} (of $WALKS)"
log "PASS (walks $WALKS)"
